// jit.op, jit.rgb2luma, jit.matrix and jit.iter as a patch uses them;
// jit.movie and jit.grab, which send the run's frames; jit.pwindow and
// jit.window, which take what they are sent (the runner draws it).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

#include "frame/walk.h"
#include "patch_objects/matrix_ops.h"
#include "patch_objects/object_kit.h"
#include "patch_objects/patch_objects.h"

namespace zelk::objects {
namespace {

// Shapes `out` like `info` and reports a failure as the object's error.
bool shape_or_fail(t_object* self, OwnMatrix& out, const t_jit_matrix_info& info) {
  if (out.shape(info)) return true;
  jit_error_code(self, JIT_ERR_OUT_OF_MEM);
  return false;
}

bool same_shape(const frame::Matrix& x, const frame::Matrix& y) {
  return x.type == y.type && x.planecount == y.planecount && x.dimcount == y.dimcount &&
         std::equal(x.dim, x.dim + x.dimcount, y.dim);
}

// ---- jit.op -------------------------------------------------------------------

struct JitOp {
  std::vector<Op> ops{Op::Pass};
  std::vector<Scalar> val{Scalar{}};
  bool right_matrix = false;  // the right operand: a matrix sent there, else val
  OwnMatrix right, right_fitted, out;
  void* outlet = nullptr;

  void set_op(long argc, t_atom* argv) {
    std::vector<Op> parsed;
    for (long i = 0; i < argc; ++i) {
      Op op;
      if (argv[i].a_type != A_SYM || !parse_op(argv[i].a_w.w_sym->s_name, &op)) {
        error("jit.op: unknown operator %s", atom_text(argv[i]).c_str());
        return;
      }
      parsed.push_back(op);
    }
    if (!parsed.empty()) ops = parsed;
  }
  void set_val(long argc, t_atom* argv) {
    std::vector<Scalar> parsed;
    for (long i = 0; i < argc; ++i)
      if (is_number(argv[i])) parsed.push_back({number_of(argv[i]), argv[i].a_type == A_FLOAT});
    if (parsed.empty()) {
      error("jit.op: val needs numbers");
      return;
    }
    val = parsed;
    right_matrix = false;
  }
  bool setting(const std::string& name, long argc, t_atom* argv) {
    if (name == "op") set_op(argc, argv);
    else if (name == "val") set_val(argc, argv);
    else return false;
    return true;
  }

  void init(t_object* self, long argc, t_atom* argv) {
    outlet_new(self, nullptr);  // dump
    outlet = outlet_new(self, "jit_matrix");
    inlet_new(self, nullptr);
    for (auto& [name, values] : split_arguments(argc, argv).attributes)
      if (!setting(name, static_cast<long>(values.size()), values.data()))
        error("jit.op: no attribute %s", name.c_str());
  }

  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    const long inlet = proxy_getinlet(self);
    if (is(s, "jit_matrix")) {
      Incoming in;
      if (!take_matrix(self, argc, argv, &in)) return;
      if (inlet == 0) calc(self, in);
      else if (shape_or_fail(self, right, in.info)) {
        convert_matrix(view_of(in.info, in.data), right.view());
        right_matrix = true;
      }
      return;
    }
    if (is(s, "int") || is(s, "float") || is(s, "list")) {
      set_val(argc, argv);
      return;
    }
    if (is(s, "bang")) {
      if (out.matrix()) out.send(outlet);
      return;
    }
    if (!setting(s->s_name, argc, argv)) error("jit.op: doesn't understand \"%s\"", s->s_name);
  }

  void calc(t_object* self, const Incoming& in) {
    if (!shape_or_fail(self, out, in.info)) return;
    const frame::Matrix a = view_of(in.info, in.data);
    frame::Matrix b_view;
    const frame::Matrix* b = nullptr;
    if (right_matrix) {
      // The right matrix follows the left: its type, planes and size.
      b_view = right.view();
      if (!same_shape(b_view, a)) {
        if (!shape_or_fail(self, right_fitted, in.info)) return;
        const frame::Matrix fitted = right_fitted.view();
        convert_matrix(b_view, fitted);
        b_view = fitted;
      }
      b = &b_view;
    }
    if (has_cells(in.info)) apply_ops(a, b, val, ops, out.view());
    out.send(outlet);
  }
};

// ---- jit.rgb2luma ----------------------------------------------------------------

struct JitRgb2Luma {
  LumaScales scales;
  OwnMatrix char_in, out;
  void* outlet = nullptr;

  bool setting(const std::string& name, long argc, t_atom* argv) {
    double* slot = name == "ascale"   ? &scales.a
                   : name == "rscale" ? &scales.r
                   : name == "gscale" ? &scales.g
                   : name == "bscale" ? &scales.b
                                      : nullptr;
    if (!slot) return false;
    if (argc < 1 || !is_number(argv[0])) error("jit.rgb2luma: %s needs a number", name.c_str());
    else *slot = number_of(argv[0]);
    return true;
  }

  void init(t_object* self, long argc, t_atom* argv) {
    outlet_new(self, nullptr);  // dump
    outlet = outlet_new(self, "jit_matrix");
    for (auto& [name, values] : split_arguments(argc, argv).attributes)
      if (!setting(name, static_cast<long>(values.size()), values.data()))
        error("jit.rgb2luma: no attribute %s", name.c_str());
  }

  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    if (!is(s, "jit_matrix")) {
      if (!setting(s->s_name, argc, argv)) error("jit.rgb2luma: doesn't understand \"%s\"", s->s_name);
      return;
    }
    Incoming in;
    if (!take_matrix(self, argc, argv, &in)) return;
    if (in.info.planecount != 4) {
      jit_error_code(self, JIT_ERR_MISMATCH_PLANE);
      return;
    }
    // Its input and output are char: another type comes in converted.
    frame::Matrix argb = view_of(in.info, in.data);
    if (in.info.type != _jit_sym_char) {
      t_jit_matrix_info as_char = in.info;
      as_char.type = _jit_sym_char;
      if (!shape_or_fail(self, char_in, as_char)) return;
      if (has_cells(in.info)) convert_matrix(argb, char_in.view());
      argb = char_in.view();
    }
    t_jit_matrix_info info = in.info;
    info.type = _jit_sym_char;
    info.planecount = 1;
    if (!shape_or_fail(self, out, info)) return;
    if (has_cells(in.info)) rgb_to_luma(argb, out.view(), scales);
    out.send(outlet);
  }
};

// ---- jit.matrix ---------------------------------------------------------------------

struct JitMatrix {
  // What the box fixed; the rest follows the input while adapt is on.
  long planecount = 0;
  t_symbol* type = nullptr;
  std::vector<long> dim;
  bool adapt = true;
  OwnMatrix out;
  void* outlet = nullptr;

  bool setting(const std::string& name, long argc, t_atom* argv) {
    if (name == "planecount" && argc >= 1 && is_number(argv[0]))
      planecount = std::clamp(static_cast<long>(number_of(argv[0])), 1L, static_cast<long>(frame::kMaxPlanes));
    else if (name == "type" && argc >= 1 && argv[0].a_type == A_SYM &&
             cell_type_of(argv[0].a_w.w_sym) != frame::CellType::Unknown)
      type = argv[0].a_w.w_sym;
    else if (name == "dim" && argc >= 1) {
      dim.clear();
      for (long i = 0; i < argc && i < JIT_MATRIX_MAX_DIMCOUNT; ++i)
        dim.push_back(std::max(1L, static_cast<long>(number_of(argv[i]))));
      adapt = false;
    } else if (name == "adapt" && argc >= 1 && is_number(argv[0]))
      adapt = number_of(argv[0]) != 0;
    else
      return false;
    return true;
  }

  void init(t_object* self, long argc, t_atom* argv) {
    outlet_new(self, nullptr);  // dump
    outlet = outlet_new(self, "jit_matrix");
    // [name] [planecount] [type] [dim...], as typed before any @.
    Arguments args = split_arguments(argc, argv);
    std::size_t i = 0;
    const auto& lead = args.leading;
    if (i < lead.size() && lead[i].a_type == A_SYM && cell_type_of(lead[i].a_w.w_sym) == frame::CellType::Unknown)
      ++i;  // the matrix's name: this host shares matrices by cord only
    if (i < lead.size() && is_number(lead[i])) setting("planecount", 1, const_cast<t_atom*>(&lead[i++]));
    if (i < lead.size() && lead[i].a_type == A_SYM) setting("type", 1, const_cast<t_atom*>(&lead[i++]));
    if (i < lead.size())
      setting("dim", static_cast<long>(lead.size() - i), const_cast<t_atom*>(lead.data() + i));
    for (auto& [name, values] : args.attributes)
      if (!setting(name, static_cast<long>(values.size()), values.data()))
        error("jit.matrix: no attribute %s or a wrong value for it", name.c_str());
  }

  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    if (is(s, "bang")) {
      if (out.matrix()) out.send(outlet);
      return;
    }
    if (is(s, "clear")) {
      if (out.matrix()) jit_object_method(out.matrix(), _jit_sym_clear);
      return;
    }
    if (!is(s, "jit_matrix")) {
      if (!setting(s->s_name, argc, argv)) error("jit.matrix: doesn't understand \"%s\"", s->s_name);
      return;
    }
    Incoming in;
    if (!take_matrix(self, argc, argv, &in)) return;
    t_jit_matrix_info info = in.info;
    if (planecount) info.planecount = planecount;
    else if (!adapt) info.planecount = 4;
    if (type) info.type = type;
    else if (!adapt) info.type = _jit_sym_char;
    if (!adapt) {
      info.dimcount = dim.empty() ? 2 : static_cast<long>(dim.size());
      for (long k = 0; k < info.dimcount; ++k) info.dim[k] = dim.empty() ? 1 : dim[k];
    }
    if (!shape_or_fail(self, out, info)) return;
    convert_matrix(view_of(in.info, in.data), out.view());
    out.send(outlet);
  }
};

// ---- jit.iter -----------------------------------------------------------------------

// Every cell in turn, first dimension fastest: its coordinates from the
// middle outlet, then its planes' values (one number, or a list) from the left.
struct JitIter {
  void* values = nullptr;
  void* coordinates = nullptr;

  void init(t_object* self, long, t_atom*) {
    outlet_new(self, nullptr);  // dump
    coordinates = outlet_new(self, nullptr);
    values = outlet_new(self, nullptr);
  }

  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    if (!is(s, "jit_matrix")) return;
    Incoming in;
    if (!take_matrix(self, argc, argv, &in)) return;
    if (!has_cells(in.info)) return;
    const frame::Matrix m = view_of(in.info, in.data);
    std::vector<long> at(static_cast<std::size_t>(m.dimcount), 0);
    std::vector<t_atom> coords(at.size()), cell(static_cast<std::size_t>(m.planecount));
    frame::dispatch_type(m.type, [&](auto zero) {
      using T = decltype(zero);
      for (;;) {
        std::ptrdiff_t offset = 0;
        for (std::size_t k = 0; k < at.size(); ++k) {
          offset += static_cast<std::ptrdiff_t>(at[k]) * m.dimstride[k];
          jit_atom_setlong(&coords[k], at[k]);
        }
        const T* v = reinterpret_cast<const T*>(m.data + offset);
        for (long p = 0; p < m.planecount; ++p) {
          if constexpr (std::is_floating_point_v<T>) jit_atom_setfloat(&cell[p], v[p]);
          else jit_atom_setlong(&cell[p], v[p]);
        }
        send_atoms(coordinates, static_cast<long>(coords.size()), coords.data());
        send_atoms(values, static_cast<long>(cell.size()), cell.data());
        std::size_t k = 0;
        while (k < at.size() && ++at[k] == m.dim[k]) at[k++] = 0;
        if (k == at.size()) return;
      }
    });
  }
};

// ---- sources ----------------------------------------------------------------------------

void* g_source_frame = nullptr;
std::vector<std::string> g_movie_files;

// jit.movie and jit.grab: on bang, the run's current frame as a movie or a
// camera gives one, 4 planes of char ARGB: cells converted to char as Jitter
// converts them; one or two planes are grey and three RGB, with alpha 255;
// four or more are ARGB.
template <bool Movie>
struct Source {
  OwnMatrix argb;
  void* outlet = nullptr;

  void init(t_object* self, long argc, t_atom* argv) {
    outlet_new(self, nullptr);  // dump
    outlet = outlet_new(self, "jit_matrix");
    if constexpr (Movie) {
      // A file name typed in the box, or @moviefile NAME.
      const Arguments args = split_arguments(argc, argv);
      for (const t_atom& a : args.leading)
        if (a.a_type == A_SYM && cell_type_of(a.a_w.w_sym) == frame::CellType::Unknown)
          g_movie_files.push_back(a.a_w.w_sym->s_name);
      for (auto& [name, values] : args.attributes)
        if (name == "moviefile" && !values.empty() && values[0].a_type == A_SYM)
          g_movie_files.push_back(values[0].a_w.w_sym->s_name);
    }
  }

  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    if constexpr (Movie)
      if (is(s, "read") && argc >= 1 && argv[0].a_type == A_SYM) g_movie_files.push_back(argv[0].a_w.w_sym->s_name);
    // Transport, camera and window messages have nothing to do headless.
    if (!is(s, "bang") || !g_source_frame) return;
    const t_jit_matrix_info info = info_of(g_source_frame);
    if (cell_type_of(info.type) == frame::CellType::Unknown || info.planecount < 1) return;
    t_jit_matrix_info want = info;
    want.type = _jit_sym_char;
    want.planecount = 4;
    if (!shape_or_fail(self, argb, want)) return;
    if (has_cells(info)) to_argb(view_of(info, data_of(g_source_frame)), argb.view());
    argb.send(outlet);
  }

  static void to_argb(const frame::Matrix& in, const frame::Matrix& out) {
    const long planes = in.planecount;
    frame::dispatch_type(in.type, [&](auto zero) {
      using T = decltype(zero);
      frame::walk_rows<2>(in.dimcount, in.dim, {in.data, out.data}, {in.dimstride, out.dimstride},
                          [&](const std::array<std::byte*, 2>& r, long width) {
                            const T* x = reinterpret_cast<const T*>(r[0]);
                            auto* y = reinterpret_cast<std::uint8_t*>(r[1]);
                            for (long i = 0; i < width; ++i, x += planes, y += 4) {
                              auto c = [&](long p) { return convert_cell<std::uint8_t>(x[p]); };
                              if (planes >= 4) {
                                for (long p = 0; p < 4; ++p) y[p] = c(p);
                              } else {
                                y[0] = 255;
                                for (long p = 1; p < 4; ++p) y[p] = c(planes == 3 ? p - 1 : 0);
                              }
                            }
                          });
    });
  }
};

// ---- windows ------------------------------------------------------------------------------

template <int Outlets>
struct Window {
  void init(t_object* self, long, t_atom*) {
    for (int i = 0; i < Outlets; ++i) outlet_new(self, nullptr);
  }
  void message(t_object*, t_symbol*, long, t_atom*) {}  // shown by the runner
};

}  // namespace

const std::vector<ObjectMain> kJitterObjects = {
    {"jit.op", object_main<JitOp>},
    {"jit.rgb2luma", object_main<JitRgb2Luma>},
    {"jit.matrix", object_main<JitMatrix>},
    {"jit.iter", object_main<JitIter>},
    {"jit.movie", object_main<Source<true>>},
    {"jit.grab", object_main<Source<false>>},
    {"jit.pwindow", object_main<Window<2>>},
    {"jit.window", object_main<Window<1>>},
};

}  // namespace zelk::objects

namespace zelk::host {

void set_source_frame(void* matrix) {
  // Sources send it by name, so it needs one.
  if (matrix && !jit_object_method(matrix, _jit_sym_getname)) jit_object_register(matrix, jit_symbol_unique());
  objects::g_source_frame = matrix;
}
const std::vector<std::string>& movie_files() { return objects::g_movie_files; }

}  // namespace zelk::host
