// The readers of a runner built without OpenCV (zelk.exe for Windows): PNG
// files and videos are refused with a reason that says so, before anything
// runs. without_opencv_pictures.cpp does the same for --render and the demo.
#include "tools/zelk/image.h"
#include "tools/zelk/opencv.h"
#include "tools/zelk/sources.h"

namespace zelk::runner {

static_assert(!kHaveOpenCV, "with OpenCV, opencv.cpp is built instead");

void quiet_image_library() {}

bool decode_png(const unsigned char*, std::size_t, unsigned long long, unsigned long long, Array*,
                std::string* why) {
  *why = without_opencv("decode PNG files (.npy, .pgm and .ppm frames work)");
  return false;
}

std::unique_ptr<FrameSource> open_video(const std::string& path, std::string* why) {
  *why = path + ": " + without_opencv("decode videos (.npy, .pgm and .ppm frames work)");
  return nullptr;
}

}  // namespace zelk::runner
