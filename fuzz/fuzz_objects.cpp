// libFuzzer target: every plug-in of the collection, one box or a chain,
// frames of any shape and messages between them.
#include <cstdio>
#include <cstdlib>

#include "fuzz/objects_harness.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (!zelk::fuzz::initialise()) {
    std::fprintf(stderr, "fuzz_objects: no plug-in found in the plug-in folder\n");
    std::exit(1);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zelk::fuzz::run_one(data, size);
  return 0;
}
