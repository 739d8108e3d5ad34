// Internal model of the embedded host: classes, the bookkeeping kept in front
// of every record the host allocates, and the built-in objects (matrices,
// lists, matrix operators, attributes, the wrapper's obex). Shared by the
// host's sources only.
#pragma once

#include <cstdarg>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ext.h"
#include "jit.common.h"
#include "max.jit.mop.h"
#include "zelk/host.h"

namespace zelk::host::detail {

struct Class;
struct Instance;
struct Outlet;

// ---- classes and methods ------------------------------------------------------

// Function pointers change type through void(*)(), the form the compiler
// accepts as generic; the host calls each with the arguments it was made for.
template <class To, class From>
To fn_cast(From f) {
  return reinterpret_cast<To>(reinterpret_cast<void (*)()>(f));
}

enum class Sig { Cant, Gimme, None, Typed };

struct Method {
  t_symbol* name = nullptr;
  method fn = nullptr;
  Sig sig = Sig::None;
  std::vector<short> types;  // Typed: the argument types
};

// The values jit_object_new passes a built-in class after its name, each
// pointer-sized, as the SDK's 64-bit form of the call hands them over.
inline constexpr int kMaxNewArgs = 8;
struct NewArgs {
  void* p[kMaxNewArgs] = {};
  long as_long(int i) const { return static_cast<long>(reinterpret_cast<t_ptr_int>(p[i])); }
  template <class T>
  T as(int i) const { return reinterpret_cast<T>(p[i]); }
};

// Built-in classes construct and destroy their C++ side through these.
using BuiltinNew = void* (*)(Class* c, const NewArgs& args);

struct Attr;

struct Class {
  std::string name;
  t_symbol* sym = nullptr;
  bool is_max = false;
  method mnew = nullptr;
  method mfree = nullptr;
  long size = 0;
  std::vector<Method> methods;
  std::vector<Attr*> attrs;            // in registration order
  std::vector<t_object*> adornments;   // e.g. the jit_mop template
  bool registered = false;
  BuiltinNew builtin_new = nullptr;
  int builtin_args = 0;                // how many values builtin_new reads
  // Max wrapper classes only.
  short new_type = A_GIMME;
  long oboffset = -1;                  // where the record keeps its obex pointer
  Class* jit = nullptr;                // the wrapped Jitter class
  bool mop_wrapped = false;
  long mop_flags = 0;
  method mproc = nullptr;
  bool standard_wrapped = false;

  const Method* find_method(t_symbol* s) const;
  Attr* find_attr(const char* name) const;
  void add_method(const Method& m);  // replaces a method of the same name
};

// Class registry (mutex-protected inside).
Class* new_class(const std::string& name, bool is_max);
// A method of a built-in class, called directly with up to four pointers.
void add_direct_method(Class* c, const char* name, void* (*fn)(void*, void*, void*, void*, void*));
Class* find_jit_class(t_symbol* name);  // registered or built-in
void register_jit_class(Class* c);
Class* find_max_class(const std::string& object_name);
Class* current_max_class();

// Object name under which setup() files a Max class while a plug-in's main runs.
void set_loading_name(const std::string* name);

// ---- records --------------------------------------------------------------------

inline constexpr t_ptr_int kObjectMagic = 0x7A656C6B2D6F626AL;  // "zelk-obj"

// Host bookkeeping placed in front of every record the host allocates.
struct alignas(16) Prefix {
  t_ptr_int magic;
  Class* cls;
  t_symbol* registered;   // the name it is registered under, or null
  Instance* max;          // Max objects: outlets, box, obex
  void* wrapper;          // computing objects: the wrapper that owns it
  long size;
};

void* alloc_record(Class* c, long size);
// jit_object_new and jit_object_method behind both of their forms.
void* new_object(Class* c, const NewArgs& args);
void* send_method(void* x, t_symbol* s, void* a0, void* a1, void* a2, void* a3);
void release_record(void* x);  // unregisters and frees the memory, no free method
Prefix* prefix_of(void* x);    // null for anything the host did not allocate
Class* class_of(void* x);
void free_object(void* x);     // free method, then the record

// Method dispatch as jit_object_method does it: direct calls with raw args.
void* call_direct(void* x, const Method& m, t_symbol* s, void* a0, void* a1, void* a2, void* a3);
// Dispatch as a patch sends it: typed arguments converted from atoms.
void* call_typed(void* x, const Method& m, t_symbol* s, long argc, t_atom* argv);

// ---- named objects -----------------------------------------------------------------

void* register_object(void* x, t_symbol* s);
void unregister_object(void* x);

// ---- symbols -------------------------------------------------------------------------

t_symbol* gensym_fresh(const char* s);  // null when `s` is already interned

// ---- memory --------------------------------------------------------------------------

// Counted, 16-byte aligned, zeroed; null on failure or absurd size.
void* counted_alloc(long long bytes);
void counted_free(void* p);
// 16 GiB, or what a matrix info's `long` size can say (2 GiB on Windows).
inline constexpr long long kMaxAllocation = (1LL << 34) < LONG_MAX ? (1LL << 34) : LONG_MAX;

// ---- console and boxes ------------------------------------------------------------------

Box::Impl* current_box();
class BoxScope {
 public:
  explicit BoxScope(Box::Impl* b);
  ~BoxScope();
  BoxScope(const BoxScope&) = delete;
  BoxScope& operator=(const BoxScope&) = delete;

 private:
  Box::Impl* saved_;
};
void console_line(const std::string& text);  // records on the current box, echoes
void record_event(Box::Impl* box, Event&& e);
Box::Impl* box_of(void* x);  // the box of a wrapper or of its computing object

// ---- Max objects ---------------------------------------------------------------------------

struct Conn {
  Box::Impl* dest;
  int inlet;
};

struct Outlet {
  t_object* owner = nullptr;
  Instance* inst = nullptr;
  int order = 0;  // creation order; the last created is leftmost
  std::vector<Conn> conns;
};

struct Instance {
  std::vector<Outlet*> outlets;  // creation order
  int extra_inlets = 0;          // inlet_new calls: inlets beyond the leftmost
  Box::Impl* box = nullptr;
  void* obex = nullptr;
};

int outlet_index(const Outlet* o);
// Inlets a patch cord may reach: one per matrix input, or the leftmost and
// those made by inlet_new.
int inlet_count(t_object* x);
Outlet* outlet_at(t_object* x, int index);  // 0 = leftmost
void free_outlets(Instance* inst);
Instance* instance_of(void* x);
const char* object_name(void* x);  // Max object name of a wrapper, or class name

// Sends a message into inlet `inlet` of a Max object as a patch cord does.
enum class Dispatch { Handled, Refused, Unknown };
Dispatch max_dispatch(t_object* x, int inlet, t_symbol* s, long argc, t_atom* argv);
int current_inlet();
// Delivers what an outlet sends into a box, depth first.
void deliver(Box::Impl* dest, int inlet, t_symbol* s, long argc, t_atom* argv);

// ---- attributes ---------------------------------------------------------------------------------

inline constexpr long kAttrMaxArray = 1 << 16;

struct Attr {
  t_object ob;
  t_symbol* name;
  t_symbol* type;
  long flags;
  method get;
  method set;
  long offset;
  long countoffset;
  long maxcount;  // 1 for a scalar
  bool is_array;
  bool usemin, usemax;
  double min, max;
};

enum class Access { Internal, Patch };
bool attr_gettable(const Attr* a, Access how);
bool attr_settable(const Attr* a, Access how);
long attr_count(void* obj, const Attr* a);
// Writes at most `cap` atoms into `out`; returns how many the value has.
long attr_read(void* obj, const Attr* a, t_atom* out, long cap);
t_jit_err attr_write(void* obj, const Attr* a, long argc, const t_atom* argv);
// The getter protocol of "getNAME": (long* count, t_atom** atoms).
t_jit_err attr_get_message(void* obj, const Attr* a, long* count, t_atom** atoms);
// Finds an attribute by name on x's class, or on the obex of a wrapper.
Attr* find_attr_target(void* x, const char* name, void** target);
Class* attr_class();
Class* attr_array_class();
// A host attribute of a built-in class: a member at `offset`.
Attr* builtin_attr(Class* c, const char* name, t_symbol* type, long offset, long maxcount = 1,
                   long countoffset = 0);

// ---- matrices -----------------------------------------------------------------------------------------

struct Matrix {
  t_object ob;
  t_jit_matrix_info info;
  char* data;
  long capacity;  // bytes of the owned block, which may exceed info.size
  bool owns;
  long lock;
};

struct MatrixList {
  t_object ob;
  long count;
  void* items[JIT_MATRIX_MAX_DIMCOUNT];
};

Class* matrix_class();
Class* list_class();
Matrix* as_matrix(void* x);  // null unless x is a host matrix
Matrix* make_matrix(const t_jit_matrix_info& info, long row_stride = 0, bool with_data = true);
t_jit_err matrix_setinfo(Matrix* m, const t_jit_matrix_info* in);
t_jit_err matrix_copy_from(Matrix* dst, const Matrix* src);
bool type_known(t_symbol* t);
long type_size(t_symbol* t);
MatrixList* make_list();

// ---- matrix operator --------------------------------------------------------------------------------------

inline constexpr long kMaxTypes = 32;
inline constexpr long kMaxIo = 32;

struct Io {
  t_object ob;
  long types_count;
  t_symbol* types[kMaxTypes];
  long minplanecount, maxplanecount;
  long mindimcount, maxdimcount;  // the number of dimensions
  long mindim_count, maxdim_count;  // how many sizes each list below holds
  long mindim[JIT_MATRIX_MAX_DIMCOUNT];  // the size of each dimension
  long maxdim[JIT_MATRIX_MAX_DIMCOUNT];
  long planelink, typelink, dimlink;
};

struct Mop {
  t_object ob;
  long ninputs, noutputs;
  Io* inputs[kMaxIo];
  Io* outputs[kMaxIo];
  MatrixList* inputlist;   // a wrapper's operator only
  MatrixList* outputlist;
};

Class* mop_class();
Mop* as_mop(void* x);
Mop* mop_copy(const Mop* tmpl);
bool io_allows_type(const Io* io, t_symbol* t);
t_symbol* io_first_type(const Io* io, t_symbol* fallback);
// An info that fits the io's constraints (type, plane count, dimension count).
t_jit_matrix_info io_constrain(const Io* io, t_jit_matrix_info info);

// ---- the wrapper's obex ---------------------------------------------------------------------------------------

// Output modes of the wrapper, as Max numbers them.
inline constexpr long kModeNone = 0;   // no output
inline constexpr long kModeCalc = 1;   // calculate and output
inline constexpr long kModeInput = 2;  // pass the input through
inline constexpr long kModeLast = 3;   // send the last output again

struct Obex {
  t_object ob;
  long outputmode;
  long adapt;
  void* jitob;
  void* dumpout;
  Mop* mop;  // the instance's operator, with its lists
  Matrix* own_in[kMaxIo];
  Matrix* own_out[kMaxIo];
  Outlet* out_outlet[kMaxIo];
  bool mop_ready;
};

Class* obex_class();
Obex* obex_of(void* wrapper);

// Attribute access as a patch has it (box arguments, messages): the
// computing object's attributes, then the wrapper's own. Unknown when the
// object has no such attribute; refusals post a console line.
Dispatch patch_set(t_object* x, t_symbol* name, long argc, t_atom* argv);
Dispatch patch_get(t_object* x, const char* name);

}  // namespace zelk::host::detail

// The state of an object box, shared by the host's sources.
struct zelk::host::Box::Impl {
  Box* self = nullptr;
  std::string name;
  t_object* object = nullptr;
  std::vector<Event> events;
  std::vector<detail::Outlet*> incoming;  // outlets connected into this box
};
