#include "patch_objects/object_kit.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "zelk/host.h"

namespace zelk::objects {

Arguments split_arguments(long argc, t_atom* argv) {
  Arguments out;
  for (long i = 0; i < argc; ++i) {
    const t_atom& a = argv[i];
    if (a.a_type == A_SYM && a.a_w.w_sym->s_name[0] == '@')
      out.attributes.push_back({a.a_w.w_sym->s_name + 1, {}});
    else if (out.attributes.empty())
      out.leading.push_back(a);
    else
      out.attributes.back().second.push_back(a);
  }
  return out;
}

bool is_number(const t_atom& a) { return a.a_type == A_LONG || a.a_type == A_FLOAT; }

double number_of(const t_atom& a) {
  if (a.a_type == A_LONG) return static_cast<double>(a.a_w.w_long);
  if (a.a_type == A_FLOAT) return a.a_w.w_float;
  return 0;
}

std::string atom_text(const t_atom& a) {
  switch (a.a_type) {
    case A_LONG: return std::to_string(a.a_w.w_long);
    case A_FLOAT: {
      char buf[32];
      const auto r = std::to_chars(buf, buf + sizeof buf, a.a_w.w_float);
      return std::string(buf, r.ptr);
    }
    case A_SYM: return a.a_w.w_sym ? a.a_w.w_sym->s_name : "";
    default: return "?";
  }
}

std::string float_text(double v) {
  if (!std::isfinite(v) || std::fabs(v) >= 1e15) {
    t_atom a;
    jit_atom_setfloat(&a, v);
    return atom_text(a);
  }
  // Six places, trailing zeros dropped, as Max's boxes show a float ("0.5", "3.").
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.6f", v);
  std::string t = buf;
  t.erase(t.find_last_not_of('0') + 1);
  return t == "-0." ? "0." : t;
}

std::string shown_text(const t_atom& a) {
  return a.a_type == A_FLOAT ? float_text(a.a_w.w_float) : atom_text(a);
}

std::vector<t_atom> message_atoms(t_symbol* s, long argc, const t_atom* argv) {
  std::vector<t_atom> out;
  if (!is(s, "int") && !is(s, "float") && !is(s, "list") && !is(s, "bang") && !is(s, "symbol")) {
    t_atom a;
    jit_atom_setsym(&a, s);
    out.push_back(a);
  }
  if (argc > 0 && argv) out.insert(out.end(), argv, argv + argc);
  return out;
}

namespace {
std::map<const void*, const Shown*>& shown_registry() {
  static auto* r = new std::map<const void*, const Shown*>;  // outlives every box, whenever freed
  return *r;
}
}  // namespace

Shown::~Shown() {
  if (self_) shown_registry().erase(self_);
}
void Shown::text(t_object* self, std::function<std::string()> fn) {
  text_of = std::move(fn);
  shown_registry()[self_ = self] = this;
}
void Shown::cells(t_object* self, std::function<std::vector<std::vector<std::string>>()> fn) {
  cells_of = std::move(fn);
  shown_registry()[self_ = self] = this;
}
const Shown* shown_by(const void* object) {
  auto it = shown_registry().find(object);
  return it == shown_registry().end() ? nullptr : it->second;
}

OwnMatrix::~OwnMatrix() {
  if (matrix_) jit_object_free(matrix_);
}

bool OwnMatrix::shape(const t_jit_matrix_info& want) {
  t_jit_matrix_info info = want;
  if (!matrix_) {
    matrix_ = jit_object_new(_jit_sym_jit_matrix, &info);
    if (!matrix_) return false;
    jit_object_register(matrix_, jit_symbol_unique());
  } else if (jit_object_method(matrix_, _jit_sym_setinfo, &info) != nullptr) {
    return false;  // not JIT_ERR_NONE
  }
  return !has_cells(want) || data_of(matrix_);
}

frame::Matrix OwnMatrix::view() const { return view_of(info_of(matrix_), data_of(matrix_)); }

void send_matrix(void* outlet, void* matrix) {
  t_atom a;
  jit_atom_setsym(&a, static_cast<t_symbol*>(jit_object_method(matrix, _jit_sym_getname)));
  outlet_anything(outlet, _jit_sym_jit_matrix, 1, &a);
}

void OwnMatrix::send(void* outlet) const { send_matrix(outlet, matrix_); }

bool shape_or_fail(t_object* self, OwnMatrix& out, const t_jit_matrix_info& info) {
  if (out.shape(info)) return true;
  jit_error_code(self, JIT_ERR_OUT_OF_MEM);
  return false;
}

bool OperatorOutput::init(t_object* self, const std::vector<t_atom>& leading) {
  t_jit_matrix_info info{};
  info.type = _jit_sym_char;
  info.planecount = 4;
  info.dimcount = 2;
  info.dim[0] = info.dim[1] = 1;
  // By position, as Jitter reads them: planecount at 0, type at 1, dims from 2.
  if (!leading.empty() && is_number(leading[0]))
    info.planecount = std::clamp(static_cast<long>(number_of(leading[0])), 1L, static_cast<long>(frame::kMaxPlanes));
  if (leading.size() > 1 && leading[1].a_type == A_SYM) {
    if (cell_type_of(leading[1].a_w.w_sym) != frame::CellType::Unknown) info.type = leading[1].a_w.w_sym;
    else error("%s is not a matrix type", leading[1].a_w.w_sym->s_name);
  }
  if (leading.size() > 2) {
    info.dimcount = std::min<long>(static_cast<long>(leading.size()) - 2, JIT_MATRIX_MAX_DIMCOUNT);
    for (long k = 0; k < info.dimcount; ++k) {
      const t_atom& d = leading[static_cast<std::size_t>(k) + 2];
      if (is_number(d)) info.dim[k] = static_cast<long>(number_of(d));
    }
  }
  adapt_ = leading.empty();
  return shape_or_fail(self, out_, info);
}

void OperatorOutput::force(t_symbol* type, long planecount) {
  type_ = type;
  planecount_ = planecount;
  if (out_.matrix()) reshape(info_of(out_.matrix()));
}

bool OperatorOutput::reshape(t_jit_matrix_info info) {
  if (type_) info.type = type_;
  if (planecount_) info.planecount = planecount_;
  return out_.shape(info);
}

bool OperatorOutput::setting(const std::string& name, long argc, t_atom* argv) {
  if (name != "adapt" && name != "dim" && name != "type" && name != "planecount") return false;
  if (!out_.matrix()) return true;  // the box could not make it; its error is out
  t_jit_matrix_info info = info_of(out_.matrix());
  if (name == "adapt" && argc >= 1 && is_number(argv[0])) {
    adapt_ = number_of(argv[0]) != 0;
    return true;
  }
  if (name == "type" && argc >= 1 && argv[0].a_type == A_SYM && cell_type_of(argv[0].a_w.w_sym) != frame::CellType::Unknown)
    info.type = argv[0].a_w.w_sym;
  else if (name == "planecount" && argc >= 1 && is_number(argv[0]))
    info.planecount = std::clamp(static_cast<long>(number_of(argv[0])), 1L, static_cast<long>(frame::kMaxPlanes));
  else if (name == "dim" && argc >= 1) {
    info.dimcount = std::min<long>(argc, JIT_MATRIX_MAX_DIMCOUNT);
    for (long k = 0; k < info.dimcount; ++k) info.dim[k] = static_cast<long>(number_of(argv[k]));
  } else {
    error("%s needs a value", name.c_str());
    return true;
  }
  if (!reshape(info)) error("no matrix of that size can be made");
  return true;
}

bool OperatorOutput::prepare(t_object* self, const t_jit_matrix_info& in) {
  if (!adapt_) return out_.matrix() != nullptr;
  t_jit_matrix_info info = in;
  if (type_) info.type = type_;
  if (planecount_) info.planecount = planecount_;
  return shape_or_fail(self, out_, info);
}

frame::Matrix overlap(const frame::Matrix& m, const frame::Matrix& limit) {
  frame::Matrix part = m;
  part.dimcount = limit.dimcount;
  for (long k = 0; k < limit.dimcount; ++k) {
    part.dim[k] = std::min(k < m.dimcount ? m.dim[k] : 1L, limit.dim[k]);
    if (k >= m.dimcount) part.dimstride[k] = 0;
  }
  return part;
}

bool take_matrix(t_object* self, long argc, t_atom* argv, Incoming* in) {
  t_jit_err code = JIT_ERR_NONE;
  in->matrix = argc >= 1 && argv[0].a_type == A_SYM ? jit_object_findregistered(argv[0].a_w.w_sym) : nullptr;
  if (in->matrix) {
    in->info = info_of(in->matrix);
    in->data = data_of(in->matrix);
  }
  if (!in->matrix) code = JIT_ERR_INVALID_INPUT;
  else if (cell_type_of(in->info.type) == frame::CellType::Unknown) code = JIT_ERR_MISMATCH_TYPE;
  else if (in->info.planecount < 1 || in->info.planecount > frame::kMaxPlanes) code = JIT_ERR_MISMATCH_PLANE;
  else if (in->info.dimcount < 1 || in->info.dimcount > JIT_MATRIX_MAX_DIMCOUNT) code = JIT_ERR_MISMATCH_DIM;
  else if (has_cells(in->info) && !in->data) code = JIT_ERR_INVALID_INPUT;
  if (code != JIT_ERR_NONE) jit_error_code(self, code);
  return code == JIT_ERR_NONE;
}

void send_atoms(void* outlet, long argc, const t_atom* argv) {
  std::vector<t_atom> atoms(argv, argv + argc);  // outlets take writable atoms
  if (argc == 0) {
    outlet_bang(outlet);
  } else if (atoms[0].a_type == A_SYM) {
    outlet_anything(outlet, atoms[0].a_w.w_sym, static_cast<short>(argc - 1), atoms.data() + 1);
  } else if (argc == 1) {
    if (atoms[0].a_type == A_LONG) outlet_int(outlet, atoms[0].a_w.w_long);
    else outlet_float(outlet, atoms[0].a_w.w_float);
  } else {
    outlet_list(outlet, gensym("list"), static_cast<short>(argc), atoms.data());
  }
}

t_jit_matrix_info info_of(void* matrix) { return zelk::host::matrix_info(matrix); }
char* data_of(void* matrix) { return zelk::host::matrix_data(matrix); }

frame::CellType cell_type_of(t_symbol* type) {
  if (type == _jit_sym_char) return frame::CellType::Char;
  if (type == _jit_sym_long) return frame::CellType::Long;
  if (type == _jit_sym_float32) return frame::CellType::Float32;
  if (type == _jit_sym_float64) return frame::CellType::Float64;
  return frame::CellType::Unknown;
}

bool has_cells(const t_jit_matrix_info& info) {
  for (long i = 0; i < info.dimcount && i < JIT_MATRIX_MAX_DIMCOUNT; ++i)
    if (info.dim[i] <= 0) return false;
  return info.dimcount > 0;
}

frame::Matrix view_of(const t_jit_matrix_info& info, char* data) {
  frame::Matrix m;
  m.type = cell_type_of(info.type);
  m.planecount = info.planecount;
  m.dimcount = std::clamp<long>(info.dimcount, 0, frame::kMaxDims);
  std::copy(info.dim, info.dim + m.dimcount, m.dim);
  std::copy(info.dimstride, info.dimstride + m.dimcount, m.dimstride);
  m.size = info.size;
  m.data = reinterpret_cast<std::byte*>(data);
  return m;
}

}  // namespace zelk::objects
