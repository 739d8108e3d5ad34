// What the runner asks of the operating system, in one POSIX and one
// Windows form (platform.cpp).
#pragma once

#include <string>
#include <vector>

namespace zelk::runner {

// The plug-in folders a runner looks in when none is given, in order:
// beside its own folder, where a build or a package puts them. Empty when
// the runner's own location cannot be told.
std::vector<std::string> default_plugin_dirs();

// Whether standard error is a terminal (the progress bar draws only there).
bool stderr_is_terminal();

// Whether files can be made in the existing folder `dir`.
bool folder_is_writable(const std::string& dir);

// Standard output without newline translation, so that its lines are the
// same bytes on every system.
void binary_standard_output();

// DIR/NAME, with no second separator when DIR already ends in one.
std::string join_path(const std::string& dir, const std::string& name);

}  // namespace zelk::runner
