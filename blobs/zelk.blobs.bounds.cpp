// zelk.blobs.bounds: the bounding box of every blob of a label image, one
// 4-plane long cell per label.
#include "blobs/blob_calc.h"
#include "blobs/bounds.h"

struct t_zelk_blobs_bounds {
  t_object ob;
  blobs::BoundsTables tables;
};

static t_zelk_blobs_bounds* zelk_blobs_bounds_new() {
  auto* x = static_cast<t_zelk_blobs_bounds*>(frame::alloc_instance());
  if (x) x->tables.highest = 0;
  return x;
}

static void zelk_blobs_bounds_free(t_zelk_blobs_bounds*) {}

static t_jit_err zelk_blobs_bounds_matrix_calc(t_zelk_blobs_bounds* x, void* inputs, void* outputs) {
  return blobs::label_image_calc(x, inputs, outputs, _jit_sym_long, blobs::kBoundsPlanes);
}

static const frame::ClassSpec spec = {
    "zelk.blobs.bounds", "zelk_blobs_bounds",
    "measures the bounding box of every blob of a label image", sizeof(t_zelk_blobs_bounds),
    frame::as_method(zelk_blobs_bounds_new), frame::as_method(zelk_blobs_bounds_free),
    frame::as_method(zelk_blobs_bounds_matrix_calc), sizeof(frame::MaxWrapper),
    blobs::blob_mop("char", 1, blobs::kBoundsPlanes, "long"), {}};

C74_EXPORT int main(void) {
  frame::finish_class(frame::begin_class(spec), spec);
  return 0;
}
