// Plug-ins built against the Max SDK run in the embedded host only if both
// sets of headers agree on every layout and constant they share; this runs
// on each platform the host is built for (Windows under Wine).
#include <cstdio>
#include <cstring>

#include "layout.h"

int main() {
  int failed = 0;
  for (int i = 0; i < kLayoutEntries; ++i) {
    const LayoutEntry& s = sdk_layout[i];
    const LayoutEntry& h = host_layout[i];
    if (std::strcmp(s.what, h.what) != 0 || s.value != h.value) {
      std::printf("FAIL %s: the SDK has %lld, the host %lld\n", s.what, s.value, h.value);
      ++failed;
    }
  }
  std::printf("abi: %d passed, %d failed\n", kLayoutEntries - failed, failed);
  return failed ? 1 : 0;
}
