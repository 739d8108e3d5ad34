// zelk.blobs.direction: the major-axis angle of every blob over a full turn,
// the end of the axis told apart by a third-order moment.
#include "blobs/angles.h"
#include "blobs/blob_calc.h"

struct t_zelk_blobs_direction {
  t_object ob;
  long mode;  // 0 radians, 1 degrees
  long flip;  // 1: half a turn added to every result
};

static t_zelk_blobs_direction* zelk_blobs_direction_new() {
  auto* x = static_cast<t_zelk_blobs_direction*>(frame::alloc_instance());
  if (x) {
    x->mode = 0;
    x->flip = 0;
  }
  return x;
}

static void zelk_blobs_direction_free(t_zelk_blobs_direction*) {}

static t_jit_err zelk_blobs_direction_matrix_calc(t_zelk_blobs_direction* x, void* inputs,
                                                  void* outputs) {
  const blobs::DirectionSettings s{x && x->mode != 0, x && x->flip != 0};
  return blobs::moment_matrix_calc(x, inputs, outputs,
                                   [s](const float* c) { return blobs::direction(c, s); });
}

static const frame::ClassSpec spec = {
    "zelk.blobs.direction", "zelk_blobs_direction",
    "gives the major-axis angle of every blob over a full turn", sizeof(t_zelk_blobs_direction),
    frame::as_method(zelk_blobs_direction_new), frame::as_method(zelk_blobs_direction_free),
    frame::as_method(zelk_blobs_direction_matrix_calc), sizeof(frame::MaxWrapper),
    blobs::blob_mop("float32", blobs::kMomentPlanes, 1, "float32"), {}};

C74_EXPORT int main(void) {
  void* c = frame::begin_class(spec);
  FRAME_ATTR(c, t_zelk_blobs_direction, mode, "mode", "long", frame::kAttrOrdinary, frame::clip(0, 1));
  FRAME_ATTR(c, t_zelk_blobs_direction, flip, "flip", "long", frame::kAttrOrdinary, frame::clip(0, 1));
  frame::finish_class(c, spec);
  return 0;
}
