#pragma once

// What the chord book and score file tests share: both kinds fail with the
// text the user is shown, take the instrument only from a file read to its
// end, and save through a temporary file beside the target.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
    bytes[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
  }
  return bytes;
}

inline Bytes withByte(Bytes bytes, std::size_t at, std::uint8_t value) {
  bytes[at] = value;
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

inline Bytes bytesOf(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

inline void writeBytes(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder for each test.
class DocumentFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("fretlets-doc-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string file(const std::string& name) const { return (folder_ / name).string(); }

  // open(path) opens or creates a document: it creates one only where
  // nothing is, and a dangling link or a file of something else is read,
  // never replaced.
  void expectCreatedOnlyWhereNothingIs(const std::function<void(const fs::path&)>& open,
                                       const Bytes& created) {
    open(folder_ / "new");
    EXPECT_EQ(bytesOf(folder_ / "new"), created);
    fs::create_symlink("nowhere", folder_ / "dangling");
    std::ofstream(folder_ / "text") << "hello";
    for (const char* name : {"dangling", "text"}) {
      EXPECT_NE(errorOf([&] { open(folder_ / name); }), "no error") << name;
    }
    EXPECT_FALSE(fs::exists(folder_ / "nowhere"));
    EXPECT_EQ(bytesOf(folder_ / "text"), (Bytes{'h', 'e', 'l', 'l', 'o'}));
  }

  // save(path, first) writes one of two documents, whose bytes are given.
  void expectSafeSavesAndOpens(const std::function<void(const fs::path&, bool first)>& save,
                               const Bytes& first, const Bytes& second,
                               const std::function<void(const fs::path&)>& read) {
    const fs::path path = folder_ / "doc";
    save(path, true);
    EXPECT_EQ(bytesOf(path), first);
    EXPECT_EQ(errorOf([&] { read(path); }), "no error");
    // Saving through a symbolic link updates the file it points to; a file
    // of the user's that looks like a temporary one is no one else's.
    fs::create_symlink("doc", folder_ / "link");
    std::ofstream(folder_ / "doc.saving") << "mine";
    save(folder_ / "link", false);
    EXPECT_TRUE(fs::is_symlink(folder_ / "link"));
    EXPECT_EQ(bytesOf(path), second);
    EXPECT_EQ(bytesOf(folder_ / "doc.saving"), (Bytes{'m', 'i', 'n', 'e'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), 3);  // nothing left behind
    // A file nobody may write is refused and left alone, even for root.
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(errorOf([&] { save(path, true); }), "Couldn't open file");
    EXPECT_EQ(bytesOf(path), second);
    // Mode, owner and group stay (the owner where the saver may give it).
    const bool root = ::getuid() == 0;
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    if (root) {
      ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    }
    save(path, true);
    EXPECT_EQ(bytesOf(path), first);
    struct stat saved {};
    ASSERT_EQ(::stat(path.c_str(), &saved), 0);
    EXPECT_EQ(saved.st_mode & 07777, 0640U);
    EXPECT_EQ(saved.st_uid, root ? kNobody : ::getuid());
    EXPECT_EQ(saved.st_gid, root ? kNobody : ::getgid());
    // A hard-linked file is written in place: both names see the save.
    fs::create_hard_link(path, folder_ / "twin");
    save(folder_ / "twin", false);
    EXPECT_EQ(bytesOf(path), second);
    EXPECT_EQ(fs::hard_link_count(path), 2U);
    // A failed rename (over a folder) leaves no temporary file.
    fs::create_directory(folder_ / "dir");
    EXPECT_EQ(errorOf([&] { save(folder_ / "dir", true); }), "File write failed");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), 5);
    EXPECT_EQ(errorOf([&] { save(folder_ / "no" / "doc", true); }), "Couldn't open file");
    EXPECT_EQ(errorOf([&] { read(folder_ / "missing"); }), "Couldn't open file");
    EXPECT_EQ(errorOf([&] { read(folder_ / "dir"); }), "File read failed");
  }

  // A writable file in a folder the saver may not write to is saved in
  // place. Root may write anywhere, so root runs the save as nobody.
  void expectSaveInAFolderOnlyReadable(const std::function<void(const fs::path&)>& save,
                                       const Bytes& saved) {
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
      ::_exit(errorOf([&] { save(path); }) == "no error" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(bytesOf(path), saved);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
  }

  static constexpr uid_t kNobody = 65534;
  fs::path folder_;
};

}  // namespace fretlets::document_test
