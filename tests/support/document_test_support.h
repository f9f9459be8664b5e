#pragma once

// What the chord book and score file tests share: both kinds fail with the
// text the user is shown and take the instrument only from a file read to
// its end.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "documents/byte_stream.h"
#include "music/instrument.h"

namespace fretlets::document_test {
namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

inline constexpr int kMandolin = 10;  // also a line feed
inline constexpr int kSaz = 13;

inline InstrumentState instrumentState(int index) {
  InstrumentState state;
  adoptInstrument(state, index, instrumentTable[index].defaultTuning);
  return state;
}

inline Bytes withInt(Bytes bytes, std::size_t at, std::int32_t value) {
  for (std::size_t i = 0; i < 4; ++i) {
    bytes.at(at + i) = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
  }
  return bytes;
}

inline Bytes withByte(Bytes bytes, std::size_t at, std::uint8_t value) {
  bytes.at(at) = value;
  return bytes;
}

// The message the action fails with, or "no error".
inline std::string errorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const FormatError& error) {
    return error.what();
  }
  return "no error";
}

// Reads bytes with the other kind of document open or not: the message.
using Reader = std::function<std::string(const Bytes&, InstrumentState&, bool otherOpen)>;

// Reads bytes over a saz with no other document open; a failure keeps it.
inline std::string failureKeepsTheInstrument(const Reader& read, const Bytes& bytes) {
  InstrumentState state = instrumentState(kSaz);
  const std::string message = read(bytes, state, false);
  if (message != "no error") {
    EXPECT_EQ(state.currentInstrument, kSaz);
    EXPECT_EQ(state.tuning, instrumentTable[kSaz].defaultTuning);
  }
  return message;
}

// Every cut of a guitar file ends unexpectedly, whether a document of the
// other kind (a guitar too) is open or not, and changes no instrument.
inline void expectEveryCutEndsUnexpectedly(const Reader& read, const Bytes& whole) {
  for (std::size_t length = 0; length < whole.size(); ++length) {
    SCOPED_TRACE("cut at " + std::to_string(length));
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_EQ(failureKeepsTheInstrument(read, cut), "Unexpected end of file");
    InstrumentState guitar;
    EXPECT_EQ(read(cut, guitar, true), "Unexpected end of file");
  }
}

// A file of the committed samples; "" for their folder.
inline std::string sample(const std::string& name) {
  return (fs::path(FRETLETS_SOURCE_DIR) / "resources/samples" / name).string();
}

// A file's bytes, as text or as bytes; none when it cannot be read.
inline std::string textOf(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

inline Bytes bytesOf(const fs::path& path) {
  const std::string text = textOf(path);
  return {text.begin(), text.end()};
}

inline void writeBytes(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder for each test.
template <typename Base = ::testing::Test>
class FolderTest : public Base {
 protected:
  void SetUp() override {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::ranges::replace(name, '/', '-');  // a parameterised test's
    folder_ = fs::temp_directory_path() / ("fretlets-doc-" + std::to_string(getpid()) + "-" + name);
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string file(const std::string& name) const { return (folder_ / name).string(); }
  fs::path folder_;
};

using DocumentFolder = FolderTest<>;

}  // namespace fretlets::document_test
