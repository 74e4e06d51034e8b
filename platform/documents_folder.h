// The user's documents folder, where the operation manual is kept.
#pragma once

#include <string>

namespace kt {

// The user's home folder: HOME, else the password database's entry.
std::string homeFolder();

// What `xdg-user-dir DOCUMENTS` answers (its own configuration, with the
// user's language), or ~/Documents when the tool is missing, fails, or has no
// documents folder configured (it answers the home folder then). Waits for the
// tool at most about a second. No trailing slash. User-interface thread.
std::string documentsFolder();

}  // namespace kt
