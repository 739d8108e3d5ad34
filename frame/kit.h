// The binding kit: the mechanics every plug-in shares, so that a binding
// holds only its own values. Includes only the SDK-named headers, so a
// binding built on it compiles against the real Max SDK as well.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <type_traits>

#include "ext.h"
#include "jit.common.h"
#include "max.jit.mop.h"
#include "frame/errors.h"
#include "frame/matrix.h"

namespace frame {

static_assert(kErrGeneric == JIT_ERR_GENERIC && kErrInvalidPtr == JIT_ERR_INVALID_PTR &&
              kErrInvalidInput == JIT_ERR_INVALID_INPUT &&
              kErrInvalidOutput == JIT_ERR_INVALID_OUTPUT &&
              kErrMismatchType == JIT_ERR_MISMATCH_TYPE &&
              kErrMismatchPlane == JIT_ERR_MISMATCH_PLANE &&
              kErrMismatchDim == JIT_ERR_MISMATCH_DIM && kErrOutOfMemory == JIT_ERR_OUT_OF_MEM);

// The SDK's generic `method` pointer for any function, as Max registers
// them; the cast through void(*)() says the type change is intended.
template <class F>
method as_method(F* f) {
  return reinterpret_cast<method>(reinterpret_cast<void (*)()>(f));
}

// Attribute flag kinds.
inline constexpr long kAttrOrdinary = JIT_ATTR_GET_DEFER_LOW | JIT_ATTR_SET_USURP_LOW;  // 0x08040000
inline constexpr long kAttrOutput = JIT_ATTR_GET_DEFER_LOW | JIT_ATTR_SET_OPAQUE_USER;  // 0x00040200
inline constexpr long kAttrHidden = JIT_ATTR_GET_OPAQUE_USER | JIT_ATTR_SET_OPAQUE_USER;  // 0x00000300

// Constraints that an object puts on its matrix operator when it registers.
struct OutputLimits {
  long planecount = 0;       // min and max plane count, 0 = unconstrained
  long dimcount = 0;         // the number of dimensions (mindimcount = maxdimcount), 0 = any
  const char* types = nullptr;  // the output's types, space-separated, the first the default
};
struct MopSpec {
  long inputs = 1;
  long outputs = 1;
  const char* single_type = nullptr;  // every input and output
  long single_planecount = 0;         // every input and output, 0 = none
  bool output_nolink = false;         // output 1 does not follow input 1
  bool output_planelink_off = false;  // output 1 keeps its own plane count
  OutputLimits output;                // applied to output 1 when set
};

// List outlets of the list-output objects, left to right.
struct ListOutlet {
  const char* getter;  // "getmass"
  const char* assist;  // "(list) mass"
};
inline constexpr int kMaxListOutlets = 4;
inline constexpr long kAtomBufferCount = 32;

struct ListSpec {
  int count = 0;
  ListOutlet outlet[kMaxListOutlets] = {};
  bool buffered = true;  // false: getters allocate their atoms, freed after sending
  bool bang = true;      // the output step is also the bang handler
};

// Everything the registration sequence and the standard creators need.
struct ClassSpec {
  const char* max_name;  // "zelk.label"
  const char* jit_name;  // "zelk_label"
  // One line of what the object does, for the reference tools; answered by
  // the wrapper's "description" method.
  const char* description;  // "numbers the 4-connected blobs of a binary image"
  long jit_size;
  method jit_new;
  method jit_free;
  method matrix_calc;
  long max_size;  // wrapper record size
  MopSpec mop;
  ListSpec lists;                      // count 0: a matrix object
  void (*after_setup)(void* max) = nullptr;  // extra set-up of the wrapper (before @args)
};

// Wrapper record of a matrix object.
struct MaxWrapper {
  t_object ob;
  void* obex;
};

// Wrapper record of a list-output object: N list outlets, leftmost first,
// then the atom buffer of the buffered objects (Buffered false: none).
template <int N, bool Buffered = true>
struct ListWrapper {
  t_object ob;
  void* obex;
  void* outlet[N];
  t_atom* atoms;
};
template <int N>
struct ListWrapper<N, false> {
  t_object ob;
  void* obex;
  void* outlet[N];
};

// ---- registration ------------------------------------------------------------

// Step 1 up to the attributes: the Jitter class with its operator and
// matrix_calc. Returns the class for add_attribute/add_method.
void* begin_class(const ClassSpec& spec);

struct Clip {
  bool use_min = false, use_max = false;
  double min = 0, max = 0;
};
inline Clip clip(double lo, double hi) { return Clip{true, true, lo, hi}; }

// Max stores an attribute in the C type its declared type names: "long" is
// a C `long` (4 bytes on Windows), "atom_long" a t_atom_long. A member of
// another type would be read and written at the wrong size, so the
// registering macros below refuse it at compile time.
template <class T>
consteval bool stores(std::string_view declared) {
  if (declared == "char") return std::is_same_v<T, unsigned char>;
  if (declared == "long") return std::is_same_v<T, long>;
  if (declared == "atom_long") return std::is_same_v<T, t_atom_long>;
  if (declared == "float32") return std::is_same_v<T, float>;
  if (declared == "float64") return std::is_same_v<T, double>;
  if (declared == "symbol") return std::is_same_v<T, t_symbol*>;
  if (declared == "atom") return std::is_same_v<T, t_atom>;
  return false;
}
void member_type_does_not_match_declared_type();  // never defined: named in the error
template <class T>
consteval const char* checked_type(const char* declared) {
  if (!stores<T>(declared)) member_type_does_not_match_declared_type();
  return declared;
}

void add_attribute(void* jclass, const char* name, const char* type, long offset,
                   long flags = kAttrOrdinary, Clip c = {});
void add_array_attribute(void* jclass, const char* name, const char* type, long max_count,
                         long count_offset, long offset, long flags = kAttrOrdinary,
                         Clip c = {});
void add_method(void* jclass, method m, const char* name);  // a message with no arguments

// A new computing record of this plug-in's Jitter class (zeroed), for the
// computing creator; null when the host cannot allocate it.
void* alloc_instance();

// The rest of the sequence: register the Jitter class, then the Max class,
// its wrapper, the standard messages, assist, description and, for list
// objects, bang and the getter symbols.
void finish_class(void* jclass, const ClassSpec& spec);

// ---- matrix_calc helpers -------------------------------------------------------

// Locks a matrix for the scope and restores its previous lock state.
class Locked {
 public:
  explicit Locked(void* matrix);
  ~Locked();
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  void* matrix_;
  void* saved_;
};

void* list_matrix(void* list, long index);  // getindex
t_jit_matrix_info get_info(void* matrix);
t_jit_err set_info(void* matrix, t_jit_matrix_info& info);  // setinfo, then read back into info
char* get_data(void* matrix);
void clear(void* matrix);
CellType cell_type(t_symbol* type);
// False when some dimension is 0: the matrix has no cells to read or write,
// whatever its first two dimensions say.
bool has_cells(const t_jit_matrix_info& info);
t_symbol* type_symbol(CellType t);
// The computation's view of a host matrix.
Matrix to_matrix(const t_jit_matrix_info& info, char* data);

// An internal matrix of the computing object, cleared; posts "could not
// allocate internal matrix!" and yields null when it cannot be made.
void* new_internal_matrix(const char* type, long planecount, long dimcount);
void free_matrix(void* matrix);  // null is skipped

// ---- list output ------------------------------------------------------------------

t_jit_err list_mproc(void* max, void* mop);
void list_output(void* max);  // buffered output step, also the bang handler
void list_assist(void* max, void* box, long direction, long index, char* text);
// Sends `count` atoms to an outlet: a list above one, else float or int.
void send_atoms(void* outlet, long count, t_atom* atoms);

}  // namespace frame

// Registers member `field` of record `Record` as attribute `name` of type
// `type` (flags and clip may follow); compiles only when the member's C type
// is the one Max stores that type in.
#define FRAME_ATTR(jclass, Record, field, name, type, ...)                                  \
  ::frame::add_attribute(jclass, name,                                                    \
                         ::frame::checked_type<decltype(Record::field)>(type),            \
                         calcoffset(Record, field) __VA_OPT__(, ) __VA_ARGS__)
// An array member with its count member (a C `long`, as Max keeps it); the
// maximum count is the array's length.
#define FRAME_ARRAY_ATTR(jclass, Record, field, countfield, name, type, ...)                \
  static_assert(std::is_same_v<decltype(Record::countfield), long>, "count is a C long"); \
  ::frame::add_array_attribute(                                                           \
      jclass, name,                                                                       \
      ::frame::checked_type<std::remove_extent_t<decltype(Record::field)>>(type),         \
      static_cast<long>(std::extent_v<decltype(Record::field)>),                          \
      calcoffset(Record, countfield), calcoffset(Record, field) __VA_OPT__(, ) __VA_ARGS__)
