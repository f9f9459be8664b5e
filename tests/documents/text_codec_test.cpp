#include "documents/text_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace fretlets {
namespace {

TEST(TextCodecTest, TextsTravelAsWindows1252) {
  std::string all;
  for (int b = 1; b < 256; ++b) {
    all += static_cast<char>(b);
  }
  EXPECT_EQ(utf8ToWindows1252(windows1252ToUtf8(all)), all);
  EXPECT_EQ(windows1252ToUtf8("\xA9 2000"), "\u00A9 2000");
  EXPECT_EQ(windows1252ToUtf8("\x80"), "\u20AC");
  EXPECT_EQ(utf8ToWindows1252("Caf\u00E9 \u2013 \u20AC5"),
            "Caf\xE9 \x96 \x80"
            "5");
  // What the code page cannot hold, a stray continuation byte, a cut
  // sequence and an overlong slash each become a question mark.
  EXPECT_EQ(utf8ToWindows1252("\u65E5\u672C \xF0\x9F\x8E\xB8!"), "?? ?!");
  EXPECT_EQ(utf8ToWindows1252("a\x80"
                              "b\xC3"),
            "a?b?");
  EXPECT_EQ(utf8ToWindows1252("\xC0\xAF"), "??");
}

}  // namespace
}  // namespace fretlets
