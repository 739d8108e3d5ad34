// zelk.blobs.elongation: how stretched every blob of a blob moment matrix
// is, 0 for the second-order moments of a disc.
#include "blobs/angles.h"
#include "blobs/blob_calc.h"

struct t_zelk_blobs_elongation {
  t_object ob;
};

static t_zelk_blobs_elongation* zelk_blobs_elongation_new() {
  return static_cast<t_zelk_blobs_elongation*>(frame::alloc_instance());
}

static void zelk_blobs_elongation_free(t_zelk_blobs_elongation*) {}

static t_jit_err zelk_blobs_elongation_matrix_calc(t_zelk_blobs_elongation* x, void* inputs,
                                                   void* outputs) {
  return blobs::moment_matrix_calc(x, inputs, outputs, blobs::elongation);
}

static const frame::ClassSpec spec = {
    "zelk.blobs.elongation", "zelk_blobs_elongation",
    "measures how stretched every blob is (0 for a disc)", sizeof(t_zelk_blobs_elongation),
    frame::as_method(zelk_blobs_elongation_new), frame::as_method(zelk_blobs_elongation_free),
    frame::as_method(zelk_blobs_elongation_matrix_calc), sizeof(frame::MaxWrapper),
    blobs::blob_mop("float32", blobs::kMomentPlanes, 1, "float32"), {}};

C74_EXPORT int main(void) {
  frame::finish_class(frame::begin_class(spec), spec);
  return 0;
}
