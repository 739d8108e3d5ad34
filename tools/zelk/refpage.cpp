// zelk refpage: reference pages in Max's format, from what the classes register.
#include <cstdio>

#include "tools/zelk/run.h"

namespace zelk::runner {

int refpage_command(int, char**) {
  std::fputs("zelk: refpage: not built yet\n", stderr);
  return kExitFailure;
}

}  // namespace zelk::runner
