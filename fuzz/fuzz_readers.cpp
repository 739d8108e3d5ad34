// libFuzzer target: the runner's .npy, PNG, PGM and PPM readers, its patch
// reader and its movie-header reader.
#include "fuzz/readers_harness.h"
#include "tools/zelk/image.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  zelk::runner::quiet_image_library();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zelk::fuzz::read_one(data, size);
  return 0;
}
