#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace fretlets::cli {

// JSON objects keep their members in the order they were set, which is the
// order the commands print them in.
using Json = nlohmann::ordered_json;

// The value as one compact line. Control characters other than line feed,
// carriage return and tab are written as \u00XX escapes (backspace and form
// feed too), and text that is not valid UTF-8 becomes U+FFFD.
std::string jsonText(const Json& value);

}  // namespace fretlets::cli
