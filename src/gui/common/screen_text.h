#pragma once

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

namespace fretlets {

// The one crossing between the screen's Unicode and the 8-bit texts of the
// documents and the program's tables (Windows-1252, of which the tables use
// only ASCII).

// Unicode text from a box to the documents' 8-bit text of at most maxBytes
// bytes; a character the documents cannot store becomes "?".
std::string documentText(const QString& text, std::size_t maxBytes = std::string::npos);
// 8-bit text for the screen.
QString screenText(std::string_view text);

}  // namespace fretlets
