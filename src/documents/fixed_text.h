#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace fretlets {

// A text of Windows-1252 bytes that never grows past the width of its field
// in the files (and in the dialogs that edit it): anything longer is cut.
// The fields are zero-terminated, so a text also ends at its first NUL, as
// it does wherever the program shows, compares or saves it.
template <std::size_t Max>
class FixedText {
 public:
  static constexpr std::size_t kMax = Max;

  FixedText() = default;
  FixedText(std::string_view bytes) { assign(bytes); }  // NOLINT: texts convert freely

  FixedText& operator=(std::string_view bytes) {
    assign(bytes);
    return *this;
  }

  void assign(std::string_view bytes) {
    bytes_.assign(bytes.substr(0, std::min(Max, bytes.find('\0'))));
  }
  std::string_view view() const { return bytes_; }
  const std::string& str() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }

  friend bool operator==(const FixedText&, const FixedText&) = default;

 private:
  std::string bytes_;
};

}  // namespace fretlets
