// Exact integer sums over rows of unsigned bytes, the fast path of the
// char kernels. As long as a total stays within 2^53 it equals the double
// sum that adds the same terms one cell at a time, since every term and
// every partial sum is then an integer that a double holds exactly.
#pragma once

#include <cstdint>

namespace moments {

using u128 = unsigned __int128;

inline constexpr double kExactLimit = 9007199254740992.0;  // 2^53
inline bool exact_in_double(u128 v) { return v <= (static_cast<u128>(1) << 53); }

// The kernels the sums below run: the fastest the processor has (32-byte
// vectors where it has AVX2), the build's baseline (16-byte vectors on
// x86-64, else the portable form) or the portable form in plain C++, the
// one other processors run. All give the same sums; tests compare them.
// Sets the kernels of later calls and returns the previous setting.
enum class ByteKernel { Fastest, Baseline, Portable };
ByteKernel use_byte_kernel(ByteKernel kernel);

// r[k] = sum over x of x^k * row[x], k = 0..3. Width up to 2^24.
void byte_row_moments(const std::uint8_t* row, long width, u128 r[4]);

// r[0] = sum of row[x], r[1] = sum of x * row[x]. Width up to 2^32.
void byte_row_centroid(const std::uint8_t* row, long width, u128 r[2]);

// Per-plane sums of packed rows of `planecount`-plane byte cells, kept
// across rows so that the vector lanes are folded only every few hundred
// vectors. Planes from `planes` (<= 32) on are skipped.
class BytePlaneSums {
 public:
  BytePlaneSums(long planecount, long planes);
  void add_row(const std::uint8_t* row, long bytes);
  // Adds the totals to totals[0 .. planes).
  void finish(std::uint64_t* totals);

 private:
  void flush();

  long planecount_, planes_;
  bool lanes_;  // the plane count divides 16: vector lanes map to planes
  unsigned char path_;  // the kernels, chosen when the sums start
  long pending_ = 0;
  alignas(32) std::uint16_t words_[16] = {}, odd_[16] = {};
  std::uint64_t pos_[16] = {};
  std::uint64_t plane_[32] = {};
};

}  // namespace moments
