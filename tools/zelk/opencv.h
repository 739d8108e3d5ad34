// Whether this build of the runner has OpenCV (ZELK_HAVE_OPENCV, set by
// CMake). PNG frames, videos, --render and zelk demo need it; the Windows
// build goes without, and says so when asked for them.
#pragma once

#include <string>

namespace zelk::runner {

inline constexpr bool kHaveOpenCV = ZELK_HAVE_OPENCV != 0;

// The reason a build without OpenCV gives for what needs it.
inline std::string without_opencv(const std::string& what) {
  return "this build of zelk has no OpenCV, so it cannot " + what;
}

}  // namespace zelk::runner
