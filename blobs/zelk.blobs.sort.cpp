// zelk.blobs.sort: identifiers that follow each blob from frame to frame,
// from a blob centroid or blob moment matrix.
#include "blobs/blob_calc.h"
#include "blobs/centroids.h"
#include "blobs/sort.h"

struct t_zelk_blobs_sort {
  t_object ob;
  blobs::BlobTracker tracker;  // kept between frames
  float threshold;             // match radius in pixels
};

static t_zelk_blobs_sort* zelk_blobs_sort_new() {
  auto* x = static_cast<t_zelk_blobs_sort*>(frame::alloc_instance());
  if (x) x->threshold = 10.0f;
  return x;
}

static void zelk_blobs_sort_free(t_zelk_blobs_sort*) {}

static t_jit_err zelk_blobs_sort_matrix_calc(t_zelk_blobs_sort* x, void* inputs, void* outputs) {
  void* in = frame::list_matrix(inputs, 0);
  void* out = frame::list_matrix(outputs, 0);
  if (!x || !in || !out) return JIT_ERR_NONE;
  frame::Locked lock_in(in), lock_out(out);
  const t_jit_matrix_info in_info = frame::get_info(in);
  char* in_data = frame::get_data(in);
  if (in_info.dimcount != 1) {
    error("Make sure object is connected to leftmost outlet of zelk.blobs.centroids!");
    return JIT_ERR_MISMATCH_DIM;
  }
  const bool planes_ok = in_info.planecount == blobs::kCentroidPlanes || in_info.planecount == blobs::kMomentPlanes;
  if (!planes_ok || in_info.type != _jit_sym_float32) {
    error("Make sure object is connected to leftmost outlet of zelk.blobs.centroids or zelk.blobs.moments!");
    return planes_ok ? JIT_ERR_MISMATCH_TYPE : JIT_ERR_MISMATCH_PLANE;
  }
  if (!in_data) return JIT_ERR_INVALID_INPUT;
  const long n = std::max(0L, in_info.dim[0]);
  t_jit_matrix_info out_info;
  char* out_data = blobs::resize_output(out, _jit_sym_char, 1, n, out_info);
  if (!out_data) return JIT_ERR_INVALID_OUTPUT;
  x->tracker.track(frame::to_matrix(in_info, in_data), n, x->threshold,
                   frame::to_matrix(out_info, out_data));
  return JIT_ERR_NONE;
}

static const frame::ClassSpec spec = {
    "zelk.blobs.sort", "zelk_blobs_sort",
    "gives blobs identifiers that stay with them from frame to frame", sizeof(t_zelk_blobs_sort),
    frame::as_method(zelk_blobs_sort_new), frame::as_method(zelk_blobs_sort_free),
    frame::as_method(zelk_blobs_sort_matrix_calc), sizeof(frame::MaxWrapper),
    blobs::blob_mop("float32", 0, 1, "char"), {}};

C74_EXPORT int main(void) {
  void* c = frame::begin_class(spec);
  FRAME_ATTR(c, t_zelk_blobs_sort, threshold, "threshold", "float32");
  frame::finish_class(c, spec);
  return 0;
}
