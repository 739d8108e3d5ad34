// jit.matrix: a matrix a patch keeps, named or not. Boxes that give the same
// name share one matrix. A matrix that comes in is copied into it (resized
// to it first while adapt is on), through planemap, the source and
// destination ranges and interp; numbers set every cell.
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "frame/walk.h"
#include "patch_objects/matrix_ops.h"
#include "patch_objects/object_kit.h"

namespace zelk::objects {
namespace {

// How many boxes hold each named matrix; the last one frees it.
std::map<t_symbol*, int>& holders() {
  static std::map<t_symbol*, int> h;
  return h;
}

long long_of(const t_atom& a) { return static_cast<long>(number_of(a)); }

struct JitMatrix {
  void* matrix = nullptr;
  t_symbol* name = nullptr;
  bool adapt = true, thru = true, usesrcdim = false, usedstdim = false;
  CopySpec spec;  // planemap, interp and the ranges while they are in use
  std::vector<long> srcdimstart, srcdimend, dstdimstart, dstdimend;
  void* outlet = nullptr;
  void* dump = nullptr;

  ~JitMatrix() {
    if (!matrix) return;
    if (name && --holders()[name] > 0) return;
    if (name) holders().erase(name);
    jit_object_free(matrix);
  }

  t_jit_matrix_info info() const { return info_of(matrix); }
  bool reshape(t_jit_matrix_info want) {
    return jit_object_method(matrix, _jit_sym_setinfo, &want) == nullptr;  // JIT_ERR_NONE
  }

  // [name] [planecount] [type] [dim...] before the first @; any matrix
  // argument turns adapt off.
  void init(t_object* self, long argc, t_atom* argv) {
    dump = outlet_new(self, nullptr);
    outlet = outlet_new(self, "jit_matrix");
    Arguments args = split_arguments(argc, argv);
    const auto& lead = args.leading;
    std::size_t i = 0;
    if (i < lead.size() && lead[i].a_type == A_SYM && cell_type_of(lead[i].a_w.w_sym) == frame::CellType::Unknown)
      name = lead[i++].a_w.w_sym;
    t_jit_matrix_info want{};
    want.type = _jit_sym_char;
    want.planecount = 4;
    want.dimcount = 2;
    want.dim[0] = want.dim[1] = 1;
    const bool matrix_arguments = i < lead.size();
    if (i < lead.size() && is_number(lead[i])) want.planecount = long_of(lead[i++]);
    if (i < lead.size() && lead[i].a_type == A_SYM) {
      if (cell_type_of(lead[i].a_w.w_sym) == frame::CellType::Unknown)
        error("jit.matrix: unknown type %s", lead[i].a_w.w_sym->s_name);
      else
        want.type = lead[i].a_w.w_sym;
      ++i;
    }
    if (i < lead.size()) {
      want.dimcount = std::min<long>(static_cast<long>(lead.size() - i), JIT_MATRIX_MAX_DIMCOUNT);
      for (long k = 0; k < want.dimcount; ++k) want.dim[k] = long_of(lead[i + static_cast<std::size_t>(k)]);
    }
    want.planecount = std::clamp(want.planecount, 1L, static_cast<long>(frame::kMaxPlanes));
    if (matrix_arguments) adapt = false;
    if (!attach(want, matrix_arguments)) {
      jit_error_code(self, JIT_ERR_OUT_OF_MEM);
      return;
    }
    for (auto& [attr, values] : args.attributes)
      if (!setting(attr, static_cast<long>(values.size()), values.data()))
        error("jit.matrix: no attribute %s or a wrong value for it", attr.c_str());
  }

  // The named matrix another box made, or a new one.
  bool attach(const t_jit_matrix_info& want, bool shape_given) {
    if (name) {
      void* found = jit_object_findregistered(name);
      if (found && jit_object_classname(found) == _jit_sym_jit_matrix && holders().count(name)) {
        matrix = found;
        ++holders()[name];
        return !shape_given || reshape(want);
      }
    }
    t_jit_matrix_info info = want;
    matrix = jit_object_new(_jit_sym_jit_matrix, &info);
    if (!matrix) return false;
    if (!name || !jit_object_register(matrix, name)) name = nullptr;
    if (!name) jit_object_register(matrix, jit_symbol_unique());
    else holders()[name] = 1;
    return true;
  }

  // A size Jitter cannot make is the console's; the matrix stays as it was.
  static bool fail_size() {
    error("jit.matrix: no matrix of that size can be made");
    return true;
  }

  bool setting(const std::string& attr, long argc, t_atom* argv) {
    if (!matrix) return true;
    auto numbers = [&] {
      std::vector<long> v;
      for (long i = 0; i < argc && i < JIT_MATRIX_MAX_DIMCOUNT; ++i)
        if (is_number(argv[i])) v.push_back(long_of(argv[i]));
      return v;
    };
    auto flag = [&](bool* f) {
      if (argc < 1 || !is_number(argv[0])) return false;
      *f = number_of(argv[0]) != 0;
      return true;
    };
    t_jit_matrix_info want = info();
    if (attr == "planecount" && argc >= 1 && is_number(argv[0])) {
      want.planecount = std::clamp(long_of(argv[0]), 1L, static_cast<long>(frame::kMaxPlanes));
      return reshape(want) || fail_size();
    }
    if (attr == "type" && argc >= 1 && argv[0].a_type == A_SYM && cell_type_of(argv[0].a_w.w_sym) != frame::CellType::Unknown) {
      want.type = argv[0].a_w.w_sym;
      return reshape(want) || fail_size();
    }
    if (attr == "dim" && argc >= 1) {
      const std::vector<long> d = numbers();
      if (d.empty()) return false;
      want.dimcount = static_cast<long>(d.size());
      for (long k = 0; k < want.dimcount; ++k) want.dim[k] = d[static_cast<std::size_t>(k)];
      return reshape(want) || fail_size();
    }
    if (attr == "adapt") return flag(&adapt);
    if (attr == "thru") return flag(&thru);
    if (attr == "interp") return flag(&spec.interp);
    if (attr == "usesrcdim") return flag(&usesrcdim);
    if (attr == "usedstdim") return flag(&usedstdim);
    if (attr == "planemap") return (spec.planemap = numbers(), true);
    if (attr == "srcdimstart") return (srcdimstart = numbers(), true);
    if (attr == "srcdimend") return (srcdimend = numbers(), true);
    if (attr == "dstdimstart") return (dstdimstart = numbers(), true);
    if (attr == "dstdimend") return (dstdimend = numbers(), true);
    return false;
  }

  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    if (!matrix) return;
    if (is(s, "bang")) {
      send();
    } else if (is(s, "clear")) {
      jit_object_method(matrix, _jit_sym_clear);
    } else if (is(s, "setall") || is(s, "int") || is(s, "float") || is(s, "list")) {
      set_all(argc, argv);
      if (!is(s, "setall") && thru) send();
    } else if (is(s, "jit_matrix")) {
      Incoming in;
      if (!take_matrix(self, argc, argv, &in)) return;
      if (in.matrix != matrix) copy_in(self, in);
      if (thru) send();
    } else if (!setting(s->s_name, argc, argv)) {
      error("jit.matrix: doesn't understand \"%s\"", s->s_name);
    }
  }

  void copy_in(t_object* self, const Incoming& in) {
    if (adapt) {
      t_jit_matrix_info want = info();
      want.type = in.info.type;
      want.planecount = in.info.planecount;
      want.dimcount = in.info.dimcount;
      std::copy(in.info.dim, in.info.dim + in.info.dimcount, want.dim);
      if (!reshape(want)) {
        jit_error_code(self, JIT_ERR_OUT_OF_MEM);
        return;
      }
    }
    CopySpec use = spec;
    if (usesrcdim) use.src_start = srcdimstart, use.src_end = srcdimend;
    if (usedstdim) use.dst_start = dstdimstart, use.dst_end = dstdimend;
    if (has_cells(in.info)) copy_matrix(view_of(in.info, in.data), view_of(info(), data_of(matrix)), use);
  }

  // Plane p takes value p, the values cycling where there are fewer (as
  // jit.op's per-plane lists); a float into char is fixed point (0.5 is
  // 128), an int is clamped.
  void set_all(long argc, t_atom* argv) {
    std::vector<Scalar> values;
    for (long i = 0; i < argc; ++i)
      if (is_number(argv[i])) values.push_back({number_of(argv[i]), argv[i].a_type == A_FLOAT});
    if (values.empty()) return;
    const frame::Matrix m = view_of(info(), data_of(matrix));
    if (!m.data) return;
    frame::dispatch_type(m.type, [&](auto zero) {
      using T = decltype(zero);
      std::vector<T> cell(static_cast<std::size_t>(m.planecount));
      for (std::size_t p = 0; p < cell.size(); ++p) cell[p] = scalar_as<T>(values[p % values.size()]);
      frame::walk_rows<1>(m.dimcount, m.dim, {m.data}, {m.dimstride}, [&](const std::array<std::byte*, 1>& r, long width) {
        T* out = reinterpret_cast<T*>(r[0]);
        for (long i = 0; i < width; ++i, out += m.planecount) std::copy(cell.begin(), cell.end(), out);
      });
    });
  }

  void send() const { send_matrix(outlet, matrix); }
};

}  // namespace

std::vector<ObjectMain> jit_matrix_objects() { return {{"jit.matrix", object_main<JitMatrix>}}; }

}  // namespace zelk::objects
