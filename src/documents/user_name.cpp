#include "documents/user_name.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "documents/score.h"
#include "documents/text_codec.h"

namespace fretlets {

std::string documentUserName(std::string_view utf8) {
  return ScoreText(utf8ToWindows1252(utf8)).str();
}

std::string userName() {
  std::vector<char> buffer(4096);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr && found->pw_name != nullptr) {
    return documentUserName(found->pw_name);
  }
  const char* variable = std::getenv("USER");
  return documentUserName(variable != nullptr ? variable : "");
}

}  // namespace fretlets
