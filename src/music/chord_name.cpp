#include "music/chord_name.h"

#include <algorithm>

namespace fretlets {
namespace {

bool sortsBeforeOne(char c) {
  return c == '5' || c == '6' || c == '7' || c == '9';
}

}  // namespace

std::string composeChordName(std::string_view root, std::string_view type, std::string_view bass) {
  std::string name(root.substr(0, kChordRootWidth));
  name.append(type.substr(0, kChordTypeWidth));
  if (!bass.empty()) {
    name.append("/").append(bass.substr(0, kChordBassWidth));
  }
  return name;
}

bool chordNameBefore(std::string_view a, std::string_view b) {
  const auto [ia, ib] = std::ranges::mismatch(a, b);
  if (ia == a.end() || ib == b.end()) {
    return a.size() < b.size();
  }
  const char c = *ia;
  const char d = *ib;
  if (c == '1' && sortsBeforeOne(d)) {
    return false;
  }
  if (d == '1' && sortsBeforeOne(c)) {
    return true;
  }
  return static_cast<unsigned char>(c) < static_cast<unsigned char>(d);
}

}  // namespace fretlets
