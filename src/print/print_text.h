#pragma once

#include <QString>
#include <string_view>

namespace fretlets {

struct InstrumentState;

// A text of the documents' 8-bit encoding as the program shows it.
QString documentText(std::string_view bytes);

// "Guitar, tuned E2 A2 D3 G3 B3 E4"
QString instrumentText(const InstrumentState& instrument);

}  // namespace fretlets
