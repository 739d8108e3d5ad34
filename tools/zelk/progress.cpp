#include "tools/zelk/progress.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tools/zelk/platform.h"

namespace zelk::runner {

Progress::Progress(bool wanted, long total) : on_(wanted && stderr_is_terminal()), total_(total) {}

Progress::~Progress() {
  // Spaces, not an escape sequence: not every Windows console reads those.
  if (on_ && drawn_ >= 0) std::fprintf(stderr, "\r%*s\r", width_, "");
}

void Progress::advance() {
  ++done_;
  if (on_) draw();
}

void Progress::draw() {
  constexpr int kWidth = 30;
  char line[160];
  int key;
  if (total_ > 0) {
    const int filled = static_cast<int>(kWidth * std::min(done_, total_) / total_);
    key = filled * 100000 + static_cast<int>(done_ % 100000);
    std::snprintf(line, sizeof line, "\r[%.*s%.*s] %ld/%ld frames", filled, "##############################",
                  kWidth - filled, "..............................", done_, total_);
  } else {
    key = static_cast<int>(done_ % 100000);
    std::snprintf(line, sizeof line, "\r%ld frames", done_);
  }
  if (key == drawn_) return;
  drawn_ = key;
  width_ = std::max(width_, static_cast<int>(std::strlen(line)) - 1);  // after the \r
  std::fputs(line, stderr);
  std::fflush(stderr);
}

}  // namespace zelk::runner
