// PNG, PGM and PPM frames. Headers are checked against the file's real size
// first; PGM and PPM samples are then decoded here, PNG ones by OpenCV's
// imgcodecs (a build without OpenCV refuses PNG files).
#pragma once

#include <cstddef>
#include <string>

#include "tools/zelk/array.h"

namespace cv {
class Mat;
}

namespace zelk::runner {

enum class ImageKind { Png, Pgm, Ppm };

// Decodes an image file's bytes into a 2-D `char` array: grey -> 1 plane,
// colour -> 4 planes in ARGB order (alpha 255 where the file has none).
// Samples deeper than 8 bits, or PNM samples of another maxval than 255,
// are scaled to 0..255. False, with the fault in *why, when the bytes are not
// a sound file of that kind.
bool decode_image(const std::byte* bytes, std::size_t size, ImageKind kind, Array* out,
                  std::string* why);

// The pixels of a PNG file whose header claims width x height (checked by
// decode_image), decoded by OpenCV; without OpenCV, false with the reason.
bool decode_png(const unsigned char* bytes, std::size_t size, unsigned long long width,
                unsigned long long height, Array* out, std::string* why);

// An 8-bit OpenCV image (grey, grey+alpha, BGR or BGRA) as a 2-D `char`
// array: grey -> 1 plane, colour -> 4 planes ARGB.
Array array_from_image(const cv::Mat& img);
// The same into *a, keeping its buffer when the size is the same.
void array_from_image(const cv::Mat& img, Array* a);

// Silences OpenCV's own console messages (the runner reports faults itself).
void quiet_image_library();

}  // namespace zelk::runner
