#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fretlets {
namespace {

std::string contents(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int count(const std::string& text, const std::string& part) {
  int found = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++found;
  }
  return found;
}

TEST(Install, PutsTheProgramItsFilesAndItsDesktopEntryInPlace) {
  QTemporaryDir scratch;
  ASSERT_TRUE(scratch.isValid());
  const std::filesystem::path prefix = scratch.path().toStdString();
  const std::filesystem::path build = std::filesystem::path(FRETLETS_BIN_DIR).parent_path();
  const std::string command = "cmake --install '" + build.string() + "' --prefix '" +
                              prefix.string() + "' > '" + (prefix / "install.log").string() +
                              "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << contents(prefix / "install.log");

  // The link on the path leads to the program, which finds everything
  // beside itself.
  const std::filesystem::path link = prefix / "bin" / "fretlets";
  ASSERT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_TRUE(std::filesystem::is_regular_file(prefix / "bin" / "fretlets-cli"));
  const std::filesystem::path program = std::filesystem::canonical(link);
  const std::filesystem::path folder = program.parent_path();
  EXPECT_NE(folder, prefix / "bin");
  EXPECT_TRUE(std::filesystem::is_regular_file(folder / "samples" / "Guitar chords.cbk"));
  EXPECT_TRUE(std::filesystem::is_regular_file(folder / "help" / "index.html"));
  // Every chord type of the program's table is in the manual.
  EXPECT_EQ(count(contents(folder / "help" / "chord-types.html"), "<tr><td>"), 229);

  const std::string entry = contents(prefix / "share" / "applications" / "fretlets.desktop");
  EXPECT_NE(entry.find("Exec=fretlets %f"), std::string::npos);
  EXPECT_NE(entry.find("MimeType=application/x-fretlets-chordbook;application/x-fretlets-score;"),
            std::string::npos);
  const std::string kinds = contents(prefix / "share" / "mime" / "packages" / "fretlets.xml");
  EXPECT_NE(kinds.find("pattern=\"*.cbk\""), std::string::npos);
  EXPECT_NE(kinds.find("pattern=\"*.score\""), std::string::npos);
  // The desktop's own tool reads the kinds as a file manager will.
  if (std::system("command -v update-mime-database > /dev/null") == 0) {
    const std::string update =
        "update-mime-database '" + (prefix / "share" / "mime").string() + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(update.c_str()), 0);
    const std::string globs = contents(prefix / "share" / "mime" / "globs2");
    EXPECT_NE(globs.find("application/x-fretlets-chordbook:*.cbk"), std::string::npos) << globs;
    EXPECT_NE(globs.find("application/x-fretlets-score:*.score"), std::string::npos) << globs;
  }
  EXPECT_TRUE(std::filesystem::is_regular_file(prefix / "share" / "icons" / "hicolor" / "scalable" /
                                               "apps" / "fretlets.svg"));
}

}  // namespace
}  // namespace fretlets
