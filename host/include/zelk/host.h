// The embedded host's own interface, for the programs that stand in for Max:
// the runner, the tests, the fuzzer and the benchmarks. Plug-ins never include
// this header; they see only the SDK-named headers (ext.h, jit.common.h,
// max.jit.mop.h).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "jit.common.h"

namespace zelk::host {

// ---- plug-ins -------------------------------------------------------------

// Folders searched for plug-ins, in order. Starts with the build's plug-in
// folder (or $ZELK_PLUGIN_DIR when set).
void add_plugin_dir(const std::string& dir);
void set_plugin_dirs(const std::vector<std::string>& dirs);
std::vector<std::string> plugin_dirs();

// Loads the plug-in of a Max object name ("zelk.label" -> zelk.label.so in a
// plug-in folder) and calls its `main`, once per process. False, with the
// reason in *why, when it cannot be found or loaded or registers no class.
bool load_object(const std::string& name, std::string* why = nullptr);

// Object names of every plug-in in the plug-in folders, sorted.
std::vector<std::string> available_objects();

// Makes `main` the plug-in of object `name` inside this process (tests, tools):
// load_object then calls it, once, as it would a plug-in's export. False when
// the name is taken or already loaded.
bool register_object_main(const std::string& name, void (*main)());

// ---- what an object box sends ----------------------------------------------

struct Event {
  enum class Kind { Outlet, Error, Console };
  Kind kind = Kind::Outlet;
  int outlet = -1;                 // Outlet: index, 0 = leftmost
  t_symbol* selector = nullptr;    // Outlet: "jit_matrix", "list", "float", "int", ...
  std::vector<t_atom> atoms;       // Outlet: the message's atoms
  long code = 0;                   // Error: the code passed to jit_error_code
  std::string text;                // Console: one line posted with error()/post()
};

// The matrix a "jit_matrix NAME" outlet event names, or null.
void* event_matrix(const Event& e);

// ---- object boxes ----------------------------------------------------------

class Box {
 public:
  // Creates an instance from box text ("zelk.label @charmode 1"): loads the
  // plug-in when needed and calls the wrapper creator with the arguments.
  // Null, with the reason in *why, for an unknown object, a malformed
  // argument or a creator that returned null.
  static std::unique_ptr<Box> create(const std::string& text, std::string* why = nullptr);
  ~Box();  // frees the wrapper (and with it the computing object)
  Box(const Box&) = delete;
  Box& operator=(const Box&) = delete;

  const std::string& object_name() const;
  t_object* object() const;  // the wrapper record
  void* jit_object() const;  // the computing object
  int outlet_count() const;
  // Inlets that take messages: the matrix operator's inputs, at least 1.
  int inlet_count() const;

  // The assist text of an inlet (direction 1) or outlet (direction 2), 0 =
  // leftmost, from the wrapper class's "assist" method as Max calls it; ""
  // when the class has none or gives no text for that index.
  std::string assist(int direction, int index) const;

  // An attribute's current value, as the host reads it for itself (so the
  // attributes a patch may not get are read too): the computing object's,
  // else the wrapper's own (outputmode, adapt). Every value of an array.
  // Empty for an unknown attribute or one that cannot be read at all.
  std::vector<t_atom> attribute(const std::string& name) const;

  // Into an inlet, as a patch cord delivers it.
  void send_matrix(void* matrix, int inlet = 0);  // "jit_matrix NAME"
  void send(t_symbol* selector, const std::vector<t_atom>& args = {}, int inlet = 0);
  // "threshold 5", "bang", "seed 3 4": numbers become long or float atoms.
  // False (with *why) when the object has no such message.
  bool send_text(const std::string& message, std::string* why = nullptr);

  // What outlet `outlet` sends is delivered into dest's inlet, depth first.
  // One outlet's connections fire in the order they were made.
  void connect(int outlet, Box& dest, int inlet = 0);

  // Everything this box sent or posted, in order. The listener, when set,
  // sees each event as it happens (before any connected box runs).
  const std::vector<Event>& events() const;
  void clear_events();
  std::function<void(const Event&)> on_event;

  struct Impl;
  explicit Box(std::unique_ptr<Impl> impl);

 private:
  std::unique_ptr<Impl> impl_;
};

// ---- matrices ----------------------------------------------------------------

// A new host matrix (16-byte aligned rows), cleared to 0. Free it with
// jit_object_free.
void* new_matrix(t_symbol* type, long planecount, const std::vector<long>& dims);
// A matrix whose rows are `row_stride` bytes apart (>= the packed row), for
// padded-stride tests; dims of 0 give an empty matrix.
void* new_matrix_strided(t_symbol* type, long planecount, const std::vector<long>& dims,
                         long row_stride);
// A matrix that has an info but no data (getdata yields null).
void* new_matrix_without_data(t_symbol* type, long planecount, const std::vector<long>& dims);

t_jit_matrix_info matrix_info(void* matrix);
char* matrix_data(void* matrix);

// A list of matrices answering getindex, as matrix_calc receives it (the
// matrices stay the caller's). Free it with jit_object_free.
void* new_matrix_list(const std::vector<void*>& matrices);
// Sends matrix_calc to a computing object with lists of these matrices.
t_jit_err matrix_calc(void* jit_object, const std::vector<void*>& inputs,
                      const std::vector<void*>& outputs);

// ---- the host's resources -----------------------------------------------------

// Memory the host has handed out (matrix data, jit_getbytes): bytes still
// held and the number of allocations made since the process started.
struct Memory {
  long long live_bytes = 0;
  long long allocations = 0;
};
Memory memory();

// The largest block the host hands out (matrix data, jit_getbytes); a larger
// request fails as out of memory. Default and ceiling: 16 GiB, or 2 GiB on
// Windows, where a matrix info's sizes are 32-bit. Fuzzing lowers it so
// that huge but legal sizes are refused instead of zeroed for minutes.
void set_max_block_bytes(long long bytes);
long long max_block_bytes();

// Worker threads of jit_parallel_ndim_simplecalc*; default: the machine's cores.
void set_worker_threads(int n);
int worker_threads();
// How the parallel calculation cuts a matrix into parts: Even, one part per
// worker thread along rows (or dimension 0); Awkward, every call cut along
// both first dimensions into a one-cell part, an odd-sized part and the
// rest, for tests. The default is Awkward when ZELK_PARALLEL_CUTS=awkward.
enum class ParallelCuts { Even, Awkward };
void set_parallel_cuts(ParallelCuts cuts);
ParallelCuts parallel_cuts();

// Console lines are also printed to standard error unless switched off.
void set_console_echo(bool on);

// ---- class description, read from what a plug-in registered -------------------

struct AttributeInfo {
  std::string name;
  std::string type;  // "char", "long", "float32", "float64", "atom", "symbol"
  long flags = 0;
  long max_count = 1;  // > 1 for array attributes
  bool user_gettable = true;
  bool user_settable = true;
  bool clip_min = false, clip_max = false;
  double min = 0, max = 0;
  bool wrapper = false;  // the Max wrapper's (outputmode, dim, ...), not the object's
};
// One matrix input or output as the operator declares it (its jit_mop
// adornment): what it takes, and whether an output follows the first input.
struct MatrixIoInfo {
  std::vector<std::string> types;
  long minplanecount = 1, maxplanecount = 1;
  long mindimcount = 1, maxdimcount = 1;  // the number of dimensions
  bool planelink = true, typelink = true, dimlink = true;
};
struct ClassInfo {
  std::string max_name;
  std::string jit_name;
  // What the wrapper's A_CANT "description" method returns, called with a
  // null object (the text is the class's); empty when it has none.
  std::string description;
  std::vector<AttributeInfo> attributes;  // in registration order
  std::vector<std::string> messages;      // Jitter methods a patch may send, and Max messages
  // What the Max wrapper adds to every matrix object (an attribute of the
  // object's own of the same name hides the wrapper's).
  std::vector<AttributeInfo> wrapper_attributes;
  std::vector<std::string> wrapper_messages;
  int matrix_inputs = 0, matrix_outputs = 0;
  std::vector<MatrixIoInfo> inputs, outputs;  // matrix_inputs and matrix_outputs of them
};
// Description of a loaded object; false when the object is not loaded.
bool class_info(const std::string& max_name, ClassInfo* out);

}  // namespace zelk::host
