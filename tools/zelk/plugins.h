// Where the runner finds its plug-ins, and the failure line every command
// ends with.
#pragma once

#include <string>
#include <vector>

namespace zelk::runner {

bool is_directory(const std::string& path);

// Sets the host's plug-in folders: DIR when given, else $ZELK_PLUGIN_DIR,
// else the one found from the runner's own location (default_plugin_dirs).
// False, with the reason, when a given folder is unusable.
bool choose_plugin_dirs(bool given, const std::string& dir, std::string* why);

// "zelk: WHY" on standard error; returns the failure exit status.
int fail(const std::string& why);

// Takes --plugins DIR out of a command's words (the rest stay, in order)
// and sets the folders. -1 when the command goes on, else an exit status.
int plugins_option(int argc, char** argv, std::vector<std::string>* rest, const char* cmd);

}  // namespace zelk::runner
