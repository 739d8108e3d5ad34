// zelk.blobs.moments: mass, centroid, normalised central moments and Hu
// invariants of every blob of a label image, one 17-plane cell per label.
#include "blobs/blob_calc.h"
#include "blobs/moments.h"

struct t_zelk_blobs_moments {
  t_object ob;
  blobs::MomentTables tables;
};

static t_zelk_blobs_moments* zelk_blobs_moments_new() {
  auto* x = static_cast<t_zelk_blobs_moments*>(frame::alloc_instance());
  if (x) x->tables.highest = 0;
  return x;
}

static void zelk_blobs_moments_free(t_zelk_blobs_moments*) {}

static t_jit_err zelk_blobs_moments_matrix_calc(t_zelk_blobs_moments* x, void* inputs, void* outputs) {
  return blobs::label_image_calc(x, inputs, outputs, _jit_sym_float32, blobs::kMomentPlanes);
}

static const frame::ClassSpec spec = {
    "zelk.blobs.moments", "zelk_blobs_moments",
    "measures the moments and Hu invariants of every labelled blob", sizeof(t_zelk_blobs_moments),
    frame::as_method(zelk_blobs_moments_new), frame::as_method(zelk_blobs_moments_free),
    frame::as_method(zelk_blobs_moments_matrix_calc), sizeof(frame::MaxWrapper),
    blobs::blob_mop("char", 1, blobs::kMomentPlanes, "float32"), {}};

C74_EXPORT int main(void) {
  frame::finish_class(frame::begin_class(spec), spec);
  return 0;
}
