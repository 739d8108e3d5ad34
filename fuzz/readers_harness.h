// Feeds arbitrary bytes to the runner's frame readers. The first byte picks
// the reader; whatever a reader accepts must be a consistent array that the
// .npy writer and reader carry through unchanged.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/zelk/frames.h"
#include "tools/zelk/npy.h"

namespace zelk::fuzz {

[[noreturn]] inline void reader_fault(const char* what) {
  std::fprintf(stderr, "fuzz_readers: %s\n", what);
  std::abort();
}

inline void read_one(const uint8_t* data, size_t size) {
  using namespace zelk::runner;
  if (size == 0) return;
  static const FileKind kKinds[] = {FileKind::Npy, FileKind::Png, FileKind::Pgm, FileKind::Ppm};
  const FileKind kind = kKinds[data[0] % 4];
  Array a;
  std::string why;
  if (!parse_frame(reinterpret_cast<const std::byte*>(data + 1), size - 1, kind, &a, &why)) {
    if (why.empty()) reader_fault("a refusal without a reason");
    return;
  }
  if (a.dims.empty() || a.dims.size() > 32 || a.planecount < 1 || a.planecount > 32)
    reader_fault("an accepted frame of a shape no matrix holds");
  for (long d : a.dims)
    if (d < 1) reader_fault("an accepted frame with an empty axis");
  if (a.data.size() != a.cell_count() * a.cell_bytes()) reader_fault("data size differs from the shape");
  if (kind != FileKind::Npy && (a.dims.size() != 2 || (a.planecount != 1 && a.planecount != 4)))
    reader_fault("an image that is not a 1- or 4-plane 2-D frame");
  const std::string file = npy_file(a);
  Array back;
  if (!parse_npy(reinterpret_cast<const std::byte*>(file.data()), file.size(), &back, &why))
    reader_fault("the .npy reader refused what the writer wrote");
  if (back.type != a.type || back.planecount != a.planecount || back.dims != a.dims ||
      back.data != a.data)
    reader_fault("a .npy round trip changed the frame");
}

}  // namespace zelk::fuzz
