// Objects that rearrange cells without computing on them: jit.pack and
// jit.transpose.
//
// jit.pack N: one matrix whose planes are taken from N matrices, `jump[k]`
// planes of inlet k from its plane `offset[k]` on (defaults: one each, from
// 0). The left inlet computes and sends; the others keep their matrix until
// then. The output takes the left matrix's type and size; a cell another
// inlet's matrix lacks reads 0, as does a plane it lacks.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "patch_objects/matrix_ops.h"
#include "patch_objects/object_kit.h"

namespace zelk::objects {
namespace {

struct JitPack {
  std::vector<OwnMatrix> kept;  // inlets 1.. (0 unused)
  std::vector<bool> has;
  std::vector<long> jump, offset;
  OwnMatrix out;
  void* outlet = nullptr;

  void init(t_object* self, long argc, t_atom* argv) {
    Arguments args = split_arguments(argc, argv);
    long n = 4;
    if (!args.leading.empty() && is_number(args.leading[0])) n = std::clamp(static_cast<long>(number_of(args.leading[0])), 1L, 32L);
    outlet_new(self, nullptr);  // dump
    outlet = outlet_new(self, "jit_matrix");
    for (long k = 1; k < n; ++k) inlet_new(self, nullptr);
    kept = std::vector<OwnMatrix>(static_cast<std::size_t>(n));
    has.assign(static_cast<std::size_t>(n), false);
    jump.assign(static_cast<std::size_t>(n), 1);
    offset.assign(static_cast<std::size_t>(n), 0);
    for (auto& [name, values] : args.attributes)
      if (!setting(name, static_cast<long>(values.size()), values.data())) error("jit.pack: no attribute %s", name.c_str());
  }

  bool setting(const std::string& name, long argc, t_atom* argv) {
    std::vector<long>* list = name == "jump" ? &jump : name == "offset" ? &offset : nullptr;
    if (!list) return false;
    for (long k = 0; k < argc && k < static_cast<long>(list->size()); ++k)
      if (is_number(argv[k])) (*list)[static_cast<std::size_t>(k)] = std::clamp(static_cast<long>(number_of(argv[k])), name == "jump" ? 1L : 0L, 32L);
    return true;
  }

  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    if (!is(s, "jit_matrix")) {
      if (!setting(s->s_name, argc, argv)) error("jit.pack: doesn't understand \"%s\"", s->s_name);
      return;
    }
    const auto inlet = static_cast<std::size_t>(proxy_getinlet(self));
    Incoming in;
    if (!take_matrix(self, argc, argv, &in) || inlet >= kept.size()) return;
    if (inlet > 0) {
      if (!shape_or_fail(self, kept[inlet], in.info)) return;
      if (has_cells(in.info)) convert_matrix(view_of(in.info, in.data), kept[inlet].view());
      has[inlet] = true;
      return;
    }
    t_jit_matrix_info want = in.info;
    long planes = 0;
    for (long j : jump) planes += j;
    want.planecount = std::min(planes, 32L);
    if (!shape_or_fail(self, out, want)) return;
    std::vector<frame::Matrix> sources(kept.size());
    sources[0] = view_of(in.info, in.data);
    for (std::size_t k = 1; k < kept.size(); ++k)
      if (has[k]) sources[k] = kept[k].view();
    if (has_cells(in.info)) pack(sources, out.view());
    out.send(outlet);
  }

  void pack(const std::vector<frame::Matrix>& sources, const frame::Matrix& o) const {
    std::vector<long> at(static_cast<std::size_t>(o.dimcount), 0);
    frame::dispatch_type(o.type, [&](auto zero_out) {
      using D = decltype(zero_out);
      for (;;) {
        std::ptrdiff_t to = 0;
        for (long d = 0; d < o.dimcount; ++d) to += static_cast<std::ptrdiff_t>(at[d]) * o.dimstride[d];
        D* cell = reinterpret_cast<D*>(o.data + to);
        long q = 0;
        for (std::size_t k = 0; k < sources.size(); ++k) {
          const frame::Matrix& m = sources[k];
          std::ptrdiff_t from = 0;
          bool inside = m.data != nullptr;
          for (long d = 0; d < o.dimcount && inside; ++d) {
            const long size = d < m.dimcount ? m.dim[d] : 1;
            inside = at[d] < size;
            if (d < m.dimcount) from += static_cast<std::ptrdiff_t>(at[d]) * m.dimstride[d];
          }
          for (long j = 0; j < jump[k] && q < o.planecount; ++j, ++q) {
            const long p = offset[k] + j;
            cell[q] = D(0);
            if (!inside || p >= m.planecount) continue;
            frame::dispatch_type(m.type, [&](auto zero_in) {
              using S = decltype(zero_in);
              cell[q] = convert_cell<D>(reinterpret_cast<const S*>(m.data + from)[p]);
            });
          }
        }
        for (; q < o.planecount; ++q) cell[q] = D(0);
        long d = 0;
        while (d < o.dimcount && ++at[d] == o.dim[d]) at[d++] = 0;
        if (d == o.dimcount) return;
      }
    });
  }
};

// jit.transpose: dimensions 0 and 1 swapped, cell (x, y) to (y, x); a 1-D
// matrix of N cells becomes one column of N rows. Higher dimensions keep
// their place; type and planes are the input's.
struct JitTranspose {
  OwnMatrix out;
  void* outlet = nullptr;

  void init(t_object* self, long, t_atom*) {
    outlet_new(self, nullptr);  // dump
    outlet = outlet_new(self, "jit_matrix");
  }

  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    if (!is(s, "jit_matrix")) {
      error("jit.transpose: doesn't understand \"%s\"", s->s_name);
      return;
    }
    Incoming in;
    if (!take_matrix(self, argc, argv, &in)) return;
    t_jit_matrix_info want = in.info;
    if (want.dimcount < 2) {
      want.dimcount = 2;
      want.dim[1] = 1;
    }
    std::swap(want.dim[0], want.dim[1]);
    if (!shape_or_fail(self, out, want)) return;
    const frame::Matrix src = view_of(in.info, in.data), dst = out.view();
    const std::size_t cell = frame::cell_size(src.type) * static_cast<std::size_t>(src.planecount);
    const long width = src.dim[0], height = src.dimcount > 1 ? src.dim[1] : 1;
    long slices = 1;
    for (long d = 2; d < src.dimcount; ++d) slices *= src.dim[d];
    std::vector<long> at(static_cast<std::size_t>(std::max(0L, src.dimcount - 2)), 0);
    for (long k = 0; k < slices && has_cells(in.info); ++k) {
      std::ptrdiff_t from = 0, to = 0;
      for (std::size_t d = 0; d < at.size(); ++d) {
        from += static_cast<std::ptrdiff_t>(at[d]) * src.dimstride[d + 2];
        to += static_cast<std::ptrdiff_t>(at[d]) * dst.dimstride[d + 2];
      }
      const long row_stride = src.dimcount > 1 ? src.dimstride[1] : 0;
      for (long y = 0; y < height; ++y)
        for (long x = 0; x < width; ++x)
          std::memcpy(dst.data + to + static_cast<std::ptrdiff_t>(y) * dst.dimstride[0] +
                          static_cast<std::ptrdiff_t>(x) * dst.dimstride[1],
                      src.data + from + static_cast<std::ptrdiff_t>(x) * src.dimstride[0] +
                          static_cast<std::ptrdiff_t>(y) * row_stride,
                      cell);
      for (std::size_t d = 0; d < at.size(); ++d) {
        if (++at[d] < src.dim[d + 2]) break;
        at[d] = 0;
      }
    }
    out.send(outlet);
  }
};

}  // namespace

std::vector<ObjectMain> jit_pack_objects() {
  return {{"jit.pack", object_main<JitPack>}, {"jit.transpose", object_main<JitTranspose>}};
}

}  // namespace zelk::objects
