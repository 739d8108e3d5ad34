// Runs frames and messages through a graph of boxes and reports what they
// send: JSON event lines, saved matrices, rendered pictures, and a record of
// each frame for whoever wants one (the demo).
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>

#include "tools/zelk/array.h"
#include "tools/zelk/graph.h"
#include "tools/zelk/render.h"
#include "tools/zelk/sources.h"

namespace zelk::runner {

struct SessionOptions {
  bool print_events = true;
  std::string save;    // folder for every matrix sent, or empty
  std::string render;  // folder for pictures, or empty
  const Patch* patch = nullptr;  // the patch the graph was built from: its windows are drawn too
  FrameFilter filter;
  bool keep_records = false;  // hand each frame's record to on_frame
  bool trace = false;         // print what every box sends
};

// Where the time of a run went.
struct Timing {
  double objects = 0;  // inside the boxes (the host and the plug-ins)
  double runner = 0;   // the runner's own: filters, copies, lines, saving, drawing
};

class Session {
 public:
  Session(Graph& graph, SessionOptions options);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Prints (or drops) what the boxes said while being created; call once.
  void report_creation();
  // One frame into the graph (the filter, if any, applies to it in place).
  // False, with the reason, when a matrix cannot be made or a file cannot be
  // written.
  bool run_frame(Array& frame, std::string* why);
  // A message to box `node`; false, with the reason, when it does not take it.
  bool send(int node, const std::string& message, std::string* why);

  long frame() const { return frame_; }
  const Timing& timing() const { return timing_; }
  std::function<void(long frame, const FrameRecord&)> on_frame;

 private:
  void on_event(int node, const host::Event& e);
  void report(int node, const host::Event& e);
  std::string event_line(int node, const host::Event& e, int patch_outlet);
  std::string save_matrix(int node, void* matrix, const t_jit_matrix_info& info);
  void print(const std::string& line);

  Graph& graph_;
  SessionOptions opt_;
  // The matrix frames go in by: kept from frame to frame, reshaped only when
  // a frame's type, planes or size change.
  void* input_ = nullptr;
  long frame_ = 0;
  bool in_frame_ = false;
  FrameRecord record_;
  std::string failure_;
  std::map<std::string, int> saved_;  // file name -> matrices saved under it
  Timing timing_;
  double inside_runner_ = 0;  // seconds of this frame's sends spent reporting, not computing
};

// The frame as a host matrix, or null.
void* matrix_of(const Array& a);
// `*matrix` holding `a`'s cells, made or reshaped as needed: it borrows
// them where their layout is the host's (it must not outlive them then),
// else they are copied in. False when no matrix can be made.
bool fill_matrix(Array& a, void** matrix);
// A host matrix's cells, packed; false when it has none or no data.
bool array_of(void* matrix, Array* out);

}  // namespace zelk::runner
