#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "music/instrument.h"

namespace fretlets {

// A chord book or score file that cannot be read or written. The message is
// the exact text the user is shown.
class FormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr std::string_view kUnexpectedEnd = "Unexpected end of file";
inline constexpr std::string_view kCouldNotOpen = "Couldn't open file";
inline constexpr std::string_view kReadFailed = "File read failed";
inline constexpr std::string_view kWriteFailed = "File write failed";
inline constexpr std::string_view kErrorReading = "Error reading file";
inline constexpr std::string_view kErrorWriting = "Error writing file";

// Little-endian fields from a file held in memory. Every read that runs into
// the end of the data, or is cut short by it, fails with "Unexpected end of
// file".
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

  std::int32_t int32();
  std::int8_t int8();
  bool flag() { return int8() != 0; }
  std::string text(std::size_t length);

  std::size_t remaining() const { return data_.size() - offset_; }

  // Fails early when count records of at least recordSize bytes each cannot
  // fit in what is left: such a file ends before its records do.
  void expectRoomFor(std::int64_t count, std::size_t recordSize) const;

 private:
  void need(std::size_t bytes) const;

  std::span<const std::uint8_t> data_;
  std::size_t offset_ = 0;
};

// Little-endian fields collected in memory and put on disk in one go.
class ByteWriter {
 public:
  void int32(std::int32_t value);
  void int8(std::int8_t value) { bytes_.push_back(static_cast<std::uint8_t>(value)); }
  void flag(bool value) { int8(value ? 1 : 0); }
  void text(std::string_view bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }
  // A length-prefixed text, as both document kinds store their texts.
  void lengthAndText(std::string_view bytes);

  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

// What a document's reader says when its instrument field is damaged or
// does not fit the other open document.
struct InstrumentMessages {
  std::string_view corrupt;
  std::string_view instrumentIncompatible;
  std::string_view tuningIncompatible;
};

// The instrument and tuning a document was made for.
struct DocumentInstrument {
  int instrument = kGuitar;
  Tuning tuning{-1, -1, -1, -1, -1, -1};
};

// Reads the instrument byte and the note of each of its strings. While the
// other document is open they must be compatible with the current ones
// (checkCompatibility); the first difference it finds ends the reading with
// its message.
DocumentInstrument readDocumentInstrument(ByteReader& in, const InstrumentState& current,
                                          bool otherDocumentOpen,
                                          const InstrumentMessages& messages);
void writeDocumentInstrument(ByteWriter& out, const InstrumentState& instrument);

// The version of a chord book or score: the field after the length-prefixed
// marker both kinds begin with.
std::int32_t documentVersion(std::span<const std::uint8_t> bytes);

// Far more than the largest chord book or score a player could make.
inline constexpr std::size_t kMaxDocumentBytes = std::size_t{256} << 20;

// The whole file; "Couldn't open file" when it cannot be opened, "File read
// failed" when reading fails or the file is larger than maxBytes.
std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path,
                                        std::size_t maxBytes = kMaxDocumentBytes);

// Writes a temporary file beside the target (a new, uniquely named file),
// flushes it to disk and renames it over the target only once it is
// complete, so a failed save never damages the file that was there and
// leaves no temporary file behind. The saved file keeps the mode, owner and
// group of the one it replaces where the user may set them. A file without
// write permission is refused and left alone; a file with more than one
// hard link, or in a folder the user may not write to, is written in place.
// "Couldn't open file" or "File write failed" on failure.
void writeFileReplacing(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// Whether anything is at path, a dangling symbolic link included.
bool pathExists(const std::filesystem::path& path);

// The platform text-mode reading older chord books were written for: the
// pair CR LF reads as LF, and a byte 0x1A ends the data.
std::vector<std::uint8_t> translateTextMode(std::span<const std::uint8_t> bytes);

}  // namespace fretlets
