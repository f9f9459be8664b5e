#include "documents/byte_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <optional>
#include <random>
#include <system_error>
#include <utility>

namespace fretlets {

void ByteReader::need(std::size_t bytes) const {
  if (remaining() < bytes) {
    throw FormatError(std::string(kUnexpectedEnd));
  }
}

std::int32_t ByteReader::int32() {
  need(4);
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = (value << 8) | data_[offset_ + i];
  }
  offset_ += 4;
  return static_cast<std::int32_t>(value);
}

std::int8_t ByteReader::int8() {
  need(1);
  return static_cast<std::int8_t>(data_[offset_++]);
}

std::string ByteReader::text(std::size_t length) {
  need(length);
  std::string out(reinterpret_cast<const char*>(data_.data() + offset_), length);
  offset_ += length;
  return out;
}

void ByteReader::expectRoomFor(std::int64_t count, std::size_t recordSize) const {
  if (count > 0 && static_cast<std::uint64_t>(count) > remaining() / recordSize) {
    throw FormatError(std::string(kUnexpectedEnd));
  }
}

void ByteWriter::int32(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) {
    bytes_.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
  }
}

void ByteWriter::lengthAndText(std::string_view bytes) {
  int32(static_cast<std::int32_t>(bytes.size()));
  text(bytes);
}

std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path, std::size_t maxBytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    throw FormatError(std::string(kCouldNotOpen));
  }
  try {
    std::vector<std::uint8_t> bytes;
    char chunk[65536];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
      // No document comes near the limit; a device or a runaway file would
      // otherwise be read until memory runs out.
      if (bytes.size() + static_cast<std::size_t>(file.gcount()) > maxBytes) {
        throw FormatError(std::string(kReadFailed));
      }
      bytes.insert(bytes.end(), chunk, chunk + file.gcount());
    }
    if (file.bad()) {
      throw FormatError(std::string(kReadFailed));
    }
    return bytes;
  } catch (const FormatError&) {
    throw;
  } catch (const std::exception&) {
    throw FormatError(std::string(kErrorReading));
  }
}

namespace {

// Saving through a symbolic link must update the file it points to, as
// writing in place would; renaming over the link would replace the link.
std::filesystem::path linkTarget(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(path, error)) {
    return path;
  }
  std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
  return error ? path : target;
}

// Closes the descriptor and, while armed, removes the file it was made for.
class TemporaryFile {
 public:
  TemporaryFile(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
    if (armed_) {
      ::unlink(path_.c_str());
    }
  }

  int fd() const { return fd_; }
  const std::filesystem::path& path() const { return path_; }
  // Closes the file, reporting whether everything written reached it.
  bool close() {
    const int fd = std::exchange(fd_, -1);
    return ::close(fd) == 0;
  }
  void keep() { armed_ = false; }

 private:
  int fd_;
  std::filesystem::path path_;
  bool armed_ = true;
};

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return ::fsync(fd) == 0;
}

// A new file beside the target that no one else has: created exclusively,
// with the permissions a new file gets, under a name not taken yet.
std::optional<TemporaryFile> createTemporary(const std::filesystem::path& target) {
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate = target;
    candidate += ".saving-" + std::to_string(::getpid()) + "-" + std::to_string(random() % 1000000);
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      return std::optional<TemporaryFile>(std::in_place, fd, std::move(candidate));
    }
    if (errno != EEXIST) {
      return std::nullopt;
    }
  }
  return std::nullopt;
}

// Replacing a file by renaming would split a hard link, and is impossible
// in a folder the user may not write to: such a file is written where it is.
void writeInPlace(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) {
    throw FormatError(std::string(kCouldNotOpen));
  }
  const bool written = writeAll(fd, bytes);
  if (::close(fd) != 0 || !written) {
    throw FormatError(std::string(kWriteFailed));
  }
}

bool folderWritable(const std::filesystem::path& path) {
  const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

bool pathExists(const std::filesystem::path& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 || errno != ENOENT;
}

void writeFileReplacing(const std::filesystem::path& requested,
                        std::span<const std::uint8_t> bytes) {
  const std::filesystem::path path = linkTarget(requested);
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && S_ISREG(existing.st_mode)) {
    // A file nobody may write is left alone, whoever saves (the owner of
    // every file included).
    const bool readOnly = (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                          ::access(path.c_str(), W_OK) != 0;
    if (readOnly) {
      throw FormatError(std::string(kCouldNotOpen));
    }
    if (existing.st_nlink > 1 || !folderWritable(path)) {
      writeInPlace(path, bytes);
      return;
    }
  }
  std::optional<TemporaryFile> temporary = createTemporary(path);
  if (!temporary) {
    throw FormatError(std::string(kCouldNotOpen));
  }
  if (exists) {
    // The saved file keeps the mode, owner and group of the one it replaces
    // as far as the user may give them; a user who may not is still saving
    // their own file.
    if (::fchown(temporary->fd(), existing.st_uid, existing.st_gid) != 0) {
      [[maybe_unused]] const int ignored =
          ::fchown(temporary->fd(), static_cast<uid_t>(-1), existing.st_gid);
    }
    ::fchmod(temporary->fd(), existing.st_mode & 07777);
  }
  if (!writeAll(temporary->fd(), bytes) || !temporary->close()) {
    throw FormatError(std::string(kWriteFailed));
  }
  if (::rename(temporary->path().c_str(), path.c_str()) != 0) {
    throw FormatError(std::string(kWriteFailed));
  }
  temporary->keep();
}

std::vector<std::uint8_t> translateTextMode(std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == 0x1A) {
      break;
    }
    if (bytes[i] == 0x0D && i + 1 < bytes.size() && bytes[i + 1] == 0x0A) {
      continue;
    }
    out.push_back(bytes[i]);
  }
  return out;
}

DocumentInstrument readDocumentInstrument(ByteReader& in, const InstrumentState& current,
                                          bool otherDocumentOpen,
                                          const InstrumentMessages& messages) {
  DocumentInstrument read;
  read.instrument = in.int8();
  if (!isInstrumentIndex(read.instrument)) {
    throw FormatError(std::string(messages.corrupt));
  }
  for (int s = 0; s < stringCount(read.instrument); ++s) {
    read.tuning[s] = in.int8();
  }
  if (otherDocumentOpen) {
    switch (checkCompatibility(current, read.instrument, read.tuning)) {
      case Compatibility::Compatible:
        break;
      case Compatibility::InstrumentDiffers:
        throw FormatError(std::string(messages.instrumentIncompatible));
      case Compatibility::TuningDiffers:
        throw FormatError(std::string(messages.tuningIncompatible));
    }
  }
  for (int s = 0; s < stringCount(read.instrument); ++s) {
    if (read.tuning[s] < 0 || read.tuning[s] > kMaxOpenNote) {
      throw FormatError(std::string(messages.corrupt));
    }
  }
  return read;
}

void writeDocumentInstrument(ByteWriter& out, const InstrumentState& instrument) {
  out.int8(instrument.currentInstrument);
  for (int s = 0; s < instrument.strings(); ++s) {
    out.int8(instrument.tuning[s]);
  }
}

std::int32_t documentVersion(std::span<const std::uint8_t> bytes) {
  ByteReader in(bytes);
  in.text(static_cast<std::size_t>(in.int32()));
  return in.int32();
}

}  // namespace fretlets
