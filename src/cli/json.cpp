#include "cli/json.h"

namespace fretlets::cli {

std::string jsonText(const Json& value) {
  const std::string dumped = value.dump(-1, ' ', false, Json::error_handler_t::replace);
  // Outside strings a JSON text has no backslash, so every backslash starts
  // an escape: only the two short forms the writer prefers are spelled out.
  std::string out;
  out.reserve(dumped.size());
  for (std::size_t i = 0; i < dumped.size(); ++i) {
    if (dumped[i] != '\\') {
      out += dumped[i];
      continue;
    }
    const char escaped = dumped[++i];
    if (escaped == 'b') {
      out += "\\u0008";
    } else if (escaped == 'f') {
      out += "\\u000c";
    } else {
      out += '\\';
      out += escaped;
    }
  }
  return out;
}

}  // namespace fretlets::cli
