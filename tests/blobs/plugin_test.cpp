// The blob descriptors as plug-ins in boxes, and the roads of a frame as a
// patch runs them: binary image -> zelk.label @charmode 1 -> blob moments ->
// orientation, direction, elongation; label image -> centroids -> sort.
// Shapes OpenCV draws are in plugin_opencv_test.cpp.
#include <algorithm>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "plugin_support.h"
#include "support/host_fixture.h"
#include "support/scenes.h"

namespace {

using zelk::host::Box;
using zelk::host::matrix_info;
using zt::cell;
using zt::make_box;
using zt::make_matrix;

const char* const kAll[] = {"zelk.blobs.moments",    "zelk.blobs.centroids", "zelk.blobs.bounds",
                            "zelk.blobs.orientation", "zelk.blobs.direction", "zelk.blobs.elongation",
                            "zelk.blobs.sort"};

std::vector<int> last_ids(const Box& b) {
  const auto sent = zt::sent_matrices(b);
  EXPECT_FALSE(sent.empty());
  if (sent.empty()) return {};
  std::vector<int> v;
  for (long k = 0; k < matrix_info(sent.back()).dim[0]; ++k) v.push_back(cell<std::uint8_t>(sent.back(), k));
  return v;
}

TEST(BlobPlugins, ClassesAndAttributes) {
  for (const char* name : kAll) {
    auto box = make_box(name);
    ASSERT_TRUE(box) << name;
    EXPECT_EQ(box->outlet_count(), 2) << name;  // the matrix and the dump outlet
    zelk::host::ClassInfo info;
    ASSERT_TRUE(zelk::host::class_info(name, &info));
    EXPECT_EQ(info.matrix_inputs, 1);
    EXPECT_EQ(info.matrix_outputs, 1);
    std::string jit = name;
    for (char& c : jit)
      if (c == '.') c = '_';
    EXPECT_EQ(info.jit_name, jit);
  }
  zelk::host::ClassInfo info;
  ASSERT_TRUE(zelk::host::class_info("zelk.blobs.direction", &info));
  ASSERT_EQ(info.attributes.size(), 2u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(info.attributes[i].name, i == 0 ? "mode" : "flip");
    EXPECT_EQ(info.attributes[i].type, "long");
    EXPECT_EQ(info.attributes[i].flags, 0x08040000);
    EXPECT_TRUE(info.attributes[i].clip_min && info.attributes[i].clip_max);
    EXPECT_EQ(info.attributes[i].max, 1);
  }
  ASSERT_TRUE(zelk::host::class_info("zelk.blobs.sort", &info));
  ASSERT_EQ(info.attributes.size(), 1u);
  EXPECT_EQ(info.attributes[0].name, "threshold");
  EXPECT_EQ(info.attributes[0].type, "float32");
  EXPECT_FALSE(info.attributes[0].clip_min || info.attributes[0].clip_max);
  ASSERT_TRUE(zelk::host::class_info("zelk.blobs.moments", &info));
  EXPECT_TRUE(info.attributes.empty());
}

TEST(BlobPlugins, AttributeArgumentsAreClipped) {
  auto o = make_box("zelk.blobs.orientation @mode 5");
  EXPECT_EQ(jit_attr_getlong(o->jit_object(), gensym("mode")), 1);
  auto n = make_box("zelk.blobs.orientation @mode -3");
  EXPECT_EQ(jit_attr_getlong(n->jit_object(), gensym("mode")), 0);
  auto d = make_box("zelk.blobs.direction @flip 7 @mode 2");
  EXPECT_EQ(jit_attr_getlong(d->jit_object(), gensym("flip")), 1);
  EXPECT_EQ(jit_attr_getlong(d->jit_object(), gensym("mode")), 1);
  auto s = make_box("zelk.blobs.sort @threshold 2.5");
  EXPECT_EQ(jit_attr_getfloat(s->jit_object(), gensym("threshold")), 2.5);
  EXPECT_EQ(jit_attr_getfloat(make_box("zelk.blobs.sort")->jit_object(), gensym("threshold")), 10.0);
  ASSERT_TRUE(s->send_text("threshold 4"));
  EXPECT_EQ(jit_attr_getfloat(s->jit_object(), gensym("threshold")), 4.0);
}

TEST(BlobPlugins, RefusedFramesSendNothing) {
  auto m = make_box("zelk.blobs.moments");
  m->send_matrix(make_matrix(_jit_sym_char, 1, {4, 4, 2}).get());
  EXPECT_EQ(zt::error_codes(*m), (std::vector<long>{JIT_ERR_MISMATCH_DIM}));
  EXPECT_TRUE(zt::sent_matrices(*m).empty());
  EXPECT_TRUE(zt::console_lines(*m).empty());
  auto s = make_box("zelk.blobs.sort");
  s->send_matrix(make_matrix(_jit_sym_float32, 2, {3}).get());
  EXPECT_EQ(zt::error_codes(*s), (std::vector<long>{JIT_ERR_MISMATCH_PLANE}));
  EXPECT_EQ(zt::console_lines(*s),
            (std::vector<std::string>{"Make sure object is connected to leftmost outlet of "
                                      "zelk.blobs.centroids or zelk.blobs.moments!"}));
  EXPECT_TRUE(zt::sent_matrices(*s).empty());
  auto o = make_box("zelk.blobs.orientation");
  o->send_matrix(make_matrix(_jit_sym_float32, 17, {2, 2}).get());
  EXPECT_EQ(zt::error_codes(*o), (std::vector<long>{JIT_ERR_MISMATCH_DIM}));
  EXPECT_EQ(zt::console_lines(*o),
            (std::vector<std::string>{"Make sure object is connected to leftmost outlet of zelk.blobs.moments!"}));
}

// Jitter keeps every size at 1 or more: a frame without blobs goes on as one
// cell of zeros (mass 0 at (0, 0)), written by the object itself.
void expect_one_zero_cell(void* m, const std::string& name) {
  const t_jit_matrix_info info = matrix_info(m);
  ASSERT_EQ(info.dim[0], 1) << name;
  const char* d = zelk::host::matrix_data(m);
  EXPECT_TRUE(std::all_of(d, d + info.dimstride[0], [](char c) { return c == 0; })) << name;
}

TEST(BlobRoad, FrameWithoutBlobsFlowsAsOneZeroCell) {
  AngleRoad road;
  road.label->send_matrix(make_matrix(_jit_sym_char, 1, {64, 48}).get());
  for (const Box* b : {road.moments.get(), road.orientation.get(), road.direction.get(), road.elongation.get()}) {
    const auto sent = zt::sent_matrices(*b);
    ASSERT_EQ(sent.size(), 1u) << b->object_name();
    if (b == road.elongation.get())  // 0/0 for a cell of zeros, as for any absent label
      EXPECT_TRUE(std::isnan(cell<float>(sent[0], 0)));
    else
      expect_one_zero_cell(sent[0], b->object_name());
    EXPECT_TRUE(zt::error_codes(*b).empty()) << b->object_name();
  }
  auto centroids = make_box("zelk.blobs.centroids");
  auto bounds = make_box("zelk.blobs.bounds");
  auto sort = make_box("zelk.blobs.sort");
  centroids->connect(0, *sort);
  for (Box* b : {centroids.get(), bounds.get()}) b->send_matrix(make_matrix(_jit_sym_char, 1, {5, 5}).get());
  for (const Box* b : {centroids.get(), bounds.get(), sort.get()}) {
    const auto sent = zt::sent_matrices(*b);
    ASSERT_EQ(sent.size(), 1u) << b->object_name();
    expect_one_zero_cell(sent[0], b->object_name());
  }
}

struct Disc {
  int x, y;
};
zt::Scene discs(const std::vector<Disc>& d) {
  zt::Scene image(160, 120);
  for (const Disc& c : d) zt::draw_disc(image, c.x, c.y, 5, 255);  // as cv::circle draws it
  return image;
}

TEST(BlobRoad, IdentifiersFollowBlobsAcrossFrames) {
  auto label = make_box("zelk.label @charmode 1");
  auto centroids = make_box("zelk.blobs.centroids");
  auto sort = make_box("zelk.blobs.sort");
  label->connect(0, *centroids);
  centroids->connect(0, *sort);
  using Ids = std::vector<int>;
  // Cells come in label order, the raster order of each disc's top row:
  // B (top row 15), A (19), C (75).
  label->send_matrix(host_image(discs({{20, 24}, {80, 20}, {20, 80}})).get());
  EXPECT_EQ(last_ids(*sort), (Ids{1, 2, 3}));
  // Moved by a few pixels, A now above B: the labels swap, the ids stay.
  label->send_matrix(host_image(discs({{23, 17}, {82, 22}, {22, 84}})).get());
  EXPECT_EQ(last_ids(*sort), (Ids{2, 1, 3}));
  // B gone, D new (between A and C in raster order): D gets a new number;
  // B's 1 is released after the frame.
  label->send_matrix(host_image(discs({{25, 19}, {24, 86}, {80, 70}})).get());
  EXPECT_EQ(last_ids(*sort), (Ids{2, 4, 3}));
  // E appears (second in raster order) and takes the released 1.
  label->send_matrix(host_image(discs({{25, 19}, {24, 86}, {80, 70}, {50, 45}})).get());
  EXPECT_EQ(last_ids(*sort), (Ids{2, 1, 4, 3}));
  EXPECT_TRUE(zt::error_codes(*sort).empty());
}

// A frame without blobs reaches the sort box as the lone (0, 0) cell, from
// either source: it answers identifier 0 and keeps every tracked blob.
TEST(BlobRoad, FrameWithoutBlobsKeepsTheIdentifiers) {
  for (const char* source : {"zelk.blobs.centroids", "zelk.blobs.moments"}) {
    auto label = make_box("zelk.label @charmode 1");
    auto cells = make_box(source);
    auto sort = make_box("zelk.blobs.sort");
    label->connect(0, *cells);
    cells->connect(0, *sort);
    using Ids = std::vector<int>;
    label->send_matrix(host_image(discs({{20, 24}, {80, 60}})).get());
    EXPECT_EQ(last_ids(*sort), (Ids{1, 2})) << source;
    label->send_matrix(host_image(discs({{80, 60}})).get());
    EXPECT_EQ(last_ids(*sort), (Ids{2})) << source;
    label->send_matrix(host_image(discs({})).get());
    EXPECT_EQ(last_ids(*sort), (Ids{0})) << source;
    label->send_matrix(host_image(discs({{81, 61}})).get());
    EXPECT_EQ(last_ids(*sort), (Ids{2})) << source;
    EXPECT_TRUE(zt::error_codes(*sort).empty()) << source;
  }
}

// Whether a centroid matches a tracked blob hangs on the last bit of the
// float32 squared distance.
TEST(BlobRoad, SortMatchesOnTheOnceRoundedDistance) {
  using Points = std::vector<std::pair<float, float>>;
  struct Case {
    Points tracked;
    std::pair<float, float> next;
    float threshold;
    int want;
  };
  const Case cases[] = {
      {{{100, 100}}, {107.46807861328125f, 106.65039825439453f}, 10, 1},  // 99.999992
      {{{100, 100}}, {109.5420150756836f, 102.99164581298828f}, 10, 2},   // 100: new
      {{{0, 0}, {500, 500}}, {5.946041584014893f, 0.001708231633529067f}, 5.946042060852051f, 1},
      {{{0, 0}, {500, 500}}, {5.948904514312744f, 0.001522816251963377f}, 5.948904991149902f, 3},
      // Both round to 91.728592, though the second is nearer: the first wins.
      {{{25.4580078125f, 27.8701171875f}, {18.00390625f, 10.6328125f}}, {20, 20}, 10, 1},
  };
  auto centroids = [](const Points& p) {
    auto m = make_matrix(_jit_sym_float32, 3, {static_cast<long>(p.size())});
    for (size_t k = 0; k < p.size(); ++k) {
      cell<float>(m.get(), static_cast<long>(k), 0, 0) = p[k].first;
      cell<float>(m.get(), static_cast<long>(k), 0, 1) = p[k].second;
    }
    return m;
  };
  for (const Case& c : cases) {
    auto sort = make_box("zelk.blobs.sort");
    jit_attr_setfloat(sort->jit_object(), gensym("threshold"), c.threshold);
    sort->send_matrix(centroids(c.tracked).get());
    sort->send_matrix(centroids({c.next}).get());
    EXPECT_EQ(last_ids(*sort), (std::vector<int>{c.want})) << c.next.first << ", " << c.next.second;
  }
}

TEST(BlobRoad, NoSteadyStateAllocation) {
  AngleRoad road;
  auto centroids = make_box("zelk.blobs.centroids");
  auto bounds = make_box("zelk.blobs.bounds");
  auto sort = make_box("zelk.blobs.sort");
  road.label->connect(0, *centroids);
  road.label->connect(0, *bounds);
  centroids->connect(0, *sort);
  auto frame = host_image(discs({{20, 24}, {80, 20}, {20, 80}, {120, 100}}));
  for (int i = 0; i < 3; ++i) road.label->send_matrix(frame.get());
  const long long before = zelk::host::memory().allocations;
  for (int i = 0; i < 20; ++i) road.label->send_matrix(frame.get());
  EXPECT_EQ(zelk::host::memory().allocations, before);
  EXPECT_EQ(last_ids(*sort), (std::vector<int>{1, 2, 3, 4}));
}

}  // namespace
