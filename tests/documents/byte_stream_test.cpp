#include "documents/byte_stream.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include "support/document_test_support.h"

namespace fretlets {
namespace {

using namespace document_test;

constexpr uid_t kNobody = 65534;

const Bytes kFirst{1, 2, 3};
const Bytes kSecond{4, 5};

using SavingTest = DocumentFolder;

TEST_F(SavingTest, ReadsNameWhatWentWrong) {
  writeBytes(folder_ / "hundred", Bytes(100, 'x'));
  EXPECT_EQ(readFileBytes(folder_ / "hundred", 100).size(), 100U);
  EXPECT_EQ(errorOf([&] { readFileBytes(folder_ / "hundred", 99); }), "File read failed");
  EXPECT_EQ(errorOf([&] { readFileBytes(folder_ / "missing"); }), "Couldn't open file");
  EXPECT_EQ(errorOf([&] { readFileBytes(folder_); }), "File read failed");
  // A dangling link is something: opening a document there must not create one.
  fs::create_symlink("nowhere", folder_ / "dangling");
  EXPECT_TRUE(pathExists(folder_ / "dangling"));
  EXPECT_FALSE(pathExists(folder_ / "missing"));
}

// Saving goes through a temporary file beside the target, so a failed save
// never damages a file; the file keeps its mode, owner and group.
TEST_F(SavingTest, SavesSafely) {
  const fs::path path = folder_ / "doc";
  const auto save = [](const fs::path& to, const Bytes& bytes) {
    return errorOf([&] { writeFileReplacing(to, bytes); });
  };
  EXPECT_EQ(save(path, kFirst), "no error");
  EXPECT_EQ(bytesOf(path), kFirst);
  // Through a symbolic link the file it points to is updated; a file of the
  // user's that looks like a temporary one is no one else's.
  fs::create_symlink("doc", folder_ / "link");
  std::ofstream(folder_ / "doc.saving") << "mine";
  EXPECT_EQ(save(folder_ / "link", kSecond), "no error");
  EXPECT_TRUE(fs::is_symlink(folder_ / "link"));
  EXPECT_EQ(bytesOf(path), kSecond);
  EXPECT_EQ(bytesOf(folder_ / "doc.saving"), (Bytes{'m', 'i', 'n', 'e'}));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), 3);  // nothing left behind
  // A file nobody may write is refused and left alone, even for root.
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
  EXPECT_EQ(save(path, kFirst), "Couldn't open file");
  EXPECT_EQ(bytesOf(path), kSecond);
  // Mode, owner and group stay (the owner where the saver may give it).
  const bool root = ::getuid() == 0;
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  if (root) {
    ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
  }
  EXPECT_EQ(save(path, kFirst), "no error");
  struct stat saved {};
  ASSERT_EQ(::stat(path.c_str(), &saved), 0);
  EXPECT_EQ(saved.st_mode & 07777, 0640U);
  EXPECT_EQ(saved.st_uid, root ? kNobody : ::getuid());
  EXPECT_EQ(saved.st_gid, root ? kNobody : ::getgid());
  // A hard-linked file is written in place: both names see the save.
  fs::create_hard_link(path, folder_ / "twin");
  EXPECT_EQ(save(folder_ / "twin", kSecond), "no error");
  EXPECT_EQ(bytesOf(path), kSecond);
  EXPECT_EQ(fs::hard_link_count(path), 2U);
  // A failed rename (over a folder) leaves no temporary file.
  fs::create_directory(folder_ / "dir");
  EXPECT_EQ(save(folder_ / "dir", kFirst), "File write failed");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), 5);
  EXPECT_EQ(save(folder_ / "no" / "doc", kFirst), "Couldn't open file");
}

// A writable file in a folder the saver may not write to is saved in place.
// Root may write anywhere, so root saves as nobody.
TEST_F(SavingTest, SavesInPlaceInAFolderOnlyReadable) {
  const fs::path folder = folder_ / "shelf";
  const fs::path path = folder / "doc";
  fs::create_directory(folder);
  std::ofstream(path) << "old";
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
  const bool root = ::getuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    fs::permissions(folder_, fs::perms::others_exec, fs::perm_options::add);
  }
  fs::permissions(folder, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  if (!root) {
    fs::permissions(folder, fs::perms::owner_write, fs::perm_options::remove);
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (root && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      ::_exit(3);
    }
    ::_exit(errorOf([&] { writeFileReplacing(path, kFirst); }) == "no error" ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  fs::permissions(folder, fs::perms::owner_all);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(bytesOf(path), kFirst);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
}

}  // namespace
}  // namespace fretlets
