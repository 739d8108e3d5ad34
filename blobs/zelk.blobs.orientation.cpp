// zelk.blobs.orientation: the major-axis angle of every blob of a blob
// moment matrix, 0 up to half a turn, in radians or degrees.
#include "blobs/angles.h"
#include "blobs/blob_calc.h"

struct t_zelk_blobs_orientation {
  t_object ob;
  long mode;  // 0 radians, 1 degrees
};

static t_zelk_blobs_orientation* zelk_blobs_orientation_new() {
  auto* x = static_cast<t_zelk_blobs_orientation*>(frame::alloc_instance());
  if (x) x->mode = 0;
  return x;
}

static void zelk_blobs_orientation_free(t_zelk_blobs_orientation*) {}

static t_jit_err zelk_blobs_orientation_matrix_calc(t_zelk_blobs_orientation* x, void* inputs,
                                                    void* outputs) {
  const bool degrees = x && x->mode != 0;
  return blobs::moment_matrix_calc(x, inputs, outputs,
                                   [degrees](const float* c) { return blobs::orientation(c, degrees); });
}

static const frame::ClassSpec spec = {
    "zelk.blobs.orientation", "zelk_blobs_orientation",
    "gives the major-axis angle of every blob up to half a turn", sizeof(t_zelk_blobs_orientation),
    frame::as_method(zelk_blobs_orientation_new), frame::as_method(zelk_blobs_orientation_free),
    frame::as_method(zelk_blobs_orientation_matrix_calc), sizeof(frame::MaxWrapper),
    blobs::blob_mop("float32", blobs::kMomentPlanes, 1, "float32"), {}};

C74_EXPORT int main(void) {
  void* c = frame::begin_class(spec);
  FRAME_ATTR(c, t_zelk_blobs_orientation, mode, "mode", "long", frame::kAttrOrdinary, frame::clip(0, 1));
  frame::finish_class(c, spec);
  return 0;
}
