// Feeds arbitrary bytes to the runner's readers. The first byte picks the
// reader; whatever a frame reader accepts must be a consistent array that the
// .npy writer and reader carry through unchanged, a patch it accepts must
// only join boxes it has, and a movie's index (the bytes taken as a movie
// header within a file of their size) must only name frames in the file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/zelk/frames.h"
#include "tools/zelk/movie.h"
#include "tools/zelk/npy.h"
#include "tools/zelk/patch.h"

namespace zelk::fuzz {

[[noreturn]] inline void reader_fault(const char* what) {
  std::fprintf(stderr, "fuzz_readers: %s\n", what);
  std::abort();
}

inline void read_patch(const uint8_t* data, size_t size) {
  using namespace zelk::runner;
  Patch p;
  std::string why;
  if (!parse_patch(std::string(reinterpret_cast<const char*>(data), size), "fuzz", &p, &why)) {
    if (why.empty()) reader_fault("a refused patch without a reason");
    return;
  }
  const int boxes = static_cast<int>(p.boxes.size());
  for (const PatchLine& l : p.lines)
    if (l.from < 0 || l.from >= boxes || l.to < 0 || l.to >= boxes || l.outlet < 0 || l.inlet < 0)
      reader_fault("a patch line that joins boxes the patch does not have");
  for (const PatchBox& b : p.boxes)
    if ((b.kind == PatchBox::Kind::Inlet || b.kind == PatchBox::Kind::Outlet) && b.index < 1)
      reader_fault("an inlet or outlet without a number");
}

inline void read_movie_index(const uint8_t* data, size_t size) {
  using namespace zelk::runner;
  JpegMovieIndex index;
  std::string why;
  switch (parse_movie_index(reinterpret_cast<const std::byte*>(data), size, size, &index, &why)) {
    case MovieParse::NotJpeg:
      return;
    case MovieParse::Damaged:
      if (why.empty()) reader_fault("a damaged movie without a reason");
      return;
    case MovieParse::Jpeg:
      break;
  }
  if (index.offsets.empty() || index.offsets.size() != index.sizes.size())
    reader_fault("a movie index without frames or with a size per frame missing");
  for (size_t i = 0; i < index.offsets.size(); ++i)
    if (index.offsets[i] > size || index.sizes[i] > size - index.offsets[i])
      reader_fault("a movie frame past the end of the file");
}

inline void read_one(const uint8_t* data, size_t size) {
  using namespace zelk::runner;
  if (size == 0) return;
  if (data[0] % 6 == 4) return read_patch(data + 1, size - 1);
  if (data[0] % 6 == 5) return read_movie_index(data + 1, size - 1);
  static const FileKind kKinds[] = {FileKind::Npy, FileKind::Png, FileKind::Pgm, FileKind::Ppm};
  const FileKind kind = kKinds[data[0] % 6];
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
