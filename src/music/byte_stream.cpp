#include "music/byte_stream.h"

#include <fstream>
#include <system_error>

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

}  // namespace

void writeFileReplacing(const std::filesystem::path& requested,
                        std::span<const std::uint8_t> bytes) {
  const std::filesystem::path path = linkTarget(requested);
  std::filesystem::path temporary = path;
  temporary += ".saving";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) {
      throw FormatError(std::string(kCouldNotOpen));
    }
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      throw FormatError(std::string(kWriteFailed));
    }
  }
  std::error_code error;
  // Keep the permissions the user gave the file being replaced.
  const auto status = std::filesystem::status(path, error);
  if (!error && std::filesystem::exists(status)) {
    std::filesystem::permissions(temporary, status.permissions(), error);
  }
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw FormatError(std::string(kWriteFailed));
  }
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
  if (otherDocumentOpen && read.instrument != current.currentInstrument) {
    throw FormatError(std::string(messages.instrumentIncompatible));
  }
  for (int s = 0; s < stringCount(read.instrument); ++s) {
    read.tuning[s] = in.int8();
    if (otherDocumentOpen && read.tuning[s] != current.tuning[s]) {
      throw FormatError(std::string(messages.tuningIncompatible));
    }
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
