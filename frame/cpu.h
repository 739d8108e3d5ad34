// What the processor offers the vector kernels, asked once per process.
// A feature counts only when the operating system also saves its registers
// across context switches; on anything but x86-64 every answer is false and
// the portable kernels run.
#pragma once

// x86-64 under a GNU-style compiler: where the x86 vector kernels and their
// intrinsics are built at all.
#if (defined(__x86_64__) || defined(_M_X64)) && defined(__GNUC__)
#define ZELK_X86_KERNELS 1
#endif

#if defined(ZELK_X86_KERNELS)
#include <cpuid.h>
#if defined(__APPLE__)
#include <sys/sysctl.h>
#endif
#endif

namespace frame {
namespace cpu_detail {

struct Features {
  bool avx2 = false;
  bool avx512f = false;
};

#if defined(ZELK_X86_KERNELS)
inline Features read_features() noexcept {
  Features f;
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return f;
  constexpr unsigned kOsXsave = 1u << 27, kAvx = 1u << 28;
  if ((c & kOsXsave) == 0 || (c & kAvx) == 0) return f;
  // XCR0: bits 1-2 the XMM and YMM halves; 5-7 the opmasks and the ZMM halves.
  unsigned lo = 0, hi = 0;
  __asm__("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
  (void)hi;
  const bool ymm = (lo & 0x06u) == 0x06u;
  bool zmm = (lo & 0xE6u) == 0xE6u;
#if defined(__APPLE__)
  // macOS turns the 512-bit state on at a thread's first use, so XCR0 does
  // not show it beforehand; the kernel says whether it will.
  int on = 0;
  size_t size = sizeof on;
  if (sysctlbyname("hw.optional.avx512f", &on, &size, nullptr, 0) == 0) zmm = ymm && on != 0;
#endif
  if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return f;
  f.avx2 = ymm && (b & (1u << 5)) != 0;
  f.avx512f = zmm && (b & (1u << 16)) != 0;
  return f;
}
#else
inline Features read_features() noexcept { return {}; }
#endif

inline const Features& features() noexcept {
  static const Features f = read_features();
  return f;
}

}  // namespace cpu_detail

inline bool cpu_has_avx2() noexcept { return cpu_detail::features().avx2; }
inline bool cpu_has_avx512f() noexcept { return cpu_detail::features().avx512f; }

}  // namespace frame
