// What the patch objects share: their C++ state behind a Max record, box
// arguments split into leading values and @attributes, a matrix of their own
// to send, and atoms as Max's console shows them.
#pragma once

#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "ext.h"
#include "frame/matrix.h"
#include "jit.common.h"

namespace zelk::objects {

// A Max record holding a pointer to its C++ state, made and freed with it.
template <class State>
struct Record {
  t_object ob;
  State* state;
};

template <class State>
Record<State>* new_record(void* max_class) {
  auto* x = static_cast<Record<State>*>(newobject(max_class));
  if (x) x->state = new (std::nothrow) State;
  if (x && !x->state) {
    freeobject(&x->ob);
    return nullptr;
  }
  return x;
}

template <class State>
void free_record(Record<State>* x) {
  delete x->state;
  x->state = nullptr;
}

// Every message an object gets, whatever its selector (bang, int, float,
// list, jit_matrix, read, ...), goes to its state's
//   void message(t_object* self, t_symbol* s, long argc, t_atom* argv);
// after `void init(t_object* self, long argc, t_atom* argv)` made its
// outlets and read its box arguments. An init that returns bool refuses
// the box when it returns false, as Max leaves a box it cannot make.
template <class State>
void* g_class = nullptr;

template <class State>
void* create_object(t_symbol*, long argc, t_atom* argv) {
  Record<State>* x = new_record<State>(g_class<State>);
  if (!x) return nullptr;
  if constexpr (std::is_same_v<decltype(x->state->init(&x->ob, argc, argv)), bool>) {
    if (!x->state->init(&x->ob, argc, argv)) {
      freeobject(&x->ob);
      return nullptr;
    }
  } else {
    x->state->init(&x->ob, argc, argv);
  }
  return x;
}

template <class State>
void on_message(Record<State>* x, t_symbol* s, long argc, t_atom* argv) {
  x->state->message(&x->ob, s, argc, argv);
}
template <class State>
void on_bang(Record<State>* x) {
  x->state->message(&x->ob, gensym("bang"), 0, nullptr);
}
template <class State>
void on_int(Record<State>* x, t_atom_long n) {
  t_atom a;
  jit_atom_setlong(&a, n);
  x->state->message(&x->ob, gensym("int"), 1, &a);
}
template <class State>
void on_float(Record<State>* x, double f) {
  t_atom a;
  jit_atom_setfloat(&a, f);
  x->state->message(&x->ob, gensym("float"), 1, &a);
}

template <class F>
method as_method(F* f) {
  return reinterpret_cast<method>(reinterpret_cast<void (*)()>(f));
}

// The `main` of a patch object: its Max class, every message to `message`.
template <class State>
void object_main() {
  setup(reinterpret_cast<t_messlist**>(&g_class<State>), as_method(create_object<State>),
        as_method(free_record<State>), static_cast<short>(sizeof(Record<State>)), nullptr, A_GIMME, 0);
  addbang(as_method(on_bang<State>));
  addmess(as_method(on_int<State>), const_cast<char*>("int"), A_LONG, 0);
  addmess(as_method(on_float<State>), const_cast<char*>("float"), A_FLOAT, 0);
  addmess(as_method(on_message<State>), const_cast<char*>("list"), A_GIMME, 0);
  addmess(as_method(on_message<State>), const_cast<char*>("anything"), A_GIMME, 0);
}

struct ObjectMain {
  const char* name;
  void (*main)();
};
std::vector<ObjectMain> jitter_objects();      // jit.op, jit.movie, ...
std::vector<ObjectMain> jit_op_objects();      // jit.op and its one-operator boxes (jit.+ ...)
std::vector<ObjectMain> jit_matrix_objects();  // jit.matrix
std::vector<ObjectMain> jit_pack_objects();    // jit.pack, jit.transpose
std::vector<ObjectMain> jit_display_objects();  // jit.lcd, jit.cellblock
extern const std::vector<ObjectMain> kMaxObjects;  // print, message, ...
std::vector<ObjectMain> control_objects();  // gate, +, trigger, pack, number, ...
std::vector<ObjectMain> expr_objects();     // expr

// What a user interface object shows, for the runner to draw: registered
// with its object while the state lives (see displayed_value in
// patch_objects.h).
class Shown {
 public:
  Shown() = default;
  ~Shown();
  Shown(const Shown&) = delete;
  Shown& operator=(const Shown&) = delete;
  void text(t_object* self, std::function<std::string()> fn);
  void cells(t_object* self, std::function<std::vector<std::vector<std::string>>()> fn);

  std::function<std::string()> text_of;
  std::function<std::vector<std::vector<std::string>>()> cells_of;

 private:
  t_object* self_ = nullptr;
};
const Shown* shown_by(const void* object);

// Sends atoms as Max does: a number alone as int or float, several as a
// list, a leading symbol as the selector.
void send_atoms(void* outlet, long argc, const t_atom* argv);

// Box arguments: the values before the first @name, then each @name with its values.
struct Arguments {
  std::vector<t_atom> leading;
  std::vector<std::pair<std::string, std::vector<t_atom>>> attributes;
};
Arguments split_arguments(long argc, t_atom* argv);

// Whether selector `s` is `name`.
inline bool is(t_symbol* s, const char* name) { return s && !std::strcmp(s->s_name, name); }

double number_of(const t_atom& a);
bool is_number(const t_atom& a);
// "12", "0.5", "foo": one atom as the console shows it.
std::string atom_text(const t_atom& a);
// A float as Max's float boxes show it: "0.5", "3." (a point even when whole).
std::string float_text(double v);
// An atom as a box shows it: a float by float_text, others as atom_text.
std::string shown_text(const t_atom& a);
// The atoms of a message: a number or list as its values, "symbol foo" as
// foo, bang as nothing, any other selector first.
std::vector<t_atom> message_atoms(t_symbol* s, long argc, const t_atom* argv);

// "jit_matrix NAME" out of `outlet`, for a registered matrix.
void send_matrix(void* outlet, void* matrix);

// A matrix an object sends from: registered under a name, reshaped when the
// shape changes (so a steady stream allocates nothing).
class OwnMatrix {
 public:
  OwnMatrix() = default;
  ~OwnMatrix();
  OwnMatrix(const OwnMatrix&) = delete;
  OwnMatrix& operator=(const OwnMatrix&) = delete;

  // Shapes it as `info` (type, planes, dims); false when it cannot be made.
  bool shape(const t_jit_matrix_info& info);
  frame::Matrix view() const;
  void* matrix() const { return matrix_; }
  void send(void* outlet) const;  // "jit_matrix NAME"

 private:
  void* matrix_ = nullptr;
};

// Shapes `out` like `info`; false, reported as `self`'s error, when it cannot.
bool shape_or_fail(t_object* self, OwnMatrix& out, const t_jit_matrix_info& info);

// A matrix operator's output as Jitter's wrapper keeps it. Matrix arguments
// in the box ([planecount] [type] [dim...]) shape it and turn adapt off;
// while adapt is on it takes each left input's shape. dim, type, planecount
// and adapt set it as messages or @attributes. A type or plane count given
// to `force` holds whatever is asked.
class OperatorOutput {
 public:
  // From the box's leading arguments; false when the matrix cannot be made.
  bool init(t_object* self, const std::vector<t_atom>& leading);
  void force(t_symbol* type, long planecount);
  // adapt, dim, type, planecount; false for another name.
  bool setting(const std::string& name, long argc, t_atom* argv);
  // Before a calculation: takes `in`'s shape while adapting.
  bool prepare(t_object* self, const t_jit_matrix_info& in);
  OwnMatrix& matrix() { return out_; }

 private:
  bool reshape(t_jit_matrix_info info);
  OwnMatrix out_;
  bool adapt_ = true;
  t_symbol* type_ = nullptr;
  long planecount_ = 0;
};

// The part of `m` that lies within `limit`'s size, as Jitter's operators
// compute on the smaller of their input and output in each dimension
// (dimensions `m` lacks have size 1).
frame::Matrix overlap(const frame::Matrix& m, const frame::Matrix& limit);

// A matrix a patch cord delivered ("jit_matrix NAME"), with its info and data.
struct Incoming {
  void* matrix = nullptr;
  t_jit_matrix_info info{};
  char* data = nullptr;
};
// The matrix of "jit_matrix NAME". False, with the Jitter error reported as
// `self`'s, when argv names no matrix, its type is not one of the four, its
// shape is out of range or it has no data.
bool take_matrix(t_object* self, long argc, t_atom* argv, Incoming* in);
frame::Matrix view_of(const t_jit_matrix_info& info, char* data);
t_jit_matrix_info info_of(void* matrix);
char* data_of(void* matrix);
frame::CellType cell_type_of(t_symbol* type);
// False when some dimension is 0: nothing to read or write.
bool has_cells(const t_jit_matrix_info& info);

}  // namespace zelk::objects
