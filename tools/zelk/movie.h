// QuickTime movies of Photo-JPEG frames: the kind of the package's clip.
// Max's jit.movie plays them on macOS (AVFoundation) and on Windows, and
// every build of the runner reads them with the same decoder (zelk.exe too,
// which has no OpenCV), so a patch on the clip gives the same bits on Linux
// and under Wine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/zelk/array.h"
#include "tools/zelk/sources.h"

namespace zelk::runner {

// Writes 2-D char frames (1 plane grey, 3 RGB or 4 ARGB, alpha dropped), all
// of one size, as a movie of `fps` frames a second; JPEG `quality` 1..100.
bool write_jpeg_movie(const std::string& path, const std::vector<Array>& frames, int fps, int quality,
                      std::string* why);

// Where each frame's JPEG bytes lie in the file.
struct JpegMovieIndex {
  long width = 0, height = 0;
  std::vector<std::uint64_t> offsets, sizes;
};

enum class MovieParse { Jpeg, NotJpeg, Damaged };
// Reads the index out of a movie's `moov` box contents. NotJpeg: a movie
// whose video is another codec (or no QuickTime at all); Damaged: *why says
// what is wrong. Samples must lie within `file_size` bytes.
MovieParse parse_movie_index(const std::byte* moov, std::size_t size, std::uint64_t file_size,
                             JpegMovieIndex* out, std::string* why);

// The frames of a Photo-JPEG movie as 4-plane ARGB char matrices (alpha 255).
// Null with *why empty when `path` is no such movie (another reader may take
// it); null with *why set, naming the file, when it is one but damaged.
std::unique_ptr<FrameSource> open_jpeg_movie(const std::string& path, std::string* why);

// One JPEG image as ARGB char; false with *why when it cannot be decoded.
bool decode_jpeg(const unsigned char* bytes, std::size_t size, Array* out, std::string* why);

}  // namespace zelk::runner
