// --render and zelk demo in a runner built without OpenCV: refused with a
// reason that says so (zelk run refuses --render before anything runs).
#include "tools/zelk/demo.h"
#include "tools/zelk/opencv.h"
#include "tools/zelk/plugins.h"
#include "tools/zelk/render.h"

namespace zelk::runner {

static_assert(!kHaveOpenCV, "with OpenCV, render.cpp and demo.cpp are built instead");

bool render_frame(const std::string&, long, const Graph&, const FrameRecord&, std::string* why) {
  *why = "--render: " + without_opencv("draw pictures");
  return false;
}

bool render_patch(const std::string&, long, const Patch&, const Graph&, const FrameRecord&, std::string* why) {
  *why = "--render: " + without_opencv("draw pictures");
  return false;
}

int demo_command(int, char**) { return fail("demo: " + without_opencv("draw the demo's scene and pictures")); }
int clip_command(int, char**) { return fail("clip: " + without_opencv("draw the scene")); }

}  // namespace zelk::runner
