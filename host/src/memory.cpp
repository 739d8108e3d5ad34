// Counted memory: matrix data and jit_getbytes blocks carry a 16-byte header
// with their size, so the host can report what is live and how often it
// allocated (the steady state of a patch must not allocate).
#include <atomic>
#include <cstdlib>

#include "internal.h"

namespace zelk::host {
namespace {
std::atomic<long long> g_live{0};
std::atomic<long long> g_allocations{0};
std::atomic<long long> g_block_limit{detail::kMaxAllocation};
constexpr long long kHeader = 16;
}  // namespace

Memory memory() { return Memory{g_live.load(), g_allocations.load()}; }

void set_max_block_bytes(long long bytes) {
  g_block_limit = bytes < 0 || bytes > detail::kMaxAllocation ? detail::kMaxAllocation : bytes;
}
long long max_block_bytes() { return g_block_limit.load(); }

namespace detail {

void* counted_alloc(long long bytes) {
  if (bytes < 0 || bytes > g_block_limit.load(std::memory_order_relaxed)) return nullptr;
  // calloc is 16-byte aligned here and hands out zero pages lazily.
  auto* block = static_cast<char*>(std::calloc(1, static_cast<size_t>(bytes + kHeader)));
  if (!block) return nullptr;
  *reinterpret_cast<long long*>(block) = bytes;
  g_live += bytes;
  ++g_allocations;
  return block + kHeader;
}

void counted_free(void* p) {
  if (!p) return;
  char* block = static_cast<char*>(p) - kHeader;
  g_live -= *reinterpret_cast<long long*>(block);
  std::free(block);
}

}  // namespace detail
}  // namespace zelk::host

extern "C" {

void* jit_getbytes(long size) { return zelk::host::detail::counted_alloc(size); }

// The block knows its own size; the caller's size is not trusted.
void jit_freebytes(void* ptr, long) { zelk::host::detail::counted_free(ptr); }

}  // extern "C"
