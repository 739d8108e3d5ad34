// The row kernel shared by the running means: every value becomes
//   s = new · a + previous · b
// in the work type W, each product and the sum rounded to W. Integer cells
// keep `previous` in a state row of their own and store s truncated; float
// cells keep it in the output row itself (state == out).
//
// On x86-64 rows go in blocks of kBlendBlock values through the widest
// vectors the processor has (128, 256 or 512 bits), and the ends of a row
// one value at a time; elsewhere the whole row goes one value at a time.
// Each value is computed on its own with the same roundings whatever the
// width (no fused multiply-add is enabled), so the width never shows in the
// bytes.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "frame/cpu.h"

#if defined(ZELK_X86_KERNELS)
#include <immintrin.h>
#endif

namespace temporal {

// The vector width of the row kernel: the widest the processor has, at most
// 256 or 128 bits (the x86-64 baseline), or the portable form in plain C++
// that other processors run, for tests that compare them.
enum class BlendKernel { Fastest, Avx2, Baseline, Portable };

// An integer cell's value of s: truncated toward zero to 64 bits, of which
// the cell keeps the low bits. Beyond the 64-bit range (unreachable from
// finite integer input) the value is 0 instead of undefined.
template <class T, class W>
inline T truncate_to(W s) {
  if (!(s >= W(-9223372036854775808.0) && s < W(9223372036854775808.0))) return T(0);
  return static_cast<T>(static_cast<std::uint64_t>(static_cast<std::int64_t>(s)));
}

inline constexpr long kBlendBlock = 16;

namespace detail {

// One value. When both terms are NaN, IEEE arithmetic leaves open which
// NaN the sum keeps, and the compiler may swap the terms; float cells keep
// the previous value's, whatever the vector width. Integer cells bring no
// NaN of their own.
template <class T, class W, class S>
inline void blend_value(const T* in, T* out, S* state, long i, W a, W b) {
  const W pb = static_cast<W>(state[i]) * b;
  W x = static_cast<W>(in[i]) * a;
  if constexpr (!std::is_integral_v<T>) {
    if (pb != pb) x = W(0);
  }
  const W s = x + pb;
  if constexpr (std::is_integral_v<T>) {
    state[i] = static_cast<S>(s);
    out[i] = truncate_to<T>(s);
  } else {
    out[i] = static_cast<T>(s);
  }
}

#if defined(ZELK_X86_KERNELS)
// The SIMD truncation yields INT32_MIN for anything outside the 32-bit
// range; a block that shows it is redone exactly. A float of magnitude
// 2^31 or more is a multiple of 256, so for char cells INT32_MIN already has
// the right low byte and needs no second look.
inline bool any_int32_min(__m128i q0, __m128i q1, __m128i q2, __m128i q3) {
  const __m128i bad = _mm_set1_epi32(INT32_MIN);
  const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi32(q0, bad), _mm_cmpeq_epi32(q1, bad)),
                                   _mm_or_si128(_mm_cmpeq_epi32(q2, bad), _mm_cmpeq_epi32(q3, bad)));
  return _mm_movemask_epi8(hit) != 0;
}

inline __m128i low_byte(__m128i q) { return _mm_and_si128(q, _mm_set1_epi32(0xFF)); }

// 16 values in 32-bit lanes, stored as their low bytes.
inline void store_low_bytes(std::uint8_t* out, __m128i q0, __m128i q1, __m128i q2, __m128i q3) {
  const __m128i w0 = _mm_packs_epi32(low_byte(q0), low_byte(q1));
  const __m128i w1 = _mm_packs_epi32(low_byte(q2), low_byte(q3));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(w0, w1));
}

inline void store_ints(std::int32_t* out, __m128i q0, __m128i q1, __m128i q2, __m128i q3) {
  auto* o = reinterpret_cast<__m128i*>(out);
  _mm_storeu_si128(o, q0);
  _mm_storeu_si128(o + 1, q1);
  _mm_storeu_si128(o + 2, q2);
  _mm_storeu_si128(o + 3, q3);
}

// A block of kBlendBlock values lives in an array of vectors of W (F for
// float, D for double); `load` converts cells to it, `store` back to float
// or double, and `truncate` stores integer cells, false when the block has
// to be redone exactly.
struct Sse2 {
  using F = __m128;
  using D = __m128d;
  static F vector_of(float);  // the vector type of W, for decltype
  static D vector_of(double);

  static void widen(const std::uint8_t* src, __m128i q[4]) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i lo = _mm_unpacklo_epi8(b, zero), hi = _mm_unpackhi_epi8(b, zero);
    q[0] = _mm_unpacklo_epi16(lo, zero);
    q[1] = _mm_unpackhi_epi16(lo, zero);
    q[2] = _mm_unpacklo_epi16(hi, zero);
    q[3] = _mm_unpackhi_epi16(hi, zero);
  }
  static void to_doubles(__m128i q, D* v) {
    v[0] = _mm_cvtepi32_pd(q);
    v[1] = _mm_cvtepi32_pd(_mm_unpackhi_epi64(q, q));
  }
  static __m128i truncate4(const D* v) {
    return _mm_unpacklo_epi64(_mm_cvttpd_epi32(v[0]), _mm_cvttpd_epi32(v[1]));
  }
  static __m128i int4(const std::int32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

  static void load(const std::uint8_t* p, F v[4]) {
    __m128i q[4];
    widen(p, q);
    for (int j = 0; j < 4; ++j) v[j] = _mm_cvtepi32_ps(q[j]);
  }
  static void load(const std::uint8_t* p, D v[8]) {
    __m128i q[4];
    widen(p, q);
    for (int j = 0; j < 4; ++j) to_doubles(q[j], v + 2 * j);
  }
  static void load(const std::int32_t* p, F v[4]) {
    for (int j = 0; j < 4; ++j) v[j] = _mm_cvtepi32_ps(int4(p + 4 * j));
  }
  static void load(const std::int32_t* p, D v[8]) {
    for (int j = 0; j < 4; ++j) to_doubles(int4(p + 4 * j), v + 2 * j);
  }
  static void load(const float* p, F v[4]) {
    for (int j = 0; j < 4; ++j) v[j] = _mm_loadu_ps(p + 4 * j);
  }
  static void load(const float* p, D v[8]) {
    for (int j = 0; j < 4; ++j) {
      const __m128 f = _mm_loadu_ps(p + 4 * j);
      v[2 * j] = _mm_cvtps_pd(f);
      v[2 * j + 1] = _mm_cvtps_pd(_mm_movehl_ps(f, f));
    }
  }
  static void load(const double* p, D v[8]) {
    for (int j = 0; j < 8; ++j) v[j] = _mm_loadu_pd(p + 2 * j);
  }

  // v = v·a + p·b; with Keep, a NaN p·b cancels v·a (see blend_value).
  template <bool Keep>
  static void blend(F v[4], const F p[4], float a, float b) {
    const F va = _mm_set1_ps(a), vb = _mm_set1_ps(b);
    for (int j = 0; j < 4; ++j) {
      const F pb = _mm_mul_ps(p[j], vb);
      F x = _mm_mul_ps(v[j], va);
      if constexpr (Keep) x = _mm_andnot_ps(_mm_cmpunord_ps(pb, pb), x);
      v[j] = _mm_add_ps(x, pb);
    }
  }
  template <bool Keep>
  static void blend(D v[8], const D p[8], double a, double b) {
    const D va = _mm_set1_pd(a), vb = _mm_set1_pd(b);
    for (int j = 0; j < 8; ++j) {
      const D pb = _mm_mul_pd(p[j], vb);
      D x = _mm_mul_pd(v[j], va);
      if constexpr (Keep) x = _mm_andnot_pd(_mm_cmpunord_pd(pb, pb), x);
      v[j] = _mm_add_pd(x, pb);
    }
  }

  static void store(const F v[4], float* p) {
    for (int j = 0; j < 4; ++j) _mm_storeu_ps(p + 4 * j, v[j]);
  }
  static void store(const D v[8], double* p) {
    for (int j = 0; j < 8; ++j) _mm_storeu_pd(p + 2 * j, v[j]);
  }
  static void store(const D v[8], float* p) {
    for (int j = 0; j < 4; ++j)
      _mm_storeu_ps(p + 4 * j, _mm_movelh_ps(_mm_cvtpd_ps(v[2 * j]), _mm_cvtpd_ps(v[2 * j + 1])));
  }

  static bool truncate(const F v[4], std::uint8_t* out) {
    store_low_bytes(out, _mm_cvttps_epi32(v[0]), _mm_cvttps_epi32(v[1]), _mm_cvttps_epi32(v[2]),
                    _mm_cvttps_epi32(v[3]));
    return true;
  }
  static bool truncate(const F v[4], std::int32_t* out) {
    const __m128i q0 = _mm_cvttps_epi32(v[0]), q1 = _mm_cvttps_epi32(v[1]);
    const __m128i q2 = _mm_cvttps_epi32(v[2]), q3 = _mm_cvttps_epi32(v[3]);
    if (any_int32_min(q0, q1, q2, q3)) return false;
    store_ints(out, q0, q1, q2, q3);
    return true;
  }
  static bool truncate(const D v[8], std::uint8_t* out) {
    const __m128i q0 = truncate4(v), q1 = truncate4(v + 2), q2 = truncate4(v + 4), q3 = truncate4(v + 6);
    if (any_int32_min(q0, q1, q2, q3)) return false;
    store_low_bytes(out, q0, q1, q2, q3);
    return true;
  }
  static bool truncate(const D v[8], std::int32_t* out) {
    const __m128i q0 = truncate4(v), q1 = truncate4(v + 2), q2 = truncate4(v + 4), q3 = truncate4(v + 6);
    if (any_int32_min(q0, q1, q2, q3)) return false;
    store_ints(out, q0, q1, q2, q3);
    return true;
  }
};

// The same block operations on 256-bit vectors.
#define ZELK_AVX2 __attribute__((target("avx2")))
struct Avx2 {
  using F = __m256;
  using D = __m256d;
  static F vector_of(float);
  static D vector_of(double);

  ZELK_AVX2 static __m128i bytes(const std::uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  }
  ZELK_AVX2 static __m128i int4(const std::int32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  }
  ZELK_AVX2 static __m256i int8(const std::int32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  }

  ZELK_AVX2 static __m256i widen8(const std::uint8_t* p) {
    return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
  }

  ZELK_AVX2 static void load(const std::uint8_t* p, F v[2]) {
    v[0] = _mm256_cvtepi32_ps(widen8(p));
    v[1] = _mm256_cvtepi32_ps(widen8(p + 8));
  }
  ZELK_AVX2 static void load(const std::uint8_t* p, D v[4]) {
    for (int j = 0; j < 4; ++j) {
      std::int32_t four;
      std::memcpy(&four, p + 4 * j, 4);
      v[j] = _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(four)));
    }
  }
  ZELK_AVX2 static void load(const std::int32_t* p, F v[2]) {
    for (int j = 0; j < 2; ++j) v[j] = _mm256_cvtepi32_ps(int8(p + 8 * j));
  }
  ZELK_AVX2 static void load(const std::int32_t* p, D v[4]) {
    for (int j = 0; j < 4; ++j) v[j] = _mm256_cvtepi32_pd(int4(p + 4 * j));
  }
  ZELK_AVX2 static void load(const float* p, F v[2]) {
    for (int j = 0; j < 2; ++j) v[j] = _mm256_loadu_ps(p + 8 * j);
  }
  ZELK_AVX2 static void load(const float* p, D v[4]) {
    for (int j = 0; j < 4; ++j) v[j] = _mm256_cvtps_pd(_mm_loadu_ps(p + 4 * j));
  }
  ZELK_AVX2 static void load(const double* p, D v[4]) {
    for (int j = 0; j < 4; ++j) v[j] = _mm256_loadu_pd(p + 4 * j);
  }

  template <bool Keep>
  ZELK_AVX2 static void blend(F v[2], const F p[2], float a, float b) {
    const F va = _mm256_set1_ps(a), vb = _mm256_set1_ps(b);
    for (int j = 0; j < 2; ++j) {
      const F pb = _mm256_mul_ps(p[j], vb);
      F x = _mm256_mul_ps(v[j], va);
      if constexpr (Keep) x = _mm256_andnot_ps(_mm256_cmp_ps(pb, pb, _CMP_UNORD_Q), x);
      v[j] = _mm256_add_ps(x, pb);
    }
  }
  template <bool Keep>
  ZELK_AVX2 static void blend(D v[4], const D p[4], double a, double b) {
    const D va = _mm256_set1_pd(a), vb = _mm256_set1_pd(b);
    for (int j = 0; j < 4; ++j) {
      const D pb = _mm256_mul_pd(p[j], vb);
      D x = _mm256_mul_pd(v[j], va);
      if constexpr (Keep) x = _mm256_andnot_pd(_mm256_cmp_pd(pb, pb, _CMP_UNORD_Q), x);
      v[j] = _mm256_add_pd(x, pb);
    }
  }

  ZELK_AVX2 static void store(const F v[2], float* p) {
    for (int j = 0; j < 2; ++j) _mm256_storeu_ps(p + 8 * j, v[j]);
  }
  ZELK_AVX2 static void store(const D v[4], double* p) {
    for (int j = 0; j < 4; ++j) _mm256_storeu_pd(p + 4 * j, v[j]);
  }
  ZELK_AVX2 static void store(const D v[4], float* p) {
    for (int j = 0; j < 4; ++j) _mm_storeu_ps(p + 4 * j, _mm256_cvtpd_ps(v[j]));
  }

  ZELK_AVX2 static bool truncate(const F v[2], std::uint8_t* out) {
    // The low byte of each 32-bit lane, gathered per 128-bit lane into the
    // first (q0) and second (q1) 4 bytes, then the lanes' halves in order.
    const __m256i first = _mm256_setr_epi8(0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                           0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m256i second = _mm256_setr_epi8(-1, -1, -1, -1, 0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1,
                                            -1, -1, -1, -1, 0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m256i bytes = _mm256_or_si256(_mm256_shuffle_epi8(_mm256_cvttps_epi32(v[0]), first),
                                          _mm256_shuffle_epi8(_mm256_cvttps_epi32(v[1]), second));
    const __m256i ordered = _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 2, 3, 6, 7));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(ordered));
    return true;
  }
  ZELK_AVX2 static bool truncate(const F v[2], std::int32_t* out) {
    const __m256i q0 = _mm256_cvttps_epi32(v[0]), q1 = _mm256_cvttps_epi32(v[1]);
    const __m256i bad = _mm256_set1_epi32(INT32_MIN);
    if (_mm256_movemask_epi8(_mm256_or_si256(_mm256_cmpeq_epi32(q0, bad), _mm256_cmpeq_epi32(q1, bad))))
      return false;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), q0);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 8), q1);
    return true;
  }
  ZELK_AVX2 static bool truncate(const D v[4], std::uint8_t* out) {
    const __m128i q0 = _mm256_cvttpd_epi32(v[0]), q1 = _mm256_cvttpd_epi32(v[1]);
    const __m128i q2 = _mm256_cvttpd_epi32(v[2]), q3 = _mm256_cvttpd_epi32(v[3]);
    // Means of bytes are bytes: then the saturating packs are exact.
    const __m128i any = _mm_or_si128(_mm_or_si128(q0, q1), _mm_or_si128(q2, q3));
    if (_mm_testz_si128(any, _mm_set1_epi32(~0xFF))) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                       _mm_packus_epi16(_mm_packus_epi32(q0, q1), _mm_packus_epi32(q2, q3)));
      return true;
    }
    if (any_int32_min(q0, q1, q2, q3)) return false;
    store_low_bytes(out, q0, q1, q2, q3);
    return true;
  }
  ZELK_AVX2 static bool truncate(const D v[4], std::int32_t* out) {
    const __m128i q0 = _mm256_cvttpd_epi32(v[0]), q1 = _mm256_cvttpd_epi32(v[1]);
    const __m128i q2 = _mm256_cvttpd_epi32(v[2]), q3 = _mm256_cvttpd_epi32(v[3]);
    if (any_int32_min(q0, q1, q2, q3)) return false;
    store_ints(out, q0, q1, q2, q3);
    return true;
  }
};

// The same block operations on 512-bit vectors: a block of floats is one
// vector, and the narrowing stores keep the low bits of each value.
// GCC 12 takes the headers' undefined-vector idiom for an uninitialised
// read once these are inlined.
#if !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#define ZELK_AVX512 __attribute__((target("avx512f")))
struct Avx512 {
  using F = __m512;
  using D = __m512d;
  static F vector_of(float);
  static D vector_of(double);

  ZELK_AVX512 static __m512i widen16(const std::uint8_t* p) {
    return _mm512_cvtepu8_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  }
  ZELK_AVX512 static __m256i int8(const std::int32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  }
  ZELK_AVX512 static __m512i both(__m256i lo, __m256i hi) {
    return _mm512_inserti64x4(_mm512_castsi256_si512(lo), hi, 1);
  }

  ZELK_AVX512 static void load(const std::uint8_t* p, F v[1]) { v[0] = _mm512_cvtepi32_ps(widen16(p)); }
  ZELK_AVX512 static void load(const std::uint8_t* p, D v[2]) {
    const __m512i q = widen16(p);
    v[0] = _mm512_cvtepi32_pd(_mm512_castsi512_si256(q));
    v[1] = _mm512_cvtepi32_pd(_mm512_extracti64x4_epi64(q, 1));
  }
  ZELK_AVX512 static void load(const std::int32_t* p, F v[1]) {
    v[0] = _mm512_cvtepi32_ps(_mm512_loadu_si512(p));
  }
  ZELK_AVX512 static void load(const std::int32_t* p, D v[2]) {
    for (int j = 0; j < 2; ++j) v[j] = _mm512_cvtepi32_pd(int8(p + 8 * j));
  }
  ZELK_AVX512 static void load(const float* p, F v[1]) { v[0] = _mm512_loadu_ps(p); }
  ZELK_AVX512 static void load(const float* p, D v[2]) {
    for (int j = 0; j < 2; ++j) v[j] = _mm512_cvtps_pd(_mm256_loadu_ps(p + 8 * j));
  }
  ZELK_AVX512 static void load(const double* p, D v[2]) {
    for (int j = 0; j < 2; ++j) v[j] = _mm512_loadu_pd(p + 8 * j);
  }

  template <bool Keep>
  ZELK_AVX512 static void blend(F v[1], const F p[1], float a, float b) {
    // The NaN of p·b passes through the masked sum as it is; a masked
    // product would turn the load of v into a masked load, much slower.
    const F pb = _mm512_mul_ps(p[0], _mm512_set1_ps(b));
    const F x = _mm512_mul_ps(v[0], _mm512_set1_ps(a));
    if constexpr (Keep)
      v[0] = _mm512_mask_add_ps(pb, _mm512_cmp_ps_mask(pb, pb, _CMP_ORD_Q), x, pb);
    else
      v[0] = _mm512_add_ps(x, pb);
  }
  template <bool Keep>
  ZELK_AVX512 static void blend(D v[2], const D p[2], double a, double b) {
    const D va = _mm512_set1_pd(a), vb = _mm512_set1_pd(b);
    for (int j = 0; j < 2; ++j) {
      const D pb = _mm512_mul_pd(p[j], vb);
      const D x = _mm512_mul_pd(v[j], va);
      if constexpr (Keep)
        v[j] = _mm512_mask_add_pd(pb, _mm512_cmp_pd_mask(pb, pb, _CMP_ORD_Q), x, pb);
      else
        v[j] = _mm512_add_pd(x, pb);
    }
  }

  ZELK_AVX512 static void store(const F v[1], float* p) { _mm512_storeu_ps(p, v[0]); }
  ZELK_AVX512 static void store(const D v[2], double* p) {
    for (int j = 0; j < 2; ++j) _mm512_storeu_pd(p + 8 * j, v[j]);
  }
  ZELK_AVX512 static void store(const D v[2], float* p) {
    for (int j = 0; j < 2; ++j) _mm256_storeu_ps(p + 8 * j, _mm512_cvtpd_ps(v[j]));
  }

  ZELK_AVX512 static bool no_int32_min(__m512i q) {
    return _mm512_cmpeq_epi32_mask(q, _mm512_set1_epi32(INT32_MIN)) == 0;
  }
  ZELK_AVX512 static bool truncate(const F v[1], std::uint8_t* out) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm512_cvtepi32_epi8(_mm512_cvttps_epi32(v[0])));
    return true;
  }
  ZELK_AVX512 static bool truncate(const F v[1], std::int32_t* out) {
    const __m512i q = _mm512_cvttps_epi32(v[0]);
    if (!no_int32_min(q)) return false;
    _mm512_storeu_si512(out, q);
    return true;
  }
  ZELK_AVX512 static bool truncate(const D v[2], std::uint8_t* out) {
    const __m512i q = both(_mm512_cvttpd_epi32(v[0]), _mm512_cvttpd_epi32(v[1]));
    if (!no_int32_min(q)) return false;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm512_cvtepi32_epi8(q));
    return true;
  }
  ZELK_AVX512 static bool truncate(const D v[2], std::int32_t* out) {
    const __m512i q = both(_mm512_cvttpd_epi32(v[0]), _mm512_cvttpd_epi32(v[1]));
    if (!no_int32_min(q)) return false;
    _mm512_storeu_si512(out, q);
    return true;
  }
};

// A block of integer cells stored past the caches: `out` is 16-byte aligned.
template <class T>
inline void stream_block(T* out, const T* staged) {
  for (std::size_t k = 0; k < kBlendBlock * sizeof(T) / 16; ++k)
    _mm_stream_si128(reinterpret_cast<__m128i*>(out) + k,
                     _mm_load_si128(reinterpret_cast<const __m128i*>(staged) + k));
}

// n values of one row, whole blocks through the vectors of V. With Stream,
// integer cells' blocks bypass the caches when the row allows it (see
// blend_row_for).
template <class V, bool Stream, class T, class W, class S>
[[gnu::always_inline]] inline void blend_blocks(const T* in, T* out, S* state, long n, W a, W b) {
  using Vec = decltype(V::vector_of(W()));
  constexpr int kVectors = static_cast<int>(kBlendBlock * sizeof(W) / sizeof(Vec));
  // Single values first, up to where the state row is aligned to the vector
  // width: an access that straddles two cache lines costs about two.
  // Streamed blocks align the output instead, as streaming stores need.
  const auto address = reinterpret_cast<std::uintptr_t>(Stream ? static_cast<const void*>(out) : state);
  const std::size_t value = Stream ? sizeof(T) : sizeof(S), unit = Stream ? 16 : sizeof(Vec);
  if (Stream && address % value) return blend_blocks<V, false>(in, out, state, n, a, b);
  const long head = address % value ? 0 : static_cast<long>((-address % unit) / value);
  long i = 0;
  for (; i < head && i < n; ++i) blend_value(in, out, state, i, a, b);
  for (; i + kBlendBlock <= n; i += kBlendBlock) {
    Vec v[kVectors], p[kVectors];
    V::load(in + i, v);
    V::load(state + i, p);
    V::template blend<!std::is_integral_v<T>>(v, p, a, b);
    if constexpr (std::is_integral_v<T>) {
      static_assert(std::is_same_v<S, W>, "integer cells keep their state in the work type");
      V::store(v, state + i);
      alignas(16) T staged[Stream ? kBlendBlock : 1];
      T* block = Stream ? staged : out + i;
      if (!V::truncate(v, block))
        for (long k = 0; k < kBlendBlock; ++k) block[k] = truncate_to<T>(state[i + k]);
      if constexpr (Stream) stream_block(out + i, staged);
    } else {
      V::store(v, out + i);
    }
  }
  for (; i < n; ++i) blend_value(in, out, state, i, a, b);
}

template <class T, class W, class S, bool Stream>
void blend_row_sse2(const T* in, T* out, S* state, long n, W a, W b) {
  blend_blocks<Sse2, Stream>(in, out, state, n, a, b);
}

template <class T, class W, class S, bool Stream>
ZELK_AVX2 void blend_row_avx2(const T* in, T* out, S* state, long n, W a, W b) {
  blend_blocks<Avx2, Stream>(in, out, state, n, a, b);
}

template <class T, class W, class S, bool Stream>
ZELK_AVX512 void blend_row_avx512(const T* in, T* out, S* state, long n, W a, W b) {
  blend_blocks<Avx512, Stream>(in, out, state, n, a, b);
}
#if !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#undef ZELK_AVX2
#undef ZELK_AVX512
#endif

template <class T, class W, class S>
void blend_row_plain(const T* in, T* out, S* state, long n, W a, W b) {
  for (long i = 0; i < n; ++i) blend_value(in, out, state, i, a, b);
}

}  // namespace detail

// After the last row of a call whose kernel streams: streamed stores are
// weakly ordered, and must be seen before anything that follows the call.
inline void finish_streamed_rows() {
#if defined(ZELK_X86_KERNELS)
  _mm_sfence();
#endif
}

// One row's kernel: n values, and for float cells `state` must be `out`.
template <class T, class W, class S>
using BlendRow = void (*)(const T* in, T* out, S* state, long n, W a, W b);

// The kernel for a call's rows with weights a and b, picked once per call.
// NaN weights take the scalar form: a product of two NaNs keeps either, and
// only one compiled form of it gives the same bytes on every processor.
// `stream_out` lets integer cells' output bypass the caches, for outputs
// too large to stay there beside the state; the bytes are the same. The
// caller then ends the call's rows with finish_streamed_rows().
template <class T, class W, class S>
BlendRow<T, W, S> blend_row_for(BlendKernel kernel, W a, W b, bool stream_out = false) {
#if defined(ZELK_X86_KERNELS)
  if (kernel == BlendKernel::Portable || a != a || b != b) return detail::blend_row_plain<T, W, S>;
  const bool avx512 = kernel == BlendKernel::Fastest && frame::cpu_has_avx512f();
  const bool avx2 = kernel != BlendKernel::Baseline && frame::cpu_has_avx2();
  if constexpr (std::is_integral_v<T>) {
    if (stream_out) {
      if (avx512) return detail::blend_row_avx512<T, W, S, true>;
      if (avx2) return detail::blend_row_avx2<T, W, S, true>;
      return detail::blend_row_sse2<T, W, S, true>;
    }
  }
  if (avx512) return detail::blend_row_avx512<T, W, S, false>;
  if (avx2) return detail::blend_row_avx2<T, W, S, false>;
  return detail::blend_row_sse2<T, W, S, false>;
#else
  (void)kernel, (void)a, (void)b, (void)stream_out;
  return detail::blend_row_plain<T, W, S>;
#endif
}

}  // namespace temporal
