#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "support/document_test_support.h"

namespace fretlets {
namespace {

using namespace document_test;

const fs::path kSamples = fs::path(FRETLETS_SOURCE_DIR) / "resources/samples";

// The committed sample books and scores are exactly what their generator writes.
TEST(SamplesTest, TheGeneratorMakesTheCommittedFiles) {
  const fs::path out = fs::temp_directory_path() / ("fretlets-samples-" + std::to_string(getpid()));
  fs::remove_all(out);
  const fs::path generator = fs::path(FRETLETS_BIN_DIR) / "fretlets-make-samples";
  ASSERT_EQ(std::system(("'" + generator.string() + "' '" + out.string() + "'").c_str()), 0);
  std::size_t count = 0;
  for (const auto& made : fs::directory_iterator(out)) {
    ++count;
    EXPECT_EQ(bytesOf(made.path()), bytesOf(kSamples / made.path().filename()))
        << made.path().filename() << " differs: rebuild resources/samples with the generator";
  }
  EXPECT_EQ(count, static_cast<std::size_t>(std::distance(fs::directory_iterator(kSamples), {})));
  fs::remove_all(out);
}

}  // namespace
}  // namespace fretlets
