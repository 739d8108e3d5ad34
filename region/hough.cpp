#include "region/hough.h"

#include <cmath>

#include "frame/cpu.h"

#if defined(ZELK_X86_KERNELS)
#include <immintrin.h>
#endif

namespace region {
namespace {

// NaN passes a plain clamp unchanged; it computes with the default instead.
double clamp_step(double v, double lo, double hi, double fallback) {
  if (std::isnan(v)) return fallback;
  return v < lo ? lo : (v > hi ? hi : v);
}

}  // namespace

HoughGeometry hough_geometry(double rho, double theta, long width, long height) {
  HoughGeometry g;
  g.theta_step = clamp_step(theta, kMinTheta, kMaxTheta, kDefaultTheta);
  g.rho_step = clamp_step(rho, kMinRho, kMaxRho, kDefaultRho);
  g.k = 1.0 / g.rho_step;
  g.n_theta = static_cast<long>(3.141592653589793 / g.theta_step);
  g.n_rho = static_cast<long>(static_cast<double>(2 * (width + height) + 1) / g.rho_step);
  g.c = (g.n_rho - 1) / 2;
  return g;
}

std::int32_t round_vote(double v) {
  // Truncation and the exact remainder give C's round() without a libm
  // call: v - trunc(v) is exact for |v| < 2^52.
  const std::int32_t t = static_cast<std::int32_t>(v);
  const double f = v - static_cast<double>(t);
  return t + (f >= 0.5) - (f <= -0.5);
}

namespace {

// The working arrays of one frame cover whole vectors of angles; the
// angles past Nθ compute on zeros and cast no vote.
inline constexpr long kLanes = 8;
static_assert(kMaxAngles % kLanes == 0);

// col[t] = round_vote((x cos θ_t + y sin θ_t) k) + base[t] for the padded
// angles. The variants below make the same operations in the same order.
enum class Columns { Plain, Sse2, Avx2 };

#if defined(ZELK_X86_KERNELS)
// SSE2: two angles at a time; the compiler does not vectorise its
// double-to-int conversion by itself.
[[gnu::always_inline]] inline void columns_sse2(double x, const double* cosine, const double* ys,
                                                 double k, const std::int32_t* base, long padded,
                                                 std::int32_t* col) {
  const __m128d vx = _mm_set1_pd(x), vk = _mm_set1_pd(k);
  const __m128d half = _mm_set1_pd(0.5), minus_half = _mm_set1_pd(-0.5);
  for (long t = 0; t < padded; t += 2) {
    const __m128d v = _mm_mul_pd(_mm_add_pd(_mm_mul_pd(vx, _mm_loadu_pd(cosine + t)),
                                            _mm_loadu_pd(ys + t)), vk);
    const __m128i tr = _mm_cvttpd_epi32(v);  // truncation, in the low two lanes
    const __m128d f = _mm_sub_pd(v, _mm_cvtepi32_pd(tr));
    // Comparison masks are -1 where true: subtracting a mask adds one.
    const __m128i up = _mm_shuffle_epi32(_mm_castpd_si128(_mm_cmpge_pd(f, half)), _MM_SHUFFLE(3, 3, 2, 0));
    const __m128i down = _mm_shuffle_epi32(_mm_castpd_si128(_mm_cmple_pd(f, minus_half)), _MM_SHUFFLE(3, 3, 2, 0));
    const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(base + t));
    const __m128i r = _mm_add_epi32(_mm_add_epi32(_mm_sub_epi32(tr, up), down), b);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(col + t), r);
  }
}

// AVX2: four angles at a time. AVX2 brings no fused multiply-add, so every
// value is the same as in the other forms.
__attribute__((target("avx2"))) inline void columns_avx2(
    double x, const double* cosine, const double* ys, double k, const std::int32_t* base,
    long padded, std::int32_t* col) {
  const __m256d vx = _mm256_set1_pd(x), vk = _mm256_set1_pd(k), one = _mm256_set1_pd(1.0);
  const __m256d half = _mm256_set1_pd(0.5), minus_half = _mm256_set1_pd(-0.5);
  for (long t = 0; t < padded; t += 4) {
    const __m256d v = _mm256_mul_pd(
        _mm256_add_pd(_mm256_mul_pd(vx, _mm256_load_pd(cosine + t)), _mm256_load_pd(ys + t)), vk);
    const __m256d tr = _mm256_round_pd(v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
    const __m256d f = _mm256_sub_pd(v, tr);
    const __m256d up = _mm256_and_pd(_mm256_cmp_pd(f, half, _CMP_GE_OQ), one);
    const __m256d down = _mm256_and_pd(_mm256_cmp_pd(f, minus_half, _CMP_LE_OQ), one);
    const __m128i r = _mm256_cvttpd_epi32(_mm256_sub_pd(_mm256_add_pd(tr, up), down));
    _mm_store_si128(reinterpret_cast<__m128i*>(col + t),
                    _mm_add_epi32(r, _mm_load_si128(reinterpret_cast<const __m128i*>(base + t))));
  }
}
#endif

// Portable form: round_vote is the same truncation and remainder test.
[[gnu::always_inline]] inline void columns_plain(double x, const double* cosine, const double* ys,
                                                 double k, const std::int32_t* base, long padded,
                                                 std::int32_t* col) {
  for (long t = 0; t < padded; ++t) col[t] = round_vote((x * cosine[t] + ys[t]) * k) + base[t];
}

// Checked: a vote whose column falls outside the accumulator is dropped.
// Unchecked: every column is known to fit, and col[t] is the index of the
// cell from the accumulator's first one.
template <bool Checked, Columns Form>
[[gnu::always_inline]] inline void vote_rows(const frame::PlaneView<const std::uint8_t>& in,
                                             const frame::PlaneView<std::int32_t>& acc,
                                             const HoughTables& tables, const HoughGeometry& g,
                                             long n) {
  const unsigned long columns = static_cast<unsigned long>(g.n_rho > 0 ? g.n_rho : 0);
  const long padded = (n + kLanes - 1) / kLanes * kLanes;
  alignas(32) double cosine[kMaxAngles];
  alignas(32) double ys[kMaxAngles];        // y sin θ_t of the current row
  alignas(32) std::int32_t base[kMaxAngles];  // c, plus row t's first cell when unchecked
  alignas(32) std::int32_t col[kMaxAngles];
  for (long t = 0; t < padded; ++t) {
    cosine[t] = t < n ? tables.cosine[t] : 0.0;
    ys[t] = 0.0;
    base[t] = static_cast<std::int32_t>(g.c + (Checked ? 0 : t * (acc.row_stride / 4)));
  }
  std::int32_t* const first = reinterpret_cast<std::int32_t*>(acc.base);
  for (long y = 0; y < in.height; ++y) {
    const std::uint8_t* src = in.row(y);
    bool row_ready = false;
    const double yd = static_cast<double>(y);
    for (long x = 0; x < in.width; ++x) {
      if (src[x] == 0) continue;
      if (!row_ready) {
        for (long t = 0; t < n; ++t) ys[t] = yd * tables.sine[t];
        row_ready = true;
      }
#if defined(ZELK_X86_KERNELS)
      if constexpr (Form == Columns::Avx2)
        columns_avx2(static_cast<double>(x), cosine, ys, g.k, base, padded, col);
      else if constexpr (Form == Columns::Sse2)
        columns_sse2(static_cast<double>(x), cosine, ys, g.k, base, padded, col);
      else
#endif
        columns_plain(static_cast<double>(x), cosine, ys, g.k, base, padded, col);
      if (Checked) {
        std::byte* row = acc.base;
        for (long t = 0; t < n; ++t, row += acc.row_stride) {
          const long i = col[t];
          if (static_cast<unsigned long>(i) < columns) ++reinterpret_cast<std::int32_t*>(row)[i];
        }
      } else {
        for (long t = 0; t < n; ++t) ++first[col[t]];
      }
    }
  }
}

// One function per form; the AVX2 one is compiled for AVX2 as a whole.
template <bool Checked, Columns Form>
void vote_with(const frame::PlaneView<const std::uint8_t>& in,
               const frame::PlaneView<std::int32_t>& acc, const HoughTables& tables,
               const HoughGeometry& g, long n) {
  vote_rows<Checked, Form>(in, acc, tables, g, n);
}

#if defined(ZELK_X86_KERNELS)
template <bool Checked>
__attribute__((target("avx2"))) void vote_avx2(const frame::PlaneView<const std::uint8_t>& in,
                                               const frame::PlaneView<std::int32_t>& acc,
                                               const HoughTables& tables, const HoughGeometry& g,
                                               long n) {
  vote_rows<Checked, Columns::Avx2>(in, acc, tables, g, n);
}
#endif

template <bool Checked>
void vote(const frame::PlaneView<const std::uint8_t>& in, const frame::PlaneView<std::int32_t>& acc,
          const HoughTables& tables, const HoughGeometry& g, long n, VoteKernel kernel) {
#if defined(ZELK_X86_KERNELS)
  if (kernel == VoteKernel::Fastest && frame::cpu_has_avx2()) return vote_avx2<Checked>(in, acc, tables, g, n);
  if (kernel != VoteKernel::Portable) return vote_with<Checked, Columns::Sse2>(in, acc, tables, g, n);
#endif
  (void)kernel;
  vote_with<Checked, Columns::Plain>(in, acc, tables, g, n);
}

}  // namespace

void hough_vote(const frame::PlaneView<const std::uint8_t>& in,
                const frame::PlaneView<std::int32_t>& acc, const HoughTables& tables,
                const HoughGeometry& g, VoteKernel kernel) {
  const long n = g.n_theta < kMaxAngles ? g.n_theta : kMaxAngles;
  if (in.width <= 0 || in.height <= 0 || n <= 0) return;
  // |x cos θ + y sin θ| never exceeds the distance of the farthest cell;
  // when every vote surely lands inside (and every cell index fits 32
  // bits), the test per vote is left out.
  const double reach = std::hypot(static_cast<double>(in.width - 1), static_cast<double>(in.height - 1)) * g.k + 2.0;
  const bool fits = reach <= static_cast<double>(g.c) &&
                    static_cast<double>(g.c) + reach <= static_cast<double>(g.n_rho - 1) &&
                    acc.row_stride % 4 == 0 &&
                    static_cast<double>(acc.row_stride / 4) * static_cast<double>(n) < 2147483647.0;
  if (fits)
    vote<false>(in, acc, tables, g, n, kernel);
  else
    vote<true>(in, acc, tables, g, n, kernel);
}

}  // namespace region
