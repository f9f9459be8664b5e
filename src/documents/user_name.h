#pragma once

#include <string>
#include <string_view>

namespace fretlets {

// The name a locked score is stamped with and compared against: the account
// name in the documents' 8-bit text ("?" for what it cannot hold), cut to
// the 49 bytes of the owner field. Writer and reader both take it from here,
// so a user always owns the scores they locked.
std::string userName();

// The same for a given UTF-8 account name.
std::string documentUserName(std::string_view utf8);

}  // namespace fretlets
