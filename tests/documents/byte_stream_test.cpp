#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>

#include "documents/byte_stream.h"

namespace fretlets {
namespace {

namespace fs = std::filesystem;

std::string messageOf(const fs::path& path, std::size_t maxBytes = kMaxDocumentBytes) {
  try {
    readFileBytes(path, maxBytes);
  } catch (const FormatError& error) {
    return error.what();
  }
  return "read";
}

TEST(ReadFileBytes, NamesWhatWentWrong) {
  const fs::path folder =
      fs::temp_directory_path() / ("fretlets-bytes-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const fs::path file = folder / "hundred.cbk";
  std::ofstream(file, std::ios::binary) << std::string(100, 'x');

  EXPECT_EQ(readFileBytes(file, 100).size(), 100U);
  EXPECT_EQ(messageOf(file, 99), "File read failed");
  EXPECT_EQ(messageOf(folder / "missing.cbk"), "Couldn't open file");
  EXPECT_EQ(messageOf(folder), "File read failed");
  fs::remove_all(folder);
}

}  // namespace
}  // namespace fretlets
