// The runner's commands; each returns the process's exit status.
#pragma once

namespace zelk::runner {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 2;

int run_command(int argc, char** argv);   // zelk run ...
int list_command(int argc, char** argv);  // zelk list ...
int info_command(int argc, char** argv);  // zelk info ...
int refpage_command(int argc, char** argv);  // zelk refpage ...

extern const char kRunHelp[];

}  // namespace zelk::runner
