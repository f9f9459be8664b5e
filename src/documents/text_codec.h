#pragma once

#include <string>
#include <string_view>

namespace fretlets {

// Documents keep their texts in the Windows-1252 code page, one byte per
// character, so that files stay byte-compatible with the program's own
// format. These convert at the boundary to the rest of the world.

// Every byte has a character: the five bytes the code page leaves undefined
// become the control characters of the same number, so nothing is lost.
std::string windows1252ToUtf8(std::string_view bytes);

// Characters outside the code page, and malformed UTF-8, become "?".
std::string utf8ToWindows1252(std::string_view utf8);

}  // namespace fretlets
