// Where frames come from: one frame file, a folder of them (in sorted
// order), or a video that OpenCV's videoio decodes (in builds with OpenCV);
// and the grey and threshold conversions for camera-like input.
#pragma once

#include <memory>
#include <string>

#include "tools/zelk/array.h"

namespace zelk::runner {

class FrameSource {
 public:
  // Opens PATH; null, with the fault in *why (naming the file), when it is no
  // source of frames. A folder's files are all read once here, so a damaged
  // one stops the run before anything runs; a video is opened and its first
  // frame decoded.
  static std::unique_ptr<FrameSource> open(const std::string& path, std::string* why);
  virtual ~FrameSource() = default;

  // Frames still to come when known in advance, else -1.
  virtual long remaining() const = 0;
  // The next frame; false at the end (*why empty) or on a fault (*why set,
  // naming the file).
  virtual bool next(Array* out, std::string* why) = 0;
};

bool is_video_file(const std::string& path);
// A video file's frames, decoded by OpenCV; null, with the reason naming the
// file, when none can be decoded (or the build has no OpenCV).
std::unique_ptr<FrameSource> open_video(const std::string& path, std::string* why);

struct FrameFilter {
  bool grey = false;
  bool binary = false;  // grey, then 255 where above `threshold`, else 0
  double threshold = 0;
};

// Grey: one plane of luminance (0.299 R + 0.587 G + 0.114 B from ARGB or RGB
// cells, the first plane of any other cell), in the frame's own type. Binary:
// a one-plane `char` frame of 0 and 255.
void apply_filter(const FrameFilter& f, Array* a);

}  // namespace zelk::runner
