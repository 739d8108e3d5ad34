// The parallel n-dimensional calculation: every cell exactly once, parts cut
// along the first two dimensions with base pointers advanced per matrix,
// flags honoured, and the awkward cuts the tests of its users run under.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "jit.common.h"
#include "zelk/host.h"

namespace {

struct Record {
  std::mutex mutex;
  std::set<std::thread::id> threads;
  std::atomic<int> calls{0};
  std::vector<char*> bases;
};

// Marks every cell of its part in matrix 1 and counts the visits in matrix 2.
void mark(Record* r, long dimcount, long* dim, long planecount, t_jit_matrix_info* i1, char* p1,
          t_jit_matrix_info* i2, char* p2) {
  ++r->calls;
  {
    std::lock_guard<std::mutex> lock(r->mutex);
    r->threads.insert(std::this_thread::get_id());
  }
  if (dimcount == 1) dim[1] = 1;  // the part's sizes are its own to change
  long slices = dimcount > 2 ? dim[2] : 1;
  for (long z = 0; z < slices; ++z)
    for (long y = 0; y < dim[1]; ++y)
      for (long x = 0; x < dim[0]; ++x) {
        char* a = p1 + z * i1->dimstride[2] + y * i1->dimstride[1] + x * i1->dimstride[0];
        *reinterpret_cast<int32_t*>(a) += 1;
        if (p2) {
          char* b = p2 + z * i2->dimstride[2] + y * i2->dimstride[1] + x * i2->dimstride[0];
          *reinterpret_cast<int32_t*>(b) += static_cast<int32_t>(planecount);
        }
      }
}

void mark1(Record* r, long dimcount, long* dim, long planecount, t_jit_matrix_info* i1, char* p1) {
  mark(r, dimcount, dim, planecount, i1, p1, nullptr, nullptr);
}

template <class F>
method as_method(F* f) {
  return reinterpret_cast<method>(reinterpret_cast<void (*)()>(f));
}

class Parallel : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    saved_ = zelk::host::parallel_cuts();
    zelk::host::set_parallel_cuts(zelk::host::ParallelCuts::Even);
    zelk::host::set_worker_threads(GetParam());
  }
  void TearDown() override {
    zelk::host::set_worker_threads(2);
    zelk::host::set_parallel_cuts(saved_);
  }
  zelk::host::ParallelCuts saved_{};
};

void expect_all(void* m, int32_t value) {
  t_jit_matrix_info i = zelk::host::matrix_info(m);
  char* d = zelk::host::matrix_data(m);
  long slices = i.dimcount > 2 ? i.dim[2] : 1;
  long rows = i.dimcount > 1 ? i.dim[1] : 1;
  for (long z = 0; z < slices; ++z)
    for (long y = 0; y < rows; ++y)
      for (long x = 0; x < i.dim[0]; ++x) {
        int32_t v = *reinterpret_cast<int32_t*>(d + z * i.dimstride[2] + y * i.dimstride[1] +
                                                x * i.dimstride[0]);
        ASSERT_EQ(v, value) << x << "," << y << "," << z;
      }
}

TEST_P(Parallel, EveryRowExactlyOnce) {
  EXPECT_EQ(zelk::host::worker_threads(), GetParam());
  void* a = zelk::host::new_matrix(_jit_sym_long, 1, {67, 131});
  void* b = zelk::host::new_matrix_strided(_jit_sym_long, 1, {67, 131}, 300);
  t_jit_matrix_info ia = zelk::host::matrix_info(a), ib = zelk::host::matrix_info(b);
  Record r;
  long dim[2] = {67, 131};
  jit_parallel_ndim_simplecalc2(as_method(mark), &r, 2, dim, 3, &ia, zelk::host::matrix_data(a), &ib,
                                zelk::host::matrix_data(b), 0, 0);
  expect_all(a, 1);
  expect_all(b, 3);
  EXPECT_EQ(dim[1], 131);  // the caller's sizes are untouched
  EXPECT_EQ(r.calls.load(), GetParam());
  EXPECT_LE(static_cast<int>(r.threads.size()), GetParam());
  jit_object_free(a);
  jit_object_free(b);
}

TEST_P(Parallel, ThreeDimensionsAreCutAlongRowsWithTheSlicesWhole) {
  void* a = zelk::host::new_matrix(_jit_sym_long, 1, {40, 30, 9});
  t_jit_matrix_info ia = zelk::host::matrix_info(a);
  Record r;
  long dim[3] = {40, 30, 9};
  jit_parallel_ndim_simplecalc1(as_method(mark1), &r, 3, dim, 1, &ia, zelk::host::matrix_data(a), 0);
  expect_all(a, 1);
  EXPECT_EQ(r.calls.load(), GetParam());
  jit_object_free(a);
}

TEST_P(Parallel, OneDimensionIsCutAlongItAndSmallRegionsRunOnce) {
  void* a = zelk::host::new_matrix(_jit_sym_long, 1, {10000});
  t_jit_matrix_info ia = zelk::host::matrix_info(a);
  Record r;
  long dim[1] = {10000};
  jit_parallel_ndim_simplecalc1(as_method(mark1), &r, 1, dim, 1, &ia, zelk::host::matrix_data(a), 0);
  expect_all(a, 1);
  EXPECT_EQ(r.calls.load(), GetParam());
  void* s = zelk::host::new_matrix(_jit_sym_long, 1, {4, 4});
  t_jit_matrix_info is = zelk::host::matrix_info(s);
  long sdim[2] = {4, 4};
  jit_parallel_ndim_simplecalc1(as_method(mark1), &r, 2, sdim, 1, &is, zelk::host::matrix_data(s), 0);
  EXPECT_EQ(r.calls.load(), GetParam() + 1);
  expect_all(s, 1);
  jit_object_free(a);
  jit_object_free(s);
}

// Every call cut into a one-cell part, an odd-sized one and the rest along
// each of the first two dimensions, whatever its size.
TEST_P(Parallel, AwkwardCutsCoverEveryCellOnce) {
  zelk::host::set_parallel_cuts(zelk::host::ParallelCuts::Awkward);
  struct Case {
    std::vector<long> dims;
    int parts;
  };
  for (const Case& c : {Case{{67, 131}, 9}, Case{{10}, 3}, Case{{2}, 2}, Case{{1, 1}, 1},
                        Case{{1, 5}, 3}, Case{{3, 2, 4}, 6}}) {
    void* a = zelk::host::new_matrix(_jit_sym_long, 1, c.dims);
    void* b = zelk::host::new_matrix_strided(_jit_sym_long, 1, c.dims, 1000);
    t_jit_matrix_info ia = zelk::host::matrix_info(a), ib = zelk::host::matrix_info(b);
    Record r;
    std::vector<long> dim = c.dims;
    jit_parallel_ndim_simplecalc2(as_method(mark), &r, static_cast<long>(dim.size()), dim.data(), 2,
                                  &ia, zelk::host::matrix_data(a), &ib, zelk::host::matrix_data(b), 0, 0);
    expect_all(a, 1);
    expect_all(b, 2);
    EXPECT_EQ(r.calls.load(), c.parts) << c.dims[0];
    jit_object_free(a);
    jit_object_free(b);
  }
}

// Marks its rows of matrix 1 and notes where matrix 2 starts for it.
void note_base(Record* r, long dimcount, long* dim, long planecount, t_jit_matrix_info* i1, char* p1,
               t_jit_matrix_info*, char* p2) {
  mark(r, dimcount, dim, planecount, i1, p1, nullptr, nullptr);
  std::lock_guard<std::mutex> lock(r->mutex);
  r->bases.push_back(p2);
}

TEST_P(Parallel, FullMatrixFlagKeepsTheBasePointer) {
  void* a = zelk::host::new_matrix(_jit_sym_long, 1, {64, 128});
  void* whole = zelk::host::new_matrix(_jit_sym_long, 1, {64, 128});
  t_jit_matrix_info ia = zelk::host::matrix_info(a), iw = zelk::host::matrix_info(whole);
  Record r;
  long dim[2] = {64, 128};
  jit_parallel_ndim_simplecalc2(as_method(note_base), &r, 2, dim, 1, &ia, zelk::host::matrix_data(a),
                                &iw, zelk::host::matrix_data(whole), 0,
                                JIT_PARALLEL_NDIM_FLAGS_FULL_MATRIX);
  expect_all(a, 1);
  ASSERT_EQ(static_cast<int>(r.bases.size()), GetParam());
  for (char* b : r.bases) EXPECT_EQ(b, zelk::host::matrix_data(whole));
  jit_object_free(a);
  jit_object_free(whole);
}

INSTANTIATE_TEST_SUITE_P(Threads, Parallel, ::testing::Values(1, 2, 8));

TEST(ParallelPool, ConcurrentCallersBothFinish) {
  zelk::host::set_worker_threads(4);
  auto work = [] {
    for (int k = 0; k < 50; ++k) {
      void* a = zelk::host::new_matrix(_jit_sym_long, 1, {64, 100});
      t_jit_matrix_info ia = zelk::host::matrix_info(a);
      Record r;
      long dim[2] = {64, 100};
      jit_parallel_ndim_simplecalc1(as_method(mark1), &r, 2, dim, 1, &ia, zelk::host::matrix_data(a),
                                    0);
      expect_all(a, 1);
      jit_object_free(a);
    }
  };
  std::thread t1(work), t2(work);
  t1.join();
  t2.join();
  zelk::host::set_worker_threads(0);
  EXPECT_EQ(zelk::host::worker_threads(), 1);
  zelk::host::set_worker_threads(2);
}

}  // namespace
