// jit.rgb2luma and jit.iter as a patch uses them; jit.movie and jit.grab,
// which send the run's frames; jit.pwindow and jit.window, which take what
// they are sent (the runner draws it). jit.op and jit.matrix have files of
// their own.
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

// ---- jit.rgb2luma ----------------------------------------------------------------

struct JitRgb2Luma {
  LumaScales scales;
  OwnMatrix char_in;
  OperatorOutput out;
  void* outlet = nullptr;

  bool setting(const std::string& name, long argc, t_atom* argv) {
    double* slot = name == "ascale"   ? &scales.a
                   : name == "rscale" ? &scales.r
                   : name == "gscale" ? &scales.g
                   : name == "bscale" ? &scales.b
                                      : nullptr;
    if (!slot) return out.setting(name, argc, argv);
    if (argc < 1 || !is_number(argv[0])) error("jit.rgb2luma: %s needs a number", name.c_str());
    else *slot = number_of(argv[0]);
    return true;
  }

  void init(t_object* self, long argc, t_atom* argv) {
    outlet_new(self, nullptr);  // dump
    outlet = outlet_new(self, "jit_matrix");
    Arguments args = split_arguments(argc, argv);
    out.init(self, args.leading);
    out.force(_jit_sym_char, 1);
    for (auto& [name, values] : args.attributes)
      if (!setting(name, static_cast<long>(values.size()), values.data()))
        error("jit.rgb2luma: no attribute %s", name.c_str());
  }

  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    if (is(s, "bang")) {
      if (out.matrix().matrix()) out.matrix().send(outlet);
      return;
    }
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
    if (!out.prepare(self, in.info)) return;
    // Its input and output are char: another type comes in converted.
    frame::Matrix argb = view_of(in.info, in.data);
    if (in.info.type != _jit_sym_char && has_cells(in.info)) {
      t_jit_matrix_info as_char = in.info;
      as_char.type = _jit_sym_char;
      if (!shape_or_fail(self, char_in, as_char)) return;
      convert_matrix(argb, char_in.view());
      argb = char_in.view();
    }
    const frame::Matrix luma = out.matrix().view();
    if (has_cells(in.info)) rgb_to_luma(overlap(argb, luma), overlap(luma, argb), scales);
    out.matrix().send(outlet);
  }
};

// ---- jit.iter -----------------------------------------------------------------------

// Every cell in turn: its coordinates from the middle outlet (a number for a
// 1-D matrix), then its planes' values from the left (a number for one
// plane; char and long as ints); then "done" from the dump outlet. Each 2-D
// slice goes row by row, or column by column at @mode 1; the dimensions
// above the second slowest, last one outermost.
struct JitIter {
  void* values = nullptr;
  void* coordinates = nullptr;
  void* dump = nullptr;
  unsigned char mode = 0;  // a char attribute, as Jitter stores it

  void init(t_object* self, long argc, t_atom* argv) {
    dump = outlet_new(self, nullptr);
    coordinates = outlet_new(self, nullptr);
    values = outlet_new(self, nullptr);
    for (auto& [name, args] : split_arguments(argc, argv).attributes)
      if (!setting(name, static_cast<long>(args.size()), args.data())) error("jit.iter: no attribute %s", name.c_str());
  }

  bool setting(const std::string& name, long argc, t_atom* argv) {
    if (name != "mode") return false;
    if (argc >= 1 && is_number(argv[0])) mode = static_cast<unsigned char>(static_cast<long>(number_of(argv[0])));
    return true;
  }

  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    if (is(s, "getmode")) {
      t_atom a;
      jit_atom_setlong(&a, mode);
      outlet_anything(dump, gensym("mode"), 1, &a);
      return;
    }
    if (!is(s, "jit_matrix")) {
      if (!setting(s->s_name, argc, argv)) error("jit.iter: doesn't understand \"%s\"", s->s_name);
      return;
    }
    Incoming in;
    if (!take_matrix(self, argc, argv, &in)) return;
    if (has_cells(in.info)) iterate(view_of(in.info, in.data));
    outlet_anything(dump, gensym("done"), 0, nullptr);
  }

  void iterate(const frame::Matrix& m) const {
    const auto dims = static_cast<std::size_t>(m.dimcount);
    std::vector<t_atom> coords(dims), cell(static_cast<std::size_t>(m.planecount));
    std::vector<long> at(dims, 0);
    const long width = m.dim[0], height = dims > 1 ? m.dim[1] : 1;
    frame::dispatch_type(m.type, [&](auto zero) {
      using T = decltype(zero);
      auto send_cell = [&](long x, long y, const std::byte* slice) {
        at[0] = x;
        if (dims > 1) at[1] = y;
        for (std::size_t k = 0; k < dims; ++k) jit_atom_setlong(&coords[k], at[k]);
        const T* v = reinterpret_cast<const T*>(slice + static_cast<std::ptrdiff_t>(x) * m.dimstride[0] +
                                                (dims > 1 ? static_cast<std::ptrdiff_t>(y) * m.dimstride[1] : 0));
        for (long p = 0; p < m.planecount; ++p) {
          if constexpr (std::is_floating_point_v<T>) jit_atom_setfloat(&cell[p], v[p]);
          else jit_atom_setlong(&cell[p], v[p]);
        }
        send_atoms(coordinates, static_cast<long>(dims), coords.data());
        send_atoms(values, m.planecount, cell.data());
      };
      for (;;) {
        std::ptrdiff_t offset = 0;
        for (std::size_t k = 2; k < dims; ++k) offset += static_cast<std::ptrdiff_t>(at[k]) * m.dimstride[k];
        const std::byte* slice = m.data + offset;
        if (mode == 1) {
          for (long x = 0; x < width; ++x)
            for (long y = 0; y < height; ++y) send_cell(x, y, slice);
        } else {
          for (long y = 0; y < height; ++y)
            for (long x = 0; x < width; ++x) send_cell(x, y, slice);
        }
        std::size_t k = 2;
        while (k < dims && ++at[k] == m.dim[k]) at[k++] = 0;
        if (k >= dims) return;
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
      Arguments args = split_arguments(argc, argv);
      for (const t_atom& a : args.leading)
        if (a.a_type == A_SYM && cell_type_of(a.a_w.w_sym) == frame::CellType::Unknown)
          g_movie_files.push_back(a.a_w.w_sym->s_name);
      for (auto& [name, values] : args.attributes)
        if (name == "moviefile" && !values.empty() && values[0].a_type == A_SYM)
          g_movie_files.push_back(values[0].a_w.w_sym->s_name);
    }
  }

  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    // What Max would put in front of the user says so on the console: a
    // headless run has no camera and no one to answer a file dialog.
    if constexpr (Movie) {
      if (is(s, "read") && argc >= 1 && argv[0].a_type == A_SYM) g_movie_files.push_back(argv[0].a_w.w_sym->s_name);
      else if (is(s, "read")) post("jit.movie: read without a file opens a file dialog (none here)");
    } else if (is(s, "open")) {
      post("jit.grab: open starts the camera (none here)");
    }
    // Transport, camera and window messages have nothing to do headless.
    if (!is(s, "bang") || !g_source_frame) return;
    const t_jit_matrix_info info = info_of(g_source_frame);
    if (cell_type_of(info.type) == frame::CellType::Unknown || info.planecount < 1) return;
    if (info.type == _jit_sym_char && info.planecount == 4) {
      // Already what a movie gives: the frame goes by name, as Jitter passes matrices.
      send_matrix(outlet, g_source_frame);
      return;
    }
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
                              auto c = [&](long p) {
                                if constexpr (std::is_same_v<T, std::uint8_t>) return x[p];
                                else return convert_cell<std::uint8_t>(x[p]);
                              };
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

std::vector<ObjectMain> jitter_objects() {
  std::vector<ObjectMain> all = jit_op_objects();
  for (const ObjectMain& o : jit_matrix_objects()) all.push_back(o);
  for (const ObjectMain& o : jit_pack_objects()) all.push_back(o);
  for (const ObjectMain& o : jit_display_objects()) all.push_back(o);
  for (const ObjectMain& o : std::initializer_list<ObjectMain>{
    {"jit.rgb2luma", object_main<JitRgb2Luma>},
    {"jit.iter", object_main<JitIter>},
    {"jit.movie", object_main<Source<true>>},
    {"jit.grab", object_main<Source<false>>},
    {"jit.pwindow", object_main<Window<2>>},
    {"jit.window", object_main<Window<1>>},
  })
    all.push_back(o);
  return all;
}

}  // namespace zelk::objects

namespace zelk::host {

void set_source_frame(void* matrix) {
  // Sources send it by name, so it needs one.
  if (matrix && !jit_object_method(matrix, _jit_sym_getname)) jit_object_register(matrix, jit_symbol_unique());
  objects::g_source_frame = matrix;
}
const std::vector<std::string>& movie_files() { return objects::g_movie_files; }

}  // namespace zelk::host
