// The running means' row kernel at every vector width and in its portable
// form: the same bytes as the 128-bit form on odd widths, padded strides and
// any bit pattern, and the NaN the sum keeps when both of its terms are NaN.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "frame/cpu.h"
#include "support/owned_matrix.h"
#include "temporal/mean.h"
#include "temporal/ravg.h"

namespace {

using frame::CellType;
using temporal::BlendKernel;
using zt::OwnedMatrix;

// The kernels compared with the 128-bit one.
constexpr BlendKernel kOthers[] = {BlendKernel::Fastest, BlendKernel::Avx2, BlendKernel::Portable};
constexpr BlendKernel kAll[] = {BlendKernel::Fastest, BlendKernel::Avx2, BlendKernel::Baseline,
                                BlendKernel::Portable};

// Every byte of the data, padding included, is random: integers of any
// value, and floats that are NaN (of any payload), infinite or subnormal
// now and then. Half the values are ordinary numbers, so that most of a
// block stays on the vector path.
void scramble(OwnedMatrix& m, std::mt19937& rng) {
  const frame::Matrix& d = m.matrix();
  std::uniform_real_distribution<double> ordinary(-300.0, 300.0);
  const long cell = static_cast<long>(frame::cell_size(d.type));
  for (long at = 0; at + cell <= d.size; at += cell) {
    std::byte* p = d.data + at;
    if (rng() % 2) {
      for (long k = 0; k < cell; ++k) p[k] = static_cast<std::byte>(rng());
    } else if (d.type == CellType::Float32) {
      const float f = static_cast<float>(ordinary(rng));
      std::memcpy(p, &f, sizeof f);
    } else if (d.type == CellType::Float64) {
      const double f = ordinary(rng);
      std::memcpy(p, &f, sizeof f);
    } else if (d.type == CellType::Long) {
      const auto v = static_cast<std::int32_t>(ordinary(rng));
      std::memcpy(p, &v, sizeof v);
    }
  }
}

bool same_bytes(const OwnedMatrix& a, const OwnedMatrix& b) {
  return std::memcmp(a.matrix().data, b.matrix().data, static_cast<size_t>(a.matrix().size)) == 0;
}

// Row padding that keeps every row's cells aligned to their size, as any
// host lays them out; char rows may end anywhere.
long padding(CellType t, long planes, long width, long extra) {
  const long row = planes * static_cast<long>(frame::cell_size(t)) * width;
  return (row + 15) / 16 * 16 - row + extra * static_cast<long>(frame::cell_size(t));
}

struct RavgRun {
  OwnedMatrix in, out, internal;
  RavgRun(CellType t, long planes, long width, long height, long extra)
      : in(t, planes, {width, height}, padding(t, planes, width, extra)),
        out(t, planes, {width, height}, padding(t, planes, width, extra)),
        internal(CellType::Float32, planes, {width, height},
                 padding(CellType::Float32, planes, width, extra)) {}
  void frame(double alpha, BlendKernel kernel) {
    const temporal::Region r = temporal::working_region(in, out);
    ASSERT_TRUE(temporal::ravg_rows_fit(r, in, out, internal));
    temporal::ravg_slice(alpha, r.dimcount, r.dim, in, out, internal, kernel);
  }
};

TEST(BlendWidths, RunningAverageGivesTheSameBytes) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (CellType t : {CellType::Char, CellType::Long, CellType::Float32, CellType::Float64})
    for (long width : {1L, 3L, 5L, 16L, 17L, 31L, 33L, 70L})
      for (long planes : {1L, 3L})
        for (long extra : {0L, 1L, 7L}) {
          std::mt19937 rng(static_cast<unsigned>(width * 131 + planes * 7 + extra));
          RavgRun base(t, planes, width, 3, extra);
          scramble(base.in, rng);
          scramble(base.out, rng);
          scramble(base.internal, rng);
          for (BlendKernel kernel : kOthers) {
            RavgRun wide = base, ref = base;
            for (double alpha : {0.3, 1.0, 0.0, nan, 0.05}) {
              scramble(ref.in, rng);
              wide.in = ref.in;
              ref.frame(alpha, BlendKernel::Baseline);
              wide.frame(alpha, kernel);
              ASSERT_TRUE(same_bytes(wide.out, ref.out))
                  << static_cast<int>(t) << " width " << width << " planes " << planes << " extra " << extra
                  << " alpha " << alpha << " kernel " << static_cast<int>(kernel);
              ASSERT_TRUE(same_bytes(wide.internal, ref.internal)) << static_cast<int>(t) << " width " << width;
            }
          }
        }
}

struct MeanRun {
  OwnedMatrix in, out;
  std::vector<double> acc;
  double n = 0;
  MeanRun(CellType t, long planes, const std::vector<long>& dims, long extra)
      : in(t, planes, dims, padding(t, planes, dims[0], extra)),
        out(t, planes, dims, padding(t, planes, dims[0], extra)) {
    const temporal::Region r = temporal::working_region(in, out);
    acc.resize(static_cast<size_t>(temporal::mean_values(r)));
  }
  void frame(BlendKernel kernel) {
    n += 1;
    const temporal::Region r = temporal::working_region(in, out);
    temporal::mean_walk(in, out, r, n, acc.data(), r, kernel);
  }
};

TEST(BlendWidths, CumulativeMeanGivesTheSameBytes) {
  for (CellType t : {CellType::Char, CellType::Long, CellType::Float32, CellType::Float64})
    for (const std::vector<long>& dims : std::vector<std::vector<long>>{{1, 4}, {7, 3}, {17, 2, 2}, {45}})
      for (long planes : {1L, 2L})
        for (long extra : {0L, 3L}) {
          std::mt19937 rng(static_cast<unsigned>(dims[0] * 17 + planes + extra));
          MeanRun base(t, planes, dims, extra);
          scramble(base.out, rng);
          // Means far beyond the 32-bit range take the exact way out.
          for (double& v : base.acc) {
            const std::uint64_t bits = (static_cast<std::uint64_t>(rng()) << 32) | rng();
            std::memcpy(&v, &bits, sizeof v);
            if (rng() % 2) v = std::ldexp(static_cast<double>(rng() % 1000), static_cast<int>(rng() % 40));
          }
          for (BlendKernel kernel : kOthers) {
            MeanRun wide = base, ref = base;
            for (int frame = 0; frame < 4; ++frame) {
              scramble(ref.in, rng);
              wide.in = ref.in;
              ref.frame(BlendKernel::Baseline);
              wide.frame(kernel);
              ASSERT_TRUE(same_bytes(wide.out, ref.out))
                  << static_cast<int>(t) << " width " << dims[0] << " planes " << planes << " frame " << frame;
              ASSERT_EQ(std::memcmp(wide.acc.data(), ref.acc.data(), wide.acc.size() * sizeof(double)), 0);
            }
          }
        }
}

template <class T>
void expect_streaming_changes_nothing() {
  // Rows at every alignment of the output and the state, some too short
  // for a block, with means beyond the 32-bit range now and then.
  std::mt19937 rng(21);
  for (BlendKernel kernel : kAll)
    for (long n : {5L, 16L, 47L, 200L})
      for (long out_shift = 0; out_shift < 16; out_shift += 3)
        for (long state_shift : {0L, 1L, 3L}) {
          std::vector<T> in(static_cast<size_t>(n));
          alignas(64) std::uint8_t cached[256 * sizeof(T) + 16], streamed[sizeof cached];
          alignas(64) double state_cached[256 + 8] = {}, state_streamed[256 + 8];
          for (auto& v : in) v = static_cast<T>(rng());
          for (long k = 0; k < n; ++k)
            state_cached[state_shift + k] = rng() % 5 ? static_cast<double>(static_cast<T>(rng())) : std::ldexp(1.0, 40) + k;
          std::memcpy(state_streamed, state_cached, sizeof state_cached);
          // Cells keep their own alignment; the row's start moves by whole cells.
          T* out_cached = reinterpret_cast<T*>(cached) + out_shift;
          T* out_streamed = reinterpret_cast<T*>(streamed) + out_shift;
          const double w = 1.0 / 3, v = 1.0 - w;
          temporal::blend_row_for<T, double, double>(kernel, w, v)(in.data(), out_cached,
                                                                   state_cached + state_shift, n, w, v);
          temporal::blend_row_for<T, double, double>(kernel, w, v, true)(in.data(), out_streamed,
                                                                         state_streamed + state_shift, n, w, v);
          temporal::finish_streamed_rows();
          ASSERT_EQ(std::memcmp(out_cached, out_streamed, static_cast<size_t>(n) * sizeof(T)), 0)
              << "n " << n << " out " << out_shift << " state " << state_shift;
          ASSERT_EQ(std::memcmp(state_cached, state_streamed, sizeof state_cached), 0);
        }
}

TEST(BlendWidths, StreamedOutputGivesTheSameBytes) {
  expect_streaming_changes_nothing<std::uint8_t>();
  expect_streaming_changes_nothing<std::int32_t>();
}

// x86 quiet NaNs told apart by their payload.
float nan_with(std::uint32_t payload) {
  const std::uint32_t bits = 0x7FC00000u | payload;
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

std::uint32_t bits_of(float f) {
  std::uint32_t b;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

TEST(BlendWidths, BothTermsNaNKeepThePreviousNaN) {
  // 40 values: blocks and single values at either end of the row alike.
  for (BlendKernel kernel : kAll) {
    RavgRun avg(CellType::Float32, 1, 40, 1, 0);
    for (long x = 0; x < 40; ++x) {
      avg.in.at<float>(x) = nan_with(0x111);
      avg.out.at<float>(x) = x % 3 ? nan_with(0x222) : 5.0f;
    }
    avg.frame(0.25, kernel);
    for (long x = 0; x < 40; ++x)
      EXPECT_EQ(bits_of(avg.out.at<float>(x)), x % 3 ? bits_of(nan_with(0x222)) : bits_of(nan_with(0x111)))
          << "x " << x << " kernel " << static_cast<int>(kernel);
  }
}

#if defined(ZELK_X86_KERNELS)
// The kernels are chosen by CPUID and XCR0 as read here; the compiler's
// run-time library reads the same and must agree.
TEST(BlendWidths, FeatureDetectionAgreesWithTheCompilersRunTime) {
  __builtin_cpu_init();
  EXPECT_EQ(frame::cpu_has_avx2(), __builtin_cpu_supports("avx2") != 0);
  EXPECT_EQ(frame::cpu_has_avx512f(), __builtin_cpu_supports("avx512f") != 0);
}
#endif

}  // namespace
