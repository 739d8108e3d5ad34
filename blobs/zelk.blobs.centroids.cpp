// zelk.blobs.centroids: centroid and mass of every blob of a label image,
// one 3-plane cell per label.
#include "blobs/blob_calc.h"
#include "blobs/centroids.h"

struct t_zelk_blobs_centroids {
  t_object ob;
  blobs::CentroidTables tables;
};

static t_zelk_blobs_centroids* zelk_blobs_centroids_new() {
  auto* x = static_cast<t_zelk_blobs_centroids*>(frame::alloc_instance());
  if (x) x->tables.highest = 0;
  return x;
}

static void zelk_blobs_centroids_free(t_zelk_blobs_centroids*) {}

static t_jit_err zelk_blobs_centroids_matrix_calc(t_zelk_blobs_centroids* x, void* inputs, void* outputs) {
  return blobs::label_image_calc(x, inputs, outputs, _jit_sym_float32, blobs::kCentroidPlanes);
}

static const frame::ClassSpec spec = {
    "zelk.blobs.centroids", "zelk_blobs_centroids",
    "finds the centroid and mass of every blob of a label image", sizeof(t_zelk_blobs_centroids),
    frame::as_method(zelk_blobs_centroids_new), frame::as_method(zelk_blobs_centroids_free),
    frame::as_method(zelk_blobs_centroids_matrix_calc), sizeof(frame::MaxWrapper),
    blobs::blob_mop("char", 1, blobs::kCentroidPlanes, "float32"), {}};

C74_EXPORT int main(void) {
  frame::finish_class(frame::begin_class(spec), spec);
  return 0;
}
