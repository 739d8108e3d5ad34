#include "moments/byte_rows.h"

#include <algorithm>

#include "frame/cpu.h"

#if defined(ZELK_X86_KERNELS)
#include <emmintrin.h>
#include <immintrin.h>
#endif

namespace moments {
namespace {

using i128 = __int128;

// Tiles of 16 cells: within a tile the column is 16 j + x' with x' < 16,
// so x'^3 fits 16 bits and pmaddwd forms the tile's power sums. The tile
// index powers come from running prefix sums (summation by parts), which
// keeps the inner loop free of multiplications by j. A segment is short
// enough that the deepest prefix sum (D0, about n^4/24 times 2040) stays
// below 2^31 in every 32-bit lane.
constexpr long kTile = 16;
constexpr long kMomentSegment = 64;
constexpr long kCentroidSegment = 1024;

// The kernel set a call runs: 32-byte vectors, the 16-byte x86-64 baseline,
// or plain C++ with the same tiles. All give the same exact sums.
enum class Path : unsigned char { Avx2, Sse2, Portable };
ByteKernel g_kernel = ByteKernel::Fastest;

Path path() {
#if defined(ZELK_X86_KERNELS)
  if (g_kernel == ByteKernel::Fastest && frame::cpu_has_avx2()) return Path::Avx2;
  if (g_kernel != ByteKernel::Portable) return Path::Sse2;
#endif
  return Path::Portable;
}

#if defined(ZELK_X86_KERNELS)
std::int64_t hsum32(__m128i v) {
  alignas(16) std::int32_t l[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(l), v);
  return static_cast<std::int64_t>(l[0]) + l[1] + l[2] + l[3];
}

__m128i weights(int base, int power) {
  alignas(16) std::int16_t w[8];
  for (int i = 0; i < 8; ++i) {
    int x = base + i, p = 1;
    for (int k = 0; k < power; ++k) p *= x;
    w[i] = static_cast<std::int16_t>(p);
  }
  return _mm_load_si128(reinterpret_cast<const __m128i*>(w));
}

std::uint64_t byte_sum_sse2(const std::uint8_t* row, long vectors) {
  const __m128i z = _mm_setzero_si128();
  __m128i acc = z;
  for (long v = 0; v < vectors; ++v)
    acc = _mm_add_epi64(
        acc, _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + v * 16)), z));
  alignas(16) std::uint64_t l[2];
  _mm_store_si128(reinterpret_cast<__m128i*>(l), acc);
  return l[0] + l[1];
}

__attribute__((target("avx2"))) std::uint64_t byte_sum_avx2(const std::uint8_t* row, long vectors) {
  const __m256i z = _mm256_setzero_si256();
  __m256i acc = z;
  for (long v = 0; v < vectors; ++v)
    acc = _mm256_add_epi64(
        acc,
        _mm256_sad_epu8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + v * 32)), z));
  alignas(32) std::uint64_t l[4];
  _mm256_store_si256(reinterpret_cast<__m256i*>(l), acc);
  _mm256_zeroupper();
  return l[0] + l[1] + l[2] + l[3];
}
#endif

// Out of line: on x86-64 only tests run it, and inlined it would swell the
// row loop around the vector kernels.
[[gnu::noinline]] std::uint64_t byte_sum_plain(const std::uint8_t* row, long vectors) {
  std::uint64_t t = 0;
  for (long v = 0; v < vectors; ++v) {
    unsigned s = 0;
    for (long i = 0; i < 16; ++i) s += row[v * 16 + i];
    t += s;
  }
  return t;
}

}  // namespace

namespace {

// The prefix sums of one segment of n tiles, tile j covering columns
// s + w j .. s + w j + w - 1, added into R[k] = sum x^k v. With r = n - j:
// a = sum T, b = sum r T, c = sum r(r+1)/2 T, d = sum r(r+1)(r+2)/6 T.
struct Segment {
  i128 a0, b0, c0, d0, a1, b1, c1, a2, b2, a3;
};

void add_segment(const Segment& g, long n, long s_col, long w, i128 R[4]) {
  const i128 N = n;
  // J[l][i] = sum j^l T_i.
  const i128 rr0 = 2 * g.c0 - g.b0, rrr0 = 6 * g.d0 - 6 * g.c0 + g.b0, rr1 = 2 * g.c1 - g.b1;
  const i128 J00 = g.a0, J10 = N * g.a0 - g.b0, J20 = N * N * g.a0 - 2 * N * g.b0 + rr0;
  const i128 J30 = N * N * N * g.a0 - 3 * N * N * g.b0 + 3 * N * rr0 - rrr0;
  const i128 J01 = g.a1, J11 = N * g.a1 - g.b1, J21 = N * N * g.a1 - 2 * N * g.b1 + rr1;
  const i128 J02 = g.a2, J12 = N * g.a2 - g.b2, J03 = g.a3;
  // U[m][i] = sum (s + w j)^m T_i.
  const i128 s = s_col, s2 = s * s, s3 = s2 * s, W = w, W2 = W * W, W3 = W2 * W;
  const i128 U10 = s * J00 + W * J10, U11 = s * J01 + W * J11, U12 = s * J02 + W * J12;
  const i128 U20 = s2 * J00 + 2 * s * W * J10 + W2 * J20;
  const i128 U21 = s2 * J01 + 2 * s * W * J11 + W2 * J21;
  const i128 U30 = s3 * J00 + 3 * s2 * W * J10 + 3 * s * W2 * J20 + W3 * J30;
  R[0] += J00;
  R[1] += U10 + J01;
  R[2] += U20 + 2 * U11 + J02;
  R[3] += U30 + 3 * U21 + 3 * U12 + J03;
}

// The tiles' sums one cell at a time, in 64-bit totals that no segment can
// overflow; the compiler vectorises the cells of a tile.
struct TileSums {
  std::int32_t t[4];
};

inline TileSums tile_sums(const std::uint8_t* q, int powers) {
  TileSums s{{0, 0, 0, 0}};
  for (std::int32_t x = 0; x < kTile; ++x) {
    const std::int32_t v = q[x];
    s.t[0] += v;
    s.t[1] += x * v;
    if (powers > 2) {
      s.t[2] += x * x * v;
      s.t[3] += x * x * x * v;
    }
  }
  return s;
}

long moment_tiles_plain(const std::uint8_t* row, long width, i128 R[4]) {
  const long tiles = width / kTile;
  for (long t = 0; t < tiles;) {
    const long n = std::min(kMomentSegment, tiles - t);
    const std::uint8_t* q = row + t * kTile;
    std::int64_t A0 = 0, B0 = 0, C0 = 0, D0 = 0, A1 = 0, B1 = 0, C1 = 0, A2 = 0, B2 = 0, A3 = 0;
    for (long j = 0; j < n; ++j) {
      const TileSums T = tile_sums(q + j * kTile, 4);
      A0 += T.t[0];
      B0 += A0;
      C0 += B0;
      D0 += C0;
      A1 += T.t[1];
      B1 += A1;
      C1 += B1;
      A2 += T.t[2];
      B2 += A2;
      A3 += T.t[3];
    }
    add_segment(Segment{A0, B0, C0, D0, A1, B1, C1, A2, B2, A3}, n, t * kTile, kTile, R);
    t += n;
  }
  return tiles * kTile;
}

long centroid_tiles_plain(const std::uint8_t* row, long width, i128& R0, i128& R1) {
  const long tiles = width / kTile;
  for (long t = 0; t < tiles;) {
    const long n = std::min(kCentroidSegment, tiles - t);
    const std::uint8_t* q = row + t * kTile;
    std::int64_t A0 = 0, B0 = 0, A1 = 0;
    for (long j = 0; j < n; ++j) {
      const TileSums T = tile_sums(q + j * kTile, 2);
      A0 += T.t[0];
      B0 += A0;
      A1 += T.t[1];
    }
    const i128 N = n;
    R0 += A0;
    R1 += static_cast<i128>(t * kTile) * A0 + kTile * (N * A0 - B0) + A1;
    t += n;
  }
  return tiles * kTile;
}

#if defined(ZELK_X86_KERNELS)
long moment_tiles_sse2(const std::uint8_t* row, long width, i128 R[4]) {
  const __m128i z = _mm_setzero_si128();
  const __m128i w1l = weights(0, 1), w1h = weights(8, 1);
  const __m128i w2l = weights(0, 2), w2h = weights(8, 2);
  const __m128i w3l = weights(0, 3), w3h = weights(8, 3);
  const long tiles = width / kTile;
  for (long t = 0; t < tiles;) {
    const long n = std::min(kMomentSegment, tiles - t);
    const std::uint8_t* q = row + t * kTile;
    __m128i A0 = z, B0 = z, C0 = z, D0 = z, A1 = z, B1 = z, C1 = z, A2 = z, B2 = z, A3 = z;
    for (long j = 0; j < n; ++j) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + j * kTile));
      const __m128i lo = _mm_unpacklo_epi8(v, z), hi = _mm_unpackhi_epi8(v, z);
      const __m128i T0 = _mm_sad_epu8(v, z);
      const __m128i T1 = _mm_add_epi32(_mm_madd_epi16(lo, w1l), _mm_madd_epi16(hi, w1h));
      const __m128i T2 = _mm_add_epi32(_mm_madd_epi16(lo, w2l), _mm_madd_epi16(hi, w2h));
      const __m128i T3 = _mm_add_epi32(_mm_madd_epi16(lo, w3l), _mm_madd_epi16(hi, w3h));
      A0 = _mm_add_epi32(A0, T0);
      B0 = _mm_add_epi32(B0, A0);
      C0 = _mm_add_epi32(C0, B0);
      D0 = _mm_add_epi32(D0, C0);
      A1 = _mm_add_epi32(A1, T1);
      B1 = _mm_add_epi32(B1, A1);
      C1 = _mm_add_epi32(C1, B1);
      A2 = _mm_add_epi32(A2, T2);
      B2 = _mm_add_epi32(B2, A2);
      A3 = _mm_add_epi32(A3, T3);
    }
    const Segment g{hsum32(A0), hsum32(B0), hsum32(C0), hsum32(D0), hsum32(A1),
                    hsum32(B1), hsum32(C1), hsum32(A2), hsum32(B2), hsum32(A3)};
    add_segment(g, n, t * kTile, kTile, R);
    t += n;
  }
  return tiles * kTile;
}

// The same with tiles of 32 cells (x'^3 < 2^15 still); 64 tiles a segment
// keep D0 below 2^31.
constexpr long kWideTile = 32;

__attribute__((target("avx2"))) std::int64_t hsum32x8(__m256i v) {
  alignas(32) std::int32_t l[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(l), v);
  std::int64_t t = 0;
  for (int i = 0; i < 8; ++i) t += l[i];
  return t;
}

// unpacklo/hi work within 128-bit halves: lo holds cells 0-7 and 16-23,
// hi cells 8-15 and 24-31.
__attribute__((target("avx2"))) __m256i wide_weights(int half_a, int half_b, int power) {
  alignas(32) std::int16_t w[16];
  for (int i = 0; i < 16; ++i) {
    int x = (i < 8 ? half_a : half_b) + (i & 7), p = 1;
    for (int k = 0; k < power; ++k) p *= x;
    w[i] = static_cast<std::int16_t>(p);
  }
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(w));
}

__attribute__((target("avx2"))) long moment_tiles_avx2(const std::uint8_t* row, long width,
                                                       i128 R[4]) {
  const __m256i z = _mm256_setzero_si256();
  const __m256i w1l = wide_weights(0, 16, 1), w1h = wide_weights(8, 24, 1);
  const __m256i w2l = wide_weights(0, 16, 2), w2h = wide_weights(8, 24, 2);
  const __m256i w3l = wide_weights(0, 16, 3), w3h = wide_weights(8, 24, 3);
  const long tiles = width / kWideTile;
  for (long t = 0; t < tiles;) {
    const long n = std::min(kMomentSegment, tiles - t);
    const std::uint8_t* q = row + t * kWideTile;
    __m256i A0 = z, B0 = z, C0 = z, D0 = z, A1 = z, B1 = z, C1 = z, A2 = z, B2 = z, A3 = z;
    for (long j = 0; j < n; ++j) {
      const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q + j * kWideTile));
      const __m256i lo = _mm256_unpacklo_epi8(v, z), hi = _mm256_unpackhi_epi8(v, z);
      const __m256i T0 = _mm256_sad_epu8(v, z);
      const __m256i T1 = _mm256_add_epi32(_mm256_madd_epi16(lo, w1l), _mm256_madd_epi16(hi, w1h));
      const __m256i T2 = _mm256_add_epi32(_mm256_madd_epi16(lo, w2l), _mm256_madd_epi16(hi, w2h));
      const __m256i T3 = _mm256_add_epi32(_mm256_madd_epi16(lo, w3l), _mm256_madd_epi16(hi, w3h));
      A0 = _mm256_add_epi32(A0, T0);
      B0 = _mm256_add_epi32(B0, A0);
      C0 = _mm256_add_epi32(C0, B0);
      D0 = _mm256_add_epi32(D0, C0);
      A1 = _mm256_add_epi32(A1, T1);
      B1 = _mm256_add_epi32(B1, A1);
      C1 = _mm256_add_epi32(C1, B1);
      A2 = _mm256_add_epi32(A2, T2);
      B2 = _mm256_add_epi32(B2, A2);
      A3 = _mm256_add_epi32(A3, T3);
    }
    const Segment g{hsum32x8(A0), hsum32x8(B0), hsum32x8(C0), hsum32x8(D0), hsum32x8(A1),
                    hsum32x8(B1), hsum32x8(C1), hsum32x8(A2), hsum32x8(B2), hsum32x8(A3)};
    add_segment(g, n, t * kWideTile, kWideTile, R);
    t += n;
  }
  // Dirty upper halves make every later SSE instruction pay a merge.
  _mm256_zeroupper();
  return tiles * kWideTile;
}

long centroid_tiles_sse2(const std::uint8_t* row, long width, i128& R0, i128& R1) {
  const __m128i z = _mm_setzero_si128();
  const __m128i w1l = weights(0, 1), w1h = weights(8, 1);
  const long tiles = width / kTile;
  for (long t = 0; t < tiles;) {
    const long n = std::min(kCentroidSegment, tiles - t);
    const std::uint8_t* q = row + t * kTile;
    __m128i A0 = z, B0 = z, A1 = z;
    for (long j = 0; j < n; ++j) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + j * kTile));
      const __m128i lo = _mm_unpacklo_epi8(v, z), hi = _mm_unpackhi_epi8(v, z);
      A0 = _mm_add_epi32(A0, _mm_sad_epu8(v, z));
      B0 = _mm_add_epi32(B0, A0);
      A1 = _mm_add_epi32(A1, _mm_add_epi32(_mm_madd_epi16(lo, w1l), _mm_madd_epi16(hi, w1h)));
    }
    const i128 N = n, a0 = hsum32(A0), b0 = hsum32(B0), a1 = hsum32(A1);
    R0 += a0;
    R1 += static_cast<i128>(t * kTile) * a0 + 16 * (N * a0 - b0) + a1;
    t += n;
  }
  return tiles * kTile;
}
#endif

}  // namespace

void byte_row_moments(const std::uint8_t* row, long width, u128 r[4]) {
  i128 R[4] = {0, 0, 0, 0};
  long done = 0;
  if (width > 0) {
    switch (path()) {
#if defined(ZELK_X86_KERNELS)
      case Path::Avx2: done = moment_tiles_avx2(row, width, R); break;
      case Path::Sse2: done = moment_tiles_sse2(row, width, R); break;
#endif
      default: done = moment_tiles_plain(row, width, R); break;
    }
  }
  for (long x = done; x < width; ++x) {
    const i128 v = row[x], X = x;
    R[0] += v;
    R[1] += X * v;
    R[2] += X * X * v;
    R[3] += X * X * X * v;
  }
  for (int k = 0; k < 4; ++k) r[k] = static_cast<u128>(R[k]);
}

void byte_row_centroid(const std::uint8_t* row, long width, u128 r[2]) {
  i128 R0 = 0, R1 = 0;
  long done = 0;
  if (width > 0) {
    // 16-byte tiles on either x86 path: 32-byte ones gain nothing here.
#if defined(ZELK_X86_KERNELS)
    if (path() != Path::Portable)
      done = centroid_tiles_sse2(row, width, R0, R1);
    else
#endif
      done = centroid_tiles_plain(row, width, R0, R1);
  }
  for (long x = done; x < width; ++x) {
    R0 += row[x];
    R1 += static_cast<i128>(x) * row[x];
  }
  r[0] = static_cast<u128>(R0);
  r[1] = static_cast<u128>(R1);
}

namespace {

// Byte position b of a row belongs to plane b % planecount; when the plane
// count divides 16 that holds for every vector alike, so 16-bit lanes
// gather the even and the odd positions: one lane sums the whole 16-bit
// words (even + 256 odd, modulo 2^16), the other the odd bytes, and the
// even sum is their difference. A lane takes 256 vectors of 255 before it
// must be folded.
constexpr long kFoldEvery = 256;

// 16-byte vectors as 8 lanes, the words read little-endian as SSE2 does.
// Out of line for the reason given at byte_sum_plain.
[[gnu::noinline]] void lanes_plain(const std::uint8_t* row, long vectors, std::uint16_t* words, std::uint16_t* odd) {
  std::uint16_t e[8], o[8];  // locals: stores through words would alias row
  for (int i = 0; i < 8; ++i) e[i] = words[i], o[i] = odd[i];
  for (long v = 0; v < vectors; ++v) {
    const std::uint8_t* x = row + v * 16;
    for (int i = 0; i < 8; ++i) {
      e[i] = static_cast<std::uint16_t>(e[i] + x[2 * i] + (x[2 * i + 1] << 8));
      o[i] = static_cast<std::uint16_t>(o[i] + x[2 * i + 1]);
    }
  }
  for (int i = 0; i < 8; ++i) words[i] = e[i], odd[i] = o[i];
}

#if defined(ZELK_X86_KERNELS)
void lanes_sse2(const std::uint8_t* row, long vectors, std::uint16_t* words, std::uint16_t* odd) {
  __m128i e = _mm_load_si128(reinterpret_cast<const __m128i*>(words));
  __m128i o = _mm_load_si128(reinterpret_cast<const __m128i*>(odd));
  for (long v = 0; v < vectors; ++v) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + v * 16));
    e = _mm_add_epi16(e, x);
    o = _mm_add_epi16(o, _mm_srli_epi16(x, 8));
  }
  _mm_store_si128(reinterpret_cast<__m128i*>(words), e);
  _mm_store_si128(reinterpret_cast<__m128i*>(odd), o);
}

__attribute__((target("avx2"))) void lanes_avx2(const std::uint8_t* row, long vectors,
                                                std::uint16_t* words, std::uint16_t* odd) {
  __m256i e = _mm256_load_si256(reinterpret_cast<const __m256i*>(words));
  __m256i o = _mm256_load_si256(reinterpret_cast<const __m256i*>(odd));
  long v = 0;
  for (; v + 2 <= vectors; v += 2) {
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + v * 32));
    const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + v * 32 + 32));
    // Word sums may wrap (they are taken modulo 2^16); odd-byte sums stay
    // below 2^16 between folds.
    e = _mm256_add_epi16(e, _mm256_add_epi16(x, y));
    o = _mm256_add_epi16(o, _mm256_add_epi16(_mm256_srli_epi16(x, 8), _mm256_srli_epi16(y, 8)));
  }
  for (; v < vectors; ++v) {
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + v * 32));
    e = _mm256_add_epi16(e, x);
    o = _mm256_add_epi16(o, _mm256_srli_epi16(x, 8));
  }
  _mm256_store_si256(reinterpret_cast<__m256i*>(words), e);
  _mm256_store_si256(reinterpret_cast<__m256i*>(odd), o);
  _mm256_zeroupper();
}
#endif

}  // namespace

ByteKernel use_byte_kernel(ByteKernel kernel) {
  const ByteKernel was = g_kernel;
  g_kernel = kernel;
  return was;
}

BytePlaneSums::BytePlaneSums(long planecount, long planes)
    : planecount_(planecount),
      planes_(planes),
      lanes_(planecount > 1 && 16 % planecount == 0),
      path_(static_cast<unsigned char>(path())) {}

void BytePlaneSums::flush() {
  // With 32-byte vectors lanes 8..15 hold positions 16..31, i.e. again 0..15.
  for (int i = 0; i < 16; ++i) {
    pos_[(2 * i) & 15] += static_cast<std::uint16_t>(words_[i] - (odd_[i] << 8));
    pos_[(2 * i + 1) & 15] += odd_[i];
    words_[i] = odd_[i] = 0;
  }
  pending_ = 0;
}

void BytePlaneSums::add_row(const std::uint8_t* row, long bytes) {
  if (bytes <= 0 || planecount_ <= 0) return;
  long done = 0;
  const Path path = static_cast<Path>(path_);
  // A shift, not a division: the width is known only at run time.
  const int shift = path == Path::Avx2 ? 5 : 4;
  const long vectors = bytes >> shift;
  if (planecount_ == 1) {
    std::uint64_t t;
    switch (path) {
#if defined(ZELK_X86_KERNELS)
      case Path::Avx2: t = byte_sum_avx2(row, vectors); break;
      case Path::Sse2: t = byte_sum_sse2(row, vectors); break;
#endif
      default: t = byte_sum_plain(row, vectors); break;
    }
    for (long b = vectors << shift; b < bytes; ++b) t += row[b];
    plane_[0] += t;
    return;
  }
  if (lanes_) {
    for (long v = 0; v < vectors;) {
      const long take = std::min(vectors - v, kFoldEvery - pending_);
      const std::uint8_t* at = row + (v << shift);
      switch (path) {
#if defined(ZELK_X86_KERNELS)
        case Path::Avx2: lanes_avx2(at, take, words_, odd_); break;
        case Path::Sse2: lanes_sse2(at, take, words_, odd_); break;
#endif
        default: lanes_plain(at, take, words_, odd_); break;
      }
      v += take;
      pending_ += take;
      if (pending_ == kFoldEvery) flush();
    }
    done = vectors << shift;  // a multiple of the plane count
    if (done == bytes) return;
  }
  const long cells = bytes / planecount_;
  for (long c = done / planecount_; c < cells; ++c)
    for (long p = 0; p < planes_; ++p) plane_[p] += row[c * planecount_ + p];
}

void BytePlaneSums::finish(std::uint64_t* totals) {
  flush();
  if (lanes_)
    for (int b = 0; b < 16; ++b)
      if (b % planecount_ < planes_) plane_[b % planecount_] += pos_[b];
  for (long p = 0; p < planes_; ++p) totals[p] += plane_[p];
}

}  // namespace moments
