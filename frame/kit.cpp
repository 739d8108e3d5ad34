#include "frame/kit.h"

#include <cstring>
#include <string>

namespace frame {
namespace {

// Globals of this plug-in (the kit is linked into each plug-in on its own),
// set once by main and never freed.
const ClassSpec* g_spec = nullptr;
t_messlist* g_max_class = nullptr;
void* g_jit_class = nullptr;
t_symbol* g_getter[kMaxListOutlets] = {};

void set_long(void* o, const char* attr, long v) { jit_attr_setlong(o, gensym(attr), v); }

void apply_mop(void* mop, const MopSpec& m) {
  if (m.single_type) jit_mop_single_type(mop, gensym(m.single_type));
  if (m.single_planecount > 0) jit_mop_single_planecount(mop, m.single_planecount);
  if (m.outputs < 1) return;
  void* out = jit_object_method(mop, _jit_sym_getoutput, static_cast<t_atom_long>(1));
  if (!out) return;
  if (m.output.planecount > 0) {
    set_long(out, "minplanecount", m.output.planecount);
    set_long(out, "maxplanecount", m.output.planecount);
  }
  if (m.output.dimcount > 0) {
    jit_attr_setlong(out, _jit_sym_mindimcount, m.output.dimcount);
    jit_attr_setlong(out, _jit_sym_maxdimcount, m.output.dimcount);
  }
  if (m.output.types) {
    t_atom types[4];
    long n = 0;
    for (std::string_view rest = m.output.types; !rest.empty() && n < 4;) {
      const std::size_t end = std::min(rest.find(' '), rest.size());
      if (end > 0) jit_atom_setsym(&types[n++], gensym(std::string(rest.substr(0, end)).c_str()));
      rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    jit_object_method(out, _jit_sym_types, static_cast<t_atom_long>(n), types);
  }
  if (m.output_planelink_off) jit_attr_setlong(out, _jit_sym_planelink, 0);
  if (m.output_nolink) jit_mop_output_nolink(mop, 1);
}

// The outlets and the atom buffer of a ListWrapper<N> of any N: the outlet
// array starts at the same place for every N and the buffer pointer follows
// the last outlet. Reached by offset, since indexing one wrapper type's
// array past its own length would be undefined.
void** list_outlets(void* max) {
  return reinterpret_cast<void**>(static_cast<char*>(max) + offsetof(ListWrapper<1>, outlet));
}

t_atom** atom_buffer(void* max) {
  return reinterpret_cast<t_atom**>(list_outlets(max) + g_spec->lists.count);
}

void* standard_new(t_symbol*, long argc, t_atom* argv) {
  void* x = max_jit_obex_new(g_max_class, gensym(g_spec->jit_name));
  if (!x) return nullptr;
  void* o = jit_object_new(gensym(g_spec->jit_name));
  if (!o) {
    error("%s: could not allocate object", g_spec->max_name);
    freeobject(static_cast<t_object*>(x));
    return nullptr;
  }
  max_jit_mop_setup_simple(x, o, argc, argv);
  const ListSpec& l = g_spec->lists;
  if (l.count > 0) {
    void** outlets = list_outlets(x);
    for (int i = l.count - 1; i >= 0; --i) outlets[i] = outlet_new(x, nullptr);
    if (l.buffered)
      *atom_buffer(x) = static_cast<t_atom*>(jit_getbytes(kAtomBufferCount * sizeof(t_atom)));
  }
  if (g_spec->after_setup) g_spec->after_setup(x);
  max_jit_attr_args(x, static_cast<short>(argc), argv);
  return x;
}

void standard_free(void* x) {
  max_jit_mop_free(x);
  jit_object_free(max_jit_obex_jitob_get(x));
  const ListSpec& l = g_spec->lists;
  if (l.count > 0 && l.buffered && *atom_buffer(x)) {
    jit_freebytes(*atom_buffer(x), kAtomBufferCount * sizeof(t_atom));
    *atom_buffer(x) = nullptr;
  }
  max_jit_obex_free(x);
}

// The wrapper's "description" (A_CANT, so no patch can send it). The text
// is the class's, not an instance's: hosts may ask with a null object.
const char* class_description(void*) {
  return g_spec && g_spec->description ? g_spec->description : "";
}

void attach_clip(void* attr, const Clip& c) {
  if (c.use_min || c.use_max) jit_attr_addfilterset_clip(attr, c.min, c.max, c.use_min, c.use_max);
}

}  // namespace

void* begin_class(const ClassSpec& spec) {
  g_spec = &spec;
  void* c = jit_class_new(spec.jit_name, spec.jit_new, spec.jit_free, spec.jit_size, 0L);
  g_jit_class = c;
  void* mop = jit_object_new(_jit_sym_jit_mop, static_cast<t_atom_long>(spec.mop.inputs),
                             static_cast<t_atom_long>(spec.mop.outputs));
  apply_mop(mop, spec.mop);
  jit_class_addadornment(c, static_cast<t_jit_object*>(mop));
  jit_class_addmethod(c, spec.matrix_calc, "matrix_calc", A_CANT, 0L);
  return c;
}

void add_attribute(void* jclass, const char* name, const char* type, long offset, long flags,
                   Clip c) {
  void* attr = jit_object_new(_jit_sym_jit_attr_offset, name, gensym(type), flags, nullptr,
                              nullptr, offset);
  attach_clip(attr, c);
  jit_class_addattr(jclass, static_cast<t_jit_object*>(attr));
}

void add_array_attribute(void* jclass, const char* name, const char* type, long max_count,
                         long count_offset, long offset, long flags, Clip c) {
  void* attr = jit_object_new(_jit_sym_jit_attr_offset_array, name, gensym(type), max_count,
                              flags, nullptr, nullptr, count_offset, offset);
  attach_clip(attr, c);
  jit_class_addattr(jclass, static_cast<t_jit_object*>(attr));
}

void* alloc_instance() { return jit_object_alloc(g_jit_class); }

void add_method(void* jclass, method m, const char* name) {
  jit_class_addmethod(jclass, m, name, 0L);
}

void finish_class(void* jclass, const ClassSpec& spec) {
  jit_class_register(jclass);
  setup(&g_max_class, as_method(standard_new),
        as_method(standard_free), static_cast<short>(spec.max_size), nullptr,
        A_GIMME, 0);
  void* classex = max_jit_classex_setup(calcoffset(MaxWrapper, obex));
  void* q = jit_class_findbyname(gensym(spec.jit_name));
  const bool lists = spec.lists.count > 0;
  max_jit_classex_mop_wrap(classex, q,
                           lists ? MAX_JIT_MOP_FLAGS_OWN_BANG | MAX_JIT_MOP_FLAGS_OWN_OUTPUTMATRIX
                                 : MAX_JIT_MOP_FLAGS_NONE);
  if (lists) max_jit_classex_mop_mproc(classex, q, reinterpret_cast<void*>(as_method(list_mproc)));
  max_jit_classex_standard_wrap(classex, q, 0);
  // addmess declares its name `char *`; Max only reads it.
  addmess(lists ? as_method(list_assist) : as_method(max_jit_mop_assist),
          const_cast<char*>("assist"), A_CANT, 0);
  if (spec.description && *spec.description)
    addmess(as_method(class_description), const_cast<char*>("description"), A_CANT, 0);
  if (lists && spec.lists.buffered && spec.lists.bang) addbang(as_method(list_output));
  for (int i = 0; i < spec.lists.count; ++i) g_getter[i] = gensym(spec.lists.outlet[i].getter);
}

// ---- matrix_calc helpers ---------------------------------------------------------

Locked::Locked(void* matrix)
    : matrix_(matrix),
      saved_(matrix ? jit_object_method(matrix, _jit_sym_lock, static_cast<t_atom_long>(1))
                    : nullptr) {}

Locked::~Locked() {
  if (matrix_) jit_object_method(matrix_, _jit_sym_lock, saved_);
}

void* list_matrix(void* list, long index) {
  return list ? jit_object_method(list, _jit_sym_getindex, static_cast<t_atom_long>(index))
              : nullptr;
}

t_jit_matrix_info get_info(void* matrix) {
  t_jit_matrix_info info;
  std::memset(&info, 0, sizeof info);
  jit_object_method(matrix, _jit_sym_getinfo, &info);
  return info;
}

t_jit_err set_info(void* matrix, t_jit_matrix_info& info) {
  auto err = reinterpret_cast<t_jit_err>(jit_object_method(matrix, _jit_sym_setinfo, &info));
  jit_object_method(matrix, _jit_sym_getinfo, &info);
  return err;
}

char* get_data(void* matrix) {
  char* data = nullptr;
  jit_object_method(matrix, _jit_sym_getdata, &data);
  return data;
}

void clear(void* matrix) { jit_object_method(matrix, _jit_sym_clear); }

bool has_cells(const t_jit_matrix_info& info) {
  for (long i = 0; i < info.dimcount && i < JIT_MATRIX_MAX_DIMCOUNT; ++i)
    if (info.dim[i] <= 0) return false;
  return info.dimcount > 0;
}

CellType cell_type(t_symbol* type) {
  if (type == _jit_sym_char) return CellType::Char;
  if (type == _jit_sym_long) return CellType::Long;
  if (type == _jit_sym_float32) return CellType::Float32;
  if (type == _jit_sym_float64) return CellType::Float64;
  return CellType::Unknown;
}

t_symbol* type_symbol(CellType t) {
  switch (t) {
    case CellType::Char: return _jit_sym_char;
    case CellType::Long: return _jit_sym_long;
    case CellType::Float32: return _jit_sym_float32;
    case CellType::Float64: return _jit_sym_float64;
    default: return _jit_sym_nothing;
  }
}

Matrix to_matrix(const t_jit_matrix_info& info, char* data) {
  Matrix m;
  m.type = cell_type(info.type);
  m.planecount = info.planecount;
  m.dimcount = info.dimcount < 0 ? 0 : (info.dimcount > kMaxDims ? kMaxDims : info.dimcount);
  for (long i = 0; i < m.dimcount; ++i) {
    m.dim[i] = info.dim[i];
    m.dimstride[i] = info.dimstride[i];
  }
  m.size = info.size;
  m.data = reinterpret_cast<std::byte*>(data);
  return m;
}

void* new_internal_matrix(const char* type, long planecount, long dimcount) {
  t_jit_matrix_info info;
  jit_matrix_info_default(&info);
  info.type = gensym(type);
  info.planecount = planecount;
  info.dimcount = dimcount;
  void* m = jit_object_new(_jit_sym_jit_matrix, &info);
  if (!m) {
    error("could not allocate internal matrix!");
    return nullptr;
  }
  clear(m);
  return m;
}

void free_matrix(void* matrix) {
  if (matrix) jit_object_free(matrix);
}

// ---- list output -------------------------------------------------------------------

void send_atoms(void* outlet, long count, t_atom* atoms) {
  if (count > 1) {
    outlet_anything(outlet, _jit_sym_list, static_cast<short>(count), atoms);
  } else if (count == 1) {
    if (atoms[0].a_type == A_FLOAT)
      outlet_float(outlet, jit_atom_getfloat(atoms));
    else
      outlet_int(outlet, jit_atom_getlong(atoms));
  }
}

namespace {
void list_output_direct(void* max) {
  // Output mode 0 is "no output", for lists as for matrices.
  if (max_jit_mop_getoutputmode(max) == 0) return;
  void** outlets = list_outlets(max);
  void* o = max_jit_obex_jitob_get(max);
  for (int i = g_spec->lists.count - 1; i >= 0; --i) {
    long count = 0;
    t_atom* atoms = nullptr;
    jit_object_method(o, g_getter[i], &count, &atoms);
    if (!atoms) continue;
    if (count == 1)
      outlet_float(outlets[i], jit_atom_getfloat(atoms));
    else
      outlet_anything(outlets[i], _jit_sym_list, static_cast<short>(count), atoms);
    jit_freebytes(atoms, count * static_cast<long>(sizeof(t_atom)));
  }
}
}  // namespace

void list_output(void* max) {
  t_atom* buffer = *atom_buffer(max);
  if (max_jit_mop_getoutputmode(max) == 0 || !buffer) return;
  void** outlets = list_outlets(max);
  void* o = max_jit_obex_jitob_get(max);
  for (int i = g_spec->lists.count - 1; i >= 0; --i) {
    long count = kAtomBufferCount;
    t_atom* atoms = buffer;
    jit_object_method(o, g_getter[i], &count, &atoms);
    if (atoms == buffer) {
      send_atoms(outlets[i], std::min(count, kAtomBufferCount), buffer);
    } else if (atoms) {
      // A getter that would not use the buffer handed out its own atoms.
      send_atoms(outlets[i], count, atoms);
      jit_freebytes(atoms, count * static_cast<long>(sizeof(t_atom)));
    }
  }
}

t_jit_err list_mproc(void* max, void* mop) {
  void* o = max_jit_obex_jitob_get(max);
  void* inputs = jit_object_method(mop, _jit_sym_getinputlist);
  void* outputs = jit_object_method(mop, _jit_sym_getoutputlist);
  auto err = reinterpret_cast<t_jit_err>(jit_object_method(o, _jit_sym_matrix_calc, inputs, outputs));
  if (err) {
    jit_error_code(max, err);
    return err;
  }
  if (g_spec->lists.buffered)
    list_output(max);
  else
    list_output_direct(max);
  return JIT_ERR_NONE;
}

void list_assist(void* max, void* box, long direction, long index, char* text) {
  if (direction == 1) {
    max_jit_mop_assist(max, box, direction, index, text);
    return;
  }
  if (index >= 0 && index < g_spec->lists.count)
    sprintf(text, "%s", g_spec->lists.outlet[index].assist);
  else if (index == g_spec->lists.count)
    sprintf(text, "dumpout");
}

}  // namespace frame
