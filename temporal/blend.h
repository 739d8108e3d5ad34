// The row kernel shared by the running means: every value becomes
//   s = new · a + previous · b
// in the work type W, each product and the sum rounded to W. Integer cells
// keep `previous` in a state row of their own and store s truncated; float
// cells keep it in the output row itself (state == out).
#pragma once

#include <cstdint>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace temporal {

// An integer cell's value of s: truncated toward zero to 64 bits, of which
// the cell keeps the low bits. Beyond the 64-bit range (unreachable from
// finite integer input) the value is 0 instead of undefined.
template <class T, class W>
inline T truncate_to(W s) {
  if (!(s >= W(-9223372036854775808.0) && s < W(9223372036854775808.0))) return T(0);
  return static_cast<T>(static_cast<std::uint64_t>(static_cast<std::int64_t>(s)));
}

inline constexpr long kBlendBlock = 16;

// Stores a block of kBlendBlock truncated values.
template <class T, class W>
inline void store_truncated(const W* s, T* out) {
  for (long k = 0; k < kBlendBlock; ++k) out[k] = truncate_to<T>(s[k]);
}

#if defined(__SSE2__)
// The SIMD truncation yields INT32_MIN for anything outside the 32-bit
// range; a block that shows it is redone exactly. A float of magnitude
// 2^31 or more is a multiple of 256, so for char cells INT32_MIN already has
// the right low byte and needs no second look.
namespace detail {
inline __m128i low_bytes(__m128i q) { return _mm_and_si128(q, _mm_set1_epi32(0xFF)); }
inline void store_bytes(std::uint8_t* out, __m128i q0, __m128i q1, __m128i q2, __m128i q3) {
  const __m128i w0 = _mm_packs_epi32(low_bytes(q0), low_bytes(q1));
  const __m128i w1 = _mm_packs_epi32(low_bytes(q2), low_bytes(q3));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(w0, w1));
}
inline void store_ints(std::int32_t* out, __m128i q0, __m128i q1, __m128i q2, __m128i q3) {
  auto* o = reinterpret_cast<__m128i*>(out);
  _mm_storeu_si128(o, q0);
  _mm_storeu_si128(o + 1, q1);
  _mm_storeu_si128(o + 2, q2);
  _mm_storeu_si128(o + 3, q3);
}
inline __m128i trunc4(const double* s) {
  return _mm_unpacklo_epi64(_mm_cvttpd_epi32(_mm_loadu_pd(s)), _mm_cvttpd_epi32(_mm_loadu_pd(s + 2)));
}
inline bool any_out_of_range(__m128i q0, __m128i q1, __m128i q2, __m128i q3) {
  const __m128i bad = _mm_set1_epi32(INT32_MIN);
  const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi32(q0, bad), _mm_cmpeq_epi32(q1, bad)),
                                   _mm_or_si128(_mm_cmpeq_epi32(q2, bad), _mm_cmpeq_epi32(q3, bad)));
  return _mm_movemask_epi8(hit) != 0;
}
}  // namespace detail

template <>
inline void store_truncated<std::uint8_t, float>(const float* s, std::uint8_t* out) {
  detail::store_bytes(out, _mm_cvttps_epi32(_mm_loadu_ps(s)), _mm_cvttps_epi32(_mm_loadu_ps(s + 4)),
                      _mm_cvttps_epi32(_mm_loadu_ps(s + 8)), _mm_cvttps_epi32(_mm_loadu_ps(s + 12)));
}

template <>
inline void store_truncated<std::int32_t, float>(const float* s, std::int32_t* out) {
  const __m128i q0 = _mm_cvttps_epi32(_mm_loadu_ps(s)), q1 = _mm_cvttps_epi32(_mm_loadu_ps(s + 4));
  const __m128i q2 = _mm_cvttps_epi32(_mm_loadu_ps(s + 8)), q3 = _mm_cvttps_epi32(_mm_loadu_ps(s + 12));
  if (detail::any_out_of_range(q0, q1, q2, q3)) {
    for (long k = 0; k < kBlendBlock; ++k) out[k] = truncate_to<std::int32_t>(s[k]);
    return;
  }
  detail::store_ints(out, q0, q1, q2, q3);
}

template <>
inline void store_truncated<std::uint8_t, double>(const double* s, std::uint8_t* out) {
  const __m128i q0 = detail::trunc4(s), q1 = detail::trunc4(s + 4);
  const __m128i q2 = detail::trunc4(s + 8), q3 = detail::trunc4(s + 12);
  if (detail::any_out_of_range(q0, q1, q2, q3)) {
    for (long k = 0; k < kBlendBlock; ++k) out[k] = truncate_to<std::uint8_t>(s[k]);
    return;
  }
  detail::store_bytes(out, q0, q1, q2, q3);
}

template <>
inline void store_truncated<std::int32_t, double>(const double* s, std::int32_t* out) {
  const __m128i q0 = detail::trunc4(s), q1 = detail::trunc4(s + 4);
  const __m128i q2 = detail::trunc4(s + 8), q3 = detail::trunc4(s + 12);
  if (detail::any_out_of_range(q0, q1, q2, q3)) {
    for (long k = 0; k < kBlendBlock; ++k) out[k] = truncate_to<std::int32_t>(s[k]);
    return;
  }
  detail::store_ints(out, q0, q1, q2, q3);
}
#endif

// Converts a block of kBlendBlock values. The compiler does not vectorise
// the integer and float64 conversions on its own, so they are spelled out.
template <class From, class To>
inline void convert_block(const From* src, To* dst) {
  for (long k = 0; k < kBlendBlock; ++k) dst[k] = static_cast<To>(src[k]);
}

#if defined(__SSE2__)
namespace detail {
// 16 bytes as four vectors of 32-bit integers.
inline void widen_bytes(const std::uint8_t* src, __m128i q[4]) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
  const __m128i lo = _mm_unpacklo_epi8(b, zero), hi = _mm_unpackhi_epi8(b, zero);
  q[0] = _mm_unpacklo_epi16(lo, zero);
  q[1] = _mm_unpackhi_epi16(lo, zero);
  q[2] = _mm_unpacklo_epi16(hi, zero);
  q[3] = _mm_unpackhi_epi16(hi, zero);
}
inline void ints_to_doubles(__m128i q, double* dst) {
  _mm_storeu_pd(dst, _mm_cvtepi32_pd(q));
  _mm_storeu_pd(dst + 2, _mm_cvtepi32_pd(_mm_unpackhi_epi64(q, q)));
}
}  // namespace detail

template <>
inline void convert_block<std::uint8_t, float>(const std::uint8_t* src, float* dst) {
  __m128i q[4];
  detail::widen_bytes(src, q);
  for (int j = 0; j < 4; ++j) _mm_storeu_ps(dst + 4 * j, _mm_cvtepi32_ps(q[j]));
}

template <>
inline void convert_block<std::uint8_t, double>(const std::uint8_t* src, double* dst) {
  __m128i q[4];
  detail::widen_bytes(src, q);
  for (int j = 0; j < 4; ++j) detail::ints_to_doubles(q[j], dst + 4 * j);
}

template <>
inline void convert_block<std::int32_t, float>(const std::int32_t* src, float* dst) {
  for (int j = 0; j < 4; ++j)
    _mm_storeu_ps(dst + 4 * j, _mm_cvtepi32_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * j))));
}

template <>
inline void convert_block<std::int32_t, double>(const std::int32_t* src, double* dst) {
  for (int j = 0; j < 4; ++j)
    detail::ints_to_doubles(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * j)), dst + 4 * j);
}

template <>
inline void convert_block<float, double>(const float* src, double* dst) {
  for (int j = 0; j < 4; ++j) {
    const __m128 f = _mm_loadu_ps(src + 4 * j);
    _mm_storeu_pd(dst + 4 * j, _mm_cvtps_pd(f));
    _mm_storeu_pd(dst + 4 * j + 2, _mm_cvtps_pd(_mm_movehl_ps(f, f)));
  }
}

template <>
inline void convert_block<double, float>(const double* src, float* dst) {
  for (int j = 0; j < 4; ++j) {
    const __m128 lo = _mm_cvtpd_ps(_mm_loadu_pd(src + 4 * j));
    const __m128 hi = _mm_cvtpd_ps(_mm_loadu_pd(src + 4 * j + 2));
    _mm_storeu_ps(dst + 4 * j, _mm_movelh_ps(lo, hi));
  }
}
#endif

// n values of one row. For float cells `state` must be `out`. The block
// buffers keep each loop free of aliasing, so the compiler vectorises them
// even when input and output are the same matrix.
template <class T, class W, class S>
void blend_row(const T* in, T* out, S* state, long n, W a, W b) {
  long i = 0;
  for (; i + kBlendBlock <= n; i += kBlendBlock) {
    W v[kBlendBlock], p[kBlendBlock], s[kBlendBlock];
    convert_block(in + i, v);
    convert_block(state + i, p);
    for (long k = 0; k < kBlendBlock; ++k) s[k] = v[k] * a + p[k] * b;
    if constexpr (std::is_integral_v<T>) {
      convert_block(s, state + i);
      store_truncated<T, W>(s, out + i);
    } else {
      convert_block(s, out + i);
    }
  }
  for (; i < n; ++i) {
    const W s = static_cast<W>(in[i]) * a + static_cast<W>(state[i]) * b;
    if constexpr (std::is_integral_v<T>) {
      state[i] = static_cast<S>(s);
      out[i] = truncate_to<T>(s);
    } else {
      out[i] = static_cast<T>(s);
    }
  }
}

}  // namespace temporal
