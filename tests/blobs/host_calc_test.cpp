// The blob descriptors' matrix_calc called through the host as a matrix
// operator would call it: the order of the checks and their codes, console
// lines, the output's shape, and what a failed frame leaves alone.
#include <algorithm>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "support/host_fixture.h"

namespace {

using zelk::host::matrix_calc;
using zelk::host::matrix_info;
using zt::cell;
using zt::make_matrix;

const char* const kFromMoments = "Make sure object is connected to leftmost outlet of zelk.blobs.moments!";
const char* const kFromCentroids = "Make sure object is connected to leftmost outlet of zelk.blobs.centroids!";
const char* const kFromEither =
    "Make sure object is connected to leftmost outlet of zelk.blobs.centroids or zelk.blobs.moments!";

// matrix_calc with the console captured (it goes to standard error when no
// box is running).
struct Calc {
  long code;
  std::string console;
};
Calc calc(void* o, void* in, void* out) {
  zelk::host::set_console_echo(true);
  testing::internal::CaptureStderr();
  const long code = matrix_calc(o, {in}, {out});
  return Calc{code, testing::internal::GetCapturedStderr()};
}

// A label image from text rows ('.' = 0, digits = labels).
zt::HostMatrix label_image(const std::vector<std::string>& rows, long row_stride = 0) {
  auto m = make_matrix(_jit_sym_char, 1,
                       {static_cast<long>(rows[0].size()), static_cast<long>(rows.size())}, row_stride);
  for (long y = 0; y < static_cast<long>(rows.size()); ++y)
    for (long x = 0; x < static_cast<long>(rows[y].size()); ++x)
      cell<std::uint8_t>(m.get(), x, y) = rows[y][x] == '.' ? 0 : static_cast<std::uint8_t>(rows[y][x] - '0');
  return m;
}

struct LabelObject {
  const char* name;
  t_symbol* type;
  long planes;
};
const LabelObject kLabelObjects[] = {{"zelk.blobs.moments", _jit_sym_float32, 17},
                                     {"zelk.blobs.centroids", _jit_sym_float32, 3},
                                     {"zelk.blobs.bounds", _jit_sym_long, 4}};

TEST(BlobLabelCalc, ChecksInOrderAndLeaveTheOutput) {
  for (const LabelObject& obj : kLabelObjects) {
    SCOPED_TRACE(obj.name);
    auto o = zt::make_jit_object(obj.name);
    ASSERT_TRUE(o);
    auto out = make_matrix(obj.type, obj.planes, {5});
    auto expect = [&](void* in, long code) {
      const Calc c = calc(o.get(), in, out.get());
      EXPECT_EQ(c.code, code);
      EXPECT_EQ(c.console, "");  // these objects print nothing
      EXPECT_EQ(matrix_info(out.get()).dim[0], 5);
    };
    // Dimension count first, then planes, then type, then data.
    expect(make_matrix(_jit_sym_float32, 2, {4, 4, 2}).get(), JIT_ERR_MISMATCH_DIM);
    expect(make_matrix(_jit_sym_char, 1, {4}).get(), JIT_ERR_MISMATCH_DIM);
    expect(make_matrix(_jit_sym_float32, 2, {4, 4}).get(), JIT_ERR_MISMATCH_PLANE);
    expect(make_matrix(_jit_sym_long, 1, {4, 4}).get(), JIT_ERR_MISMATCH_TYPE);
    zt::HostMatrix no_data(zelk::host::new_matrix_without_data(_jit_sym_char, 1, {4, 4}));
    expect(no_data.get(), JIT_ERR_INVALID_INPUT);
    // Missing object or matrix: nothing done, success.
    EXPECT_EQ(matrix_calc(o.get(), {}, {out.get()}), JIT_ERR_NONE);
    EXPECT_EQ(matrix_calc(o.get(), {label_image({"1"}).get()}, {}), JIT_ERR_NONE);
    EXPECT_EQ(matrix_info(out.get()).dim[0], 5);
    // An output without data, after the pass.
    zt::HostMatrix out_no_data(zelk::host::new_matrix_without_data(obj.type, obj.planes, {1}));
    EXPECT_EQ(calc(o.get(), label_image({"12"}).get(), out_no_data.get()).code, JIT_ERR_INVALID_OUTPUT);
  }
}

TEST(BlobLabelCalc, OutputLengthIsTheHighestLabel) {
  for (const LabelObject& obj : kLabelObjects) {
    SCOPED_TRACE(obj.name);
    auto o = zt::make_jit_object(obj.name);
    auto out = make_matrix(obj.type, obj.planes, {1});
    // Padded rows: the padding is never read as labels.
    auto in = label_image({"..3.", "1...", "...."}, 32);
    std::memset(zelk::host::matrix_data(in.get()) + 4, 9, 28);
    ASSERT_EQ(calc(o.get(), in.get(), out.get()).code, JIT_ERR_NONE);
    t_jit_matrix_info info = matrix_info(out.get());
    EXPECT_EQ(info.dimcount, 1);
    EXPECT_EQ(info.dim[0], 3);
    EXPECT_EQ(info.planecount, obj.planes);
    EXPECT_EQ(info.type, obj.type);
    // No labelled pixel: one cell of zeros, written over the last frame's
    // label 1, as Jitter keeps every size at 1 or more.
    auto expect_one_zero_cell = [&] {
      info = matrix_info(out.get());
      ASSERT_EQ(info.dim[0], 1);
      const char* d = zelk::host::matrix_data(out.get());
      EXPECT_TRUE(std::all_of(d, d + info.dimstride[0], [](char c) { return c == 0; }));
    };
    ASSERT_EQ(calc(o.get(), label_image({"...", "..."}).get(), out.get()).code, JIT_ERR_NONE);
    expect_one_zero_cell();
    // A 0 x 0 image, which the host makes a 1 x 1 one.
    ASSERT_EQ(calc(o.get(), in.get(), out.get()).code, JIT_ERR_NONE);
    auto empty = make_matrix(_jit_sym_char, 1, {0, 0});
    ASSERT_EQ(calc(o.get(), empty.get(), out.get()).code, JIT_ERR_NONE);
    expect_one_zero_cell();
  }
}

TEST(BlobLabelCalc, ValuesThroughTheHost) {
  auto m = zt::make_jit_object("zelk.blobs.moments");
  auto c = zt::make_jit_object("zelk.blobs.centroids");
  auto b = zt::make_jit_object("zelk.blobs.bounds");
  auto in = label_image({"....", ".22.", "....", "...3"});
  auto mo = make_matrix(_jit_sym_float32, 17, {1});
  auto co = make_matrix(_jit_sym_float32, 3, {1});
  auto bo = make_matrix(_jit_sym_long, 4, {1});
  ASSERT_EQ(calc(m.get(), in.get(), mo.get()).code, 0);
  ASSERT_EQ(calc(c.get(), in.get(), co.get()).code, 0);
  ASSERT_EQ(calc(b.get(), in.get(), bo.get()).code, 0);
  EXPECT_EQ(cell<float>(mo.get(), 0, 0, 16), 0.0f);  // label 1 absent
  EXPECT_EQ(cell<float>(mo.get(), 1, 0, 14), 1.5f);
  EXPECT_EQ(cell<float>(mo.get(), 1, 0, 15), 1.0f);
  EXPECT_EQ(cell<float>(mo.get(), 1, 0, 16), 2.0f);
  EXPECT_EQ(cell<float>(mo.get(), 1, 0, 0), 0.125f);  // mu20 = 0.5 over 4
  EXPECT_EQ(cell<float>(mo.get(), 2, 0, 16), 1.0f);
  EXPECT_EQ(cell<float>(co.get(), 0, 0, 0), -1.0f);
  EXPECT_EQ(cell<float>(co.get(), 2, 0, 0), 3.0f);
  EXPECT_EQ(cell<float>(co.get(), 2, 0, 1), 3.0f);
  EXPECT_EQ(cell<std::int32_t>(bo.get(), 1, 0, 0), 1);
  EXPECT_EQ(cell<std::int32_t>(bo.get(), 1, 0, 2), 2);
  EXPECT_EQ(cell<std::int32_t>(bo.get(), 0, 0, 0), 2147483647);
}

// An output of another layout handed over directly is made the blob matrix
// it must be, never written in its old layout.
TEST(BlobLabelCalc, ForeignOutputIsReshaped) {
  auto o = zt::make_jit_object("zelk.blobs.moments");
  auto out = make_matrix(_jit_sym_char, 1, {2, 2});
  ASSERT_EQ(calc(o.get(), label_image({"1.2"}).get(), out.get()).code, 0);
  const t_jit_matrix_info info = matrix_info(out.get());
  EXPECT_EQ(info.type, _jit_sym_float32);
  EXPECT_EQ(info.planecount, 17);
  EXPECT_EQ(info.dimcount, 1);
  EXPECT_EQ(info.dim[0], 2);
  EXPECT_EQ(cell<float>(out.get(), 1, 0, 14), 2.0f);
}

const char* const kMomentObjects[] = {"zelk.blobs.orientation", "zelk.blobs.direction",
                                      "zelk.blobs.elongation"};

TEST(BlobMomentCalc, ChecksInOrderWithTheConsoleLine) {
  for (const char* name : kMomentObjects) {
    SCOPED_TRACE(name);
    auto o = zt::make_jit_object(name);
    ASSERT_TRUE(o);
    auto out = make_matrix(_jit_sym_float32, 1, {4});
    auto expect = [&](void* in, long code, bool message) {
      const Calc c = calc(o.get(), in, out.get());
      EXPECT_EQ(c.code, code);
      EXPECT_EQ(c.console, message ? std::string(kFromMoments) + "\n" : std::string());
    };
    expect(make_matrix(_jit_sym_char, 3, {4, 2}).get(), JIT_ERR_MISMATCH_DIM, true);
    expect(make_matrix(_jit_sym_char, 3, {4}).get(), JIT_ERR_MISMATCH_PLANE, true);  // a centroid matrix shape
    expect(make_matrix(_jit_sym_long, 17, {4}).get(), JIT_ERR_MISMATCH_TYPE, true);
    zt::HostMatrix no_data(zelk::host::new_matrix_without_data(_jit_sym_float32, 17, {4}));
    expect(no_data.get(), JIT_ERR_INVALID_INPUT, false);
    EXPECT_EQ(matrix_info(out.get()).dim[0], 4);
    zt::HostMatrix out_no_data(zelk::host::new_matrix_without_data(_jit_sym_float32, 1, {4}));
    EXPECT_EQ(calc(o.get(), make_matrix(_jit_sym_float32, 17, {2}).get(), out_no_data.get()).code,
              JIT_ERR_INVALID_OUTPUT);
    EXPECT_EQ(matrix_calc(o.get(), {nullptr}, {out.get()}), JIT_ERR_NONE);
    // The output follows the input's length; a length of 0 is 1 in Jitter.
    ASSERT_EQ(calc(o.get(), make_matrix(_jit_sym_float32, 17, {7}).get(), out.get()).code, 0);
    EXPECT_EQ(matrix_info(out.get()).dim[0], 7);
    ASSERT_EQ(calc(o.get(), make_matrix(_jit_sym_float32, 17, {0}).get(), out.get()).code, 0);
    EXPECT_EQ(matrix_info(out.get()).dim[0], 1);
  }
}

TEST(BlobMomentCalc, AttributesSelectTheResult) {
  auto in = make_matrix(_jit_sym_float32, 17, {2});
  cell<float>(in.get(), 0, 0, 0) = 0.1f;  // longer in y
  cell<float>(in.get(), 0, 0, 1) = 0.3f;
  cell<float>(in.get(), 1, 0, 0) = 0.3f;  // longer in x, eta30 < 0
  cell<float>(in.get(), 1, 0, 1) = 0.1f;
  cell<float>(in.get(), 1, 0, 5) = -0.01f;
  auto out = make_matrix(_jit_sym_float32, 1, {2});
  auto o = zt::make_jit_object("zelk.blobs.orientation");
  ASSERT_EQ(calc(o.get(), in.get(), out.get()).code, 0);
  EXPECT_EQ(cell<float>(out.get(), 0), 1.57079632679f);
  EXPECT_EQ(cell<float>(out.get(), 1), 0.0f);
  jit_attr_setlong(o.get(), gensym("mode"), 1);
  ASSERT_EQ(calc(o.get(), in.get(), out.get()).code, 0);
  EXPECT_NEAR(cell<float>(out.get(), 0), 90.0f, 1e-4);
  auto d = zt::make_jit_object("zelk.blobs.direction");
  ASSERT_EQ(calc(d.get(), in.get(), out.get()).code, 0);
  EXPECT_EQ(cell<float>(out.get(), 1), 3.14159265358979f);
  jit_attr_setlong(d.get(), gensym("flip"), 1);
  ASSERT_EQ(calc(d.get(), in.get(), out.get()).code, 0);
  EXPECT_LT(std::fabs(cell<float>(out.get(), 1)), 1e-6f);
}

// One frame of centroids into the sort object; returns the identifiers.
std::vector<int> sort_frame(void* o, const std::vector<std::pair<float, float>>& c, long* code = nullptr) {
  auto in = make_matrix(_jit_sym_float32, 3, {static_cast<long>(c.size())});
  for (long k = 0; k < static_cast<long>(c.size()); ++k) {
    cell<float>(in.get(), k, 0, 0) = c[k].first;
    cell<float>(in.get(), k, 0, 1) = c[k].second;
  }
  auto out = make_matrix(_jit_sym_char, 1, {1});
  const long r = matrix_calc(o, {in.get()}, {out.get()});
  if (code) *code = r;
  std::vector<int> ids;
  for (long k = 0; k < matrix_info(out.get()).dim[0]; ++k) ids.push_back(cell<std::uint8_t>(out.get(), k));
  return ids;
}

TEST(BlobSortCalc, ChecksAndMessages) {
  auto o = zt::make_jit_object("zelk.blobs.sort");
  ASSERT_TRUE(o);
  EXPECT_EQ(sort_frame(o.get(), {{10, 10}, {50, 50}}), (std::vector<int>{1, 2}));
  auto out = make_matrix(_jit_sym_char, 1, {3});
  auto expect = [&](void* in, long code, const char* message) {
    const Calc c = calc(o.get(), in, out.get());
    EXPECT_EQ(c.code, code);
    EXPECT_EQ(c.console, message ? std::string(message) + "\n" : std::string());
    EXPECT_EQ(matrix_info(out.get()).dim[0], 3);
  };
  expect(make_matrix(_jit_sym_char, 2, {3, 3}).get(), JIT_ERR_MISMATCH_DIM, kFromCentroids);
  expect(make_matrix(_jit_sym_char, 2, {3}).get(), JIT_ERR_MISMATCH_PLANE, kFromEither);
  expect(make_matrix(_jit_sym_long, 3, {3}).get(), JIT_ERR_MISMATCH_TYPE, kFromEither);
  expect(make_matrix(_jit_sym_float64, 17, {3}).get(), JIT_ERR_MISMATCH_TYPE, kFromEither);
  zt::HostMatrix no_data(zelk::host::new_matrix_without_data(_jit_sym_float32, 3, {3}));
  expect(no_data.get(), JIT_ERR_INVALID_INPUT, nullptr);
  zt::HostMatrix out_no_data(zelk::host::new_matrix_without_data(_jit_sym_char, 1, {2}));
  EXPECT_EQ(calc(o.get(), make_matrix(_jit_sym_float32, 3, {2}).get(), out_no_data.get()).code,
            JIT_ERR_INVALID_OUTPUT);
  // None of the failed frames touched the table: both blobs are still tracked.
  EXPECT_EQ(sort_frame(o.get(), {{51, 50}, {11, 10}}), (std::vector<int>{2, 1}));
  // No blob: the lone (0, 0) cell, which keeps the table as it was.
  long code = -1;
  EXPECT_EQ(sort_frame(o.get(), {}, &code), (std::vector<int>{0}));
  EXPECT_EQ(code, 0);
  EXPECT_EQ(sort_frame(o.get(), {{300, 300}, {52, 50}}), (std::vector<int>{3, 2}));
}

}  // namespace
