// The boxes a run drives, joined as in a patch: a chain of box texts (box j
// into box j+1) or a .maxpat patch used as an abstraction (frames into its
// first inlet, what reaches its outlet boxes reported).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tools/zelk/patch.h"
#include "zelk/host.h"

namespace zelk::runner {

struct Node {
  std::unique_ptr<host::Box> box;
  std::string object;  // "zelk.label"
  std::string id;      // the patch's box id, empty in a chain
  host::ClassInfo info;
  int inlets = 1;
  bool sends_matrices = false;  // its leftmost outlet sends matrices
};

struct Wire {
  int from, outlet, to, inlet;
};

// Whether a box of this class takes `message` ("threshold 5", "reset",
// "getdim"): a message it has, or an attribute with values it accepts, or a
// getter of one a patch may read. False with the reason.
bool check_message(const host::ClassInfo& ci, const std::string& message, std::string* why);

class Graph {
 public:
  ~Graph();

  // False, with the reason naming the box, when a box names no zelk object,
  // has a malformed argument or cannot be created, or a line does not fit.
  bool build_chain(const std::vector<std::string>& texts, std::string* why);
  bool build_patch(const Patch& patch, std::string* why);

  bool is_patch() const { return is_patch_; }
  const std::vector<Node>& nodes() const { return nodes_; }
  const std::vector<Wire>& wires() const { return wires_; }
  // A box by its number or, in a patch, its id; -1 when there is none.
  int find(const std::string& ref) const;
  // The patch outlets (numbered from 1) that outlet `outlet` of box `node`
  // reaches; in a chain every outlet counts as reaching outlet 0.
  const std::vector<int>& reached_outlets(int node, int outlet) const;

  // Events of every box, as they happen; set after the creation events have
  // been taken (creation_events).
  void listen(std::function<void(int node, const host::Event&)> fn);
  // What the boxes said while being created, box by box, then forgotten.
  std::vector<std::pair<int, host::Event>> take_creation_events();
  // Fires the loadbang boxes, once, after the creation events were taken.
  void load();
  // One frame into the first inlet (box 0's inlet in a chain), then out of
  // every jit.movie and jit.grab.
  void send_frame(void* matrix);
  bool has_sources() const { return !sources_.empty(); }

 private:
  bool add_box(const std::string& text, const std::string& id, const std::string& where, std::string* why);

  bool is_patch_ = false;
  std::vector<Node> nodes_;
  std::vector<Wire> wires_;
  std::vector<std::pair<int, int>> entry_;             // (node, inlet) in firing order
  std::vector<int> sources_;                           // jit.movie and jit.grab nodes
  std::vector<std::vector<std::vector<int>>> reach_;   // [node][outlet] -> patch outlets
};

// What the host refuses only when a message comes, checked before anything
// runs by following the messages in their order: a size whose data would
// pass the host's largest block at the box's cell size then, and a matrix
// name that another box, or an earlier message to another box, holds.
class LateChecks {
 public:
  explicit LateChecks(const Graph& graph) : graph_(graph) {}
  bool check(int box, const std::string& message, std::string* why);

 private:
  struct Cells {
    std::string type;
    long planecount = 0;
  };
  Cells& cells_of(int box);
  const Graph& graph_;
  std::map<int, Cells> cells_;
  std::map<std::string, int> names_;  // out_name given by a message, by box
};

}  // namespace zelk::runner
