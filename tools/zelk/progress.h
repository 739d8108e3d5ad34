// A progress bar on standard error for runs of many frames: only on a
// terminal, never with --quiet, and wiped when the run ends.
#pragma once

namespace zelk::runner {

class Progress {
 public:
  Progress(bool wanted, long total);  // total < 0: not known
  ~Progress();
  void advance();

 private:
  void draw();
  bool on_ = false;
  long total_, done_ = 0;
  int drawn_ = -1;  // what was last drawn, to redraw only on change
  int width_ = 0;   // the longest line drawn, to wipe it
};

}  // namespace zelk::runner
