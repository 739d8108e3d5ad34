// jit.pack: planes gathered from each inlet's matrix by jump and offset, in
// the left matrix's type and size; what a kept matrix lacks reads 0.
// jit.transpose: cell (x, y) to (y, x), a 1-D matrix to one column.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/probe.h"
#include "patch_objects/patch_objects.h"
#include "zelk/host.h"
#include "boxes.h"

namespace {

probe::Owned long_cells(long planes, const std::vector<std::int32_t>& v) {
  probe::Owned m(zelk::host::new_matrix(gensym("long"), planes, {static_cast<long>(v.size()) / planes}));
  std::copy(v.begin(), v.end(), reinterpret_cast<std::int32_t*>(zelk::host::matrix_data(m.get())));
  return m;
}

std::vector<std::int32_t> packed(const std::string& box, void* left, void* right) {
  auto b = boxes::make(box);
  if (!b) return {};
  b->send_matrix(right, 1);
  b->send_matrix(left, 0);
  void* m = boxes::last_matrix(*b);
  if (!m) return {};
  const t_jit_matrix_info info = zelk::host::matrix_info(m);
  EXPECT_EQ(info.type, gensym("long"));
  const auto* d = reinterpret_cast<const std::int32_t*>(zelk::host::matrix_data(m));
  return std::vector<std::int32_t>(d, d + info.dim[0] * info.planecount);
}

TEST(JitPack, PlanesFromEachInletByJumpAndOffset) {
  probe::Owned bounds = long_cells(4, {1, 2, 3, 4, 5, 6, 7, 8});
  probe::Owned ids = long_cells(1, {9});  // one cell short: the second reads 0
  EXPECT_EQ(packed("jit.pack 2 @jump 4 1", bounds.get(), ids.get()),
            (std::vector<std::int32_t>{1, 2, 3, 4, 9, 5, 6, 7, 8, 0}));
  EXPECT_EQ(packed("jit.pack 2 @offset 2 0", bounds.get(), ids.get()), (std::vector<std::int32_t>{3, 9, 7, 0}));
  // A plane past the matrix's last reads 0.
  EXPECT_EQ(packed("jit.pack 2 @jump 1 2", bounds.get(), ids.get()), (std::vector<std::int32_t>{1, 9, 0, 5, 0, 0}));
}

TEST(JitTranspose, SwapsTheFirstTwoDimensions) {
  auto box = boxes::make("jit.transpose");
  ASSERT_TRUE(box);
  struct Case {
    std::vector<long> dims;
    std::vector<long> want_dims;
    std::vector<std::int32_t> want;  // the input's cells are 0, 1, 2 ... in order
  };
  const Case cases[] = {
      {{3}, {1, 3}, {0, 1, 2}},
      {{3, 2}, {2, 3}, {0, 3, 1, 4, 2, 5}},
      {{2, 2, 2}, {2, 2, 2}, {0, 2, 1, 3, 4, 6, 5, 7}},
  };
  for (const Case& c : cases) {
    probe::Owned in(zelk::host::new_matrix(gensym("long"), 1, c.dims));
    const t_jit_matrix_info info = zelk::host::matrix_info(in.get());
    std::int32_t k = 0;
    for (long z = 0; z < (c.dims.size() > 2 ? c.dims[2] : 1); ++z)
      for (long y = 0; y < (c.dims.size() > 1 ? c.dims[1] : 1); ++y)
        for (long x = 0; x < c.dims[0]; ++x)
          *reinterpret_cast<std::int32_t*>(zelk::host::matrix_data(in.get()) + x * info.dimstride[0] +
                                           y * (c.dims.size() > 1 ? info.dimstride[1] : 0) +
                                           z * (c.dims.size() > 2 ? info.dimstride[2] : 0)) = k++;
    box->clear_events();
    box->send_matrix(in.get(), 0);
    void* out = boxes::last_matrix(*box);
    ASSERT_TRUE(out);
    const t_jit_matrix_info o = zelk::host::matrix_info(out);
    ASSERT_EQ(std::vector<long>(o.dim, o.dim + o.dimcount), c.want_dims);
    std::vector<std::int32_t> got;
    for (long z = 0; z < (o.dimcount > 2 ? o.dim[2] : 1); ++z)
      for (long y = 0; y < o.dim[1]; ++y)
        for (long x = 0; x < o.dim[0]; ++x)
          got.push_back(*reinterpret_cast<const std::int32_t*>(zelk::host::matrix_data(out) + x * o.dimstride[0] +
                                                               y * o.dimstride[1] +
                                                               z * (o.dimcount > 2 ? o.dimstride[2] : 0)));
    EXPECT_EQ(got, c.want);
  }
}

}  // namespace
