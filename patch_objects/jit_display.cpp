// jit.lcd, a surface drawn on by QuickDraw-like messages and sent on bang,
// and jit.cellblock, which keeps the values of the last matrix it was
// sent for the runner to draw as a grid of text cells.
//
// jit.lcd's coordinates are QuickDraw's: whole numbers on the grid lines
// between pixels, (0, 0) the top-left corner of pixel (0, 0). A rectangle
// l t r b covers the pixels from column l to r - 1 and row t to b - 1; the
// pen (pensize w h) hangs below and to the right of the point it is at, so
// a line covers, for each point of the line, the w x h pixels from it. An
// oval covers the pixels of its rectangle whose centres lie within the
// ellipse inscribed in it. Everything is clipped to the matrix.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "frame/walk.h"
#include "patch_objects/object_kit.h"

#include "stb_easy_font.h"

namespace zelk::objects {
namespace {

// ---- jit.lcd -------------------------------------------------------------------------

// QuickDraw's coordinate plane is 16-bit: a point beyond it is held at its edge.
constexpr long kPlaneLimit = 32767;
constexpr long kMaxSide = 8192;  // larger surfaces are refused rather than allocated per box
constexpr std::size_t kMaxPolyPoints = 254;  // as many as jit.lcd's polygon messages take

// A number as a finite double: NaN (which expr can make) as 0.
double finite(const t_atom& a) {
  const double v = number_of(a);
  return v == v ? v : 0;
}

long coord(const t_atom& a) {
  const double v = finite(a);
  return static_cast<long>(std::clamp(v, static_cast<double>(-kPlaneLimit), static_cast<double>(kPlaneLimit)));
}

struct JitLcd {
  OwnMatrix surface;
  long width = 320, height = 240;
  std::uint8_t pen[4] = {255, 0, 0, 0};         // ARGB: black
  std::uint8_t background[4] = {255, 255, 255, 255};  // white
  long x = 0, y = 0;     // the pen's point
  long pen_w = 1, pen_h = 1;
  double text_scale = 1;  // font size / 12
  void* outlet = nullptr;

  void init(t_object* self, long argc, t_atom* argv) {
    outlet_new(self, nullptr);  // dump
    outlet = outlet_new(self, "jit_matrix");
    Arguments args = split_arguments(argc, argv);
    const std::vector<t_atom>& a = args.leading;
    // [planecount] [type] [width] [height], as matrix arguments; the surface is 4-plane char.
    if (!a.empty() && (!is_number(a[0]) || number_of(a[0]) != 4))
      error("jit.lcd: draws on 4 planes (ARGB), not %s", atom_text(a[0]).c_str());
    if (a.size() > 1 && !(a[1].a_type == A_SYM && a[1].a_w.w_sym == _jit_sym_char))
      error("jit.lcd: draws on char cells, not %s", atom_text(a[1]).c_str());
    if (a.size() > 3) resize(a[2], a[3]);
    else if (a.size() > 2) error("jit.lcd: takes a width and a height");
    for (auto& [name, values] : args.attributes) {
      if (name == "dim" && values.size() >= 2) resize(values[0], values[1]);
      else error("jit.lcd: no attribute %s", name.c_str());
    }
    reshape(self);
  }

  void resize(const t_atom& w, const t_atom& h) {
    if (!is_number(w) || !is_number(h) || !(finite(w) >= 1 && finite(h) >= 1 && finite(w) <= kMaxSide &&
                                             finite(h) <= kMaxSide)) {
      error("jit.lcd: a surface is 1 to %ld pixels a side", kMaxSide);
      return;
    }
    width = static_cast<long>(finite(w));
    height = static_cast<long>(finite(h));
  }

  void reshape(t_object* self) {
    t_jit_matrix_info info{};
    info.type = _jit_sym_char;
    info.planecount = 4;
    info.dimcount = 2;
    info.dim[0] = width;
    info.dim[1] = height;
    if (shape_or_fail(self, surface, info)) fill(0, 0, width, height, background);
  }

  // The pixels from column l to r - 1 and row t to b - 1 that lie in the matrix.
  void fill(long l, long t, long r, long b, const std::uint8_t* c) {
    if (!surface.matrix()) return;
    const frame::Matrix m = surface.view();
    l = std::max(l, 0L), t = std::max(t, 0L), r = std::min(r, m.dim[0]), b = std::min(b, m.dim[1]);
    for (long row = t; row < b; ++row) {
      std::byte* p = m.data + row * m.dimstride[1] + l * m.dimstride[0];
      for (long col = l; col < r; ++col, p += m.dimstride[0])
        for (int k = 0; k < 4; ++k) p[k] = static_cast<std::byte>(c[k]);
    }
  }

  void line(long x0, long y0, long x1, long y1) {
    // Bresenham, both ends drawn; each point stamps the pen.
    const long dx = std::labs(x1 - x0), dy = -std::labs(y1 - y0);
    const long sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    long err = dx + dy;
    for (;;) {
      fill(x0, y0, x0 + pen_w, y0 + pen_h, pen);
      if (x0 == x1 && y0 == y1) return;
      const long e2 = 2 * err;
      if (e2 >= dy) err += dy, x0 += sx;
      if (e2 <= dx) err += dx, y0 += sy;
    }
  }

  void frame_rect(long l, long t, long r, long b) {
    if (r <= l || b <= t) return;
    fill(l, t, r, std::min(t + pen_h, b), pen);
    fill(l, std::max(b - pen_h, t), r, b, pen);
    fill(l, t, std::min(l + pen_w, r), b, pen);
    fill(std::max(r - pen_w, l), t, r, b, pen);
  }

  static bool in_oval(long px, long py, long l, long t, long r, long b) {
    if (r <= l || b <= t) return false;
    const double rx = (r - l) / 2.0, ry = (b - t) / 2.0;
    const double u = (px + 0.5 - (l + rx)) / rx, v = (py + 0.5 - (t + ry)) / ry;
    return u * u + v * v <= 1;
  }

  void oval(long l, long t, long r, long b, bool framed, const std::uint8_t* c) {
    if (!surface.matrix()) return;
    const long x0 = std::max(l, 0L), x1 = std::min(r, width), y0 = std::max(t, 0L), y1 = std::min(b, height);
    for (long py = y0; py < y1; ++py)
      for (long px = x0; px < x1; ++px)
        if (in_oval(px, py, l, t, r, b) &&
            !(framed && in_oval(px, py, l + pen_w, t + pen_h, r - pen_w, b - pen_h)))
          fill(px, py, px + 1, py + 1, c);
  }

  // Even-odd filling: the pixels whose centres lie inside the outline.
  void paint_poly(const std::vector<std::pair<long, long>>& pts) {
    const long y0 = std::max(0L, std::min_element(pts.begin(), pts.end(), [](auto& a, auto& b) { return a.second < b.second; })->second);
    const long y1 = std::min(height, std::max_element(pts.begin(), pts.end(), [](auto& a, auto& b) { return a.second < b.second; })->second);
    std::vector<double> xs;
    for (long py = y0; py < y1; ++py) {
      const double cy = py + 0.5;
      xs.clear();
      for (std::size_t i = 0; i < pts.size(); ++i) {
        const auto& [ax, ay] = pts[i];
        const auto& [bx, by] = pts[(i + 1) % pts.size()];
        if ((ay <= cy) != (by <= cy)) xs.push_back(ax + (cy - ay) * static_cast<double>(bx - ax) / static_cast<double>(by - ay));
      }
      std::sort(xs.begin(), xs.end());
      for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
        fill(static_cast<long>(std::ceil(xs[i] - 0.5)), py, static_cast<long>(std::ceil(xs[i + 1] - 0.5)), py + 1, pen);
    }
  }

  // Text at the pen, its baseline on the pen's row line; the pen moves past it.
  void write(const std::string& raw) {
    std::string text;
    for (char ch : raw)
      if (ch >= 32 && ch <= 126) text += ch;  // the font has printable ASCII only
    if (text.empty()) return;
    text.resize(std::min<std::size_t>(text.size(), 1024));
    std::vector<float> quads(text.size() * 400);  // 16-byte vertices; stb truncates beyond
    const int n = stb_easy_font_print(0, 0, text.data(), nullptr, quads.data(), static_cast<int>(quads.size() * sizeof(float)));
    for (int q = 0; q < n; ++q) {
      const float* v = &quads[static_cast<std::size_t>(q) * 16];  // 4 vertices of x, y, z, colour
      float qx0 = v[0], qx1 = v[0], qy0 = v[1], qy1 = v[1];
      for (int k = 1; k < 4; ++k) {
        qx0 = std::min(qx0, v[k * 4]), qx1 = std::max(qx1, v[k * 4]);
        qy0 = std::min(qy0, v[k * 4 + 1]), qy1 = std::max(qy1, v[k * 4 + 1]);
      }
      // The font's capitals stand on y = 7; pixels whose centres fall in a quad are inked.
      auto px = [&](float u) { return static_cast<long>(std::ceil(x + u * text_scale - 0.5)); };
      auto py = [&](float u) { return static_cast<long>(std::ceil(y + (u - 7) * text_scale - 0.5)); };
      fill(px(qx0), py(qy0), px(qx1), py(qy1), pen);
    }
    x = std::min(kPlaneLimit, x + static_cast<long>(std::lround(stb_easy_font_width(text.data()) * text_scale)));
  }

  static void colour(long argc, t_atom* argv, std::uint8_t* c) {
    for (int k = 0; k < 3; ++k)
      c[k + 1] = static_cast<std::uint8_t>(std::clamp(k < argc ? finite(argv[k]) : 0.0, 0.0, 255.0));
    c[0] = 255;
  }

  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    const std::string m = s->s_name;
    auto numbers = [&](long n) {
      if (argc >= n && std::all_of(argv, argv + n, is_number)) return true;
      error("jit.lcd: %s takes %ld numbers", m.c_str(), n);
      return false;
    };
    auto at = [&](long i) { return coord(argv[i]); };
    if (m == "bang") {
      if (surface.matrix()) surface.send(outlet);
    } else if (m == "clear") {
      fill(0, 0, width, height, background);
    } else if (m == "frgb" || m == "brgb") {
      if (numbers(3)) colour(argc, argv, m == "frgb" ? pen : background);
    } else if (m == "pensize") {
      if (numbers(2)) pen_w = std::clamp(at(0), 0L, kMaxSide), pen_h = std::clamp(at(1), 0L, kMaxSide);
    } else if (m == "moveto") {
      if (numbers(2)) x = at(0), y = at(1);
    } else if (m == "move") {
      if (numbers(2)) x = std::clamp(x + at(0), -kPlaneLimit, kPlaneLimit), y = std::clamp(y + at(1), -kPlaneLimit, kPlaneLimit);
    } else if (m == "lineto" || m == "line") {
      if (!numbers(2)) return;
      const long tx = m == "line" ? std::clamp(x + at(0), -kPlaneLimit, kPlaneLimit) : at(0);
      const long ty = m == "line" ? std::clamp(y + at(1), -kPlaneLimit, kPlaneLimit) : at(1);
      line(x, y, tx, ty);
      x = tx, y = ty;
    } else if (m == "linesegment") {
      if (numbers(4)) line(at(0), at(1), at(2), at(3)), x = at(2), y = at(3);
    } else if (m == "framerect" || m == "paintrect" || m == "eraserect") {
      if (!numbers(4)) return;
      if (m == "framerect") frame_rect(at(0), at(1), at(2), at(3));
      else fill(at(0), at(1), at(2), at(3), m == "paintrect" ? pen : background);
    } else if (m == "frameoval" || m == "paintoval" || m == "eraseoval") {
      if (numbers(4)) oval(at(0), at(1), at(2), at(3), m == "frameoval", m == "eraseoval" ? background : pen);
    } else if (m == "framepoly" || m == "paintpoly") {
      if (argc < 4 || argc % 2 || !numbers(argc)) return (void)error("jit.lcd: %s takes x y pairs", m.c_str());
      std::vector<std::pair<long, long>> pts;
      for (long i = 0; i + 1 < argc && pts.size() < kMaxPolyPoints; i += 2) pts.emplace_back(at(i), at(i + 1));
      if (m == "paintpoly") return paint_poly(pts);
      for (std::size_t i = 0; i < pts.size(); ++i)
        line(pts[i].first, pts[i].second, pts[(i + 1) % pts.size()].first, pts[(i + 1) % pts.size()].second);
    } else if (m == "write") {
      std::string text;
      for (long i = 0; i < argc; ++i) {
        if (i) text += ' ';
        text += shown_text(argv[i]);
      }
      write(text);
    } else if (m == "ascii") {
      if (numbers(1)) write(std::string(1, static_cast<char>(coord(argv[0]) & 255)));
    } else if (m == "font") {
      // A font's name cannot be honoured headless; its size scales the one font there is.
      if (argc >= 2 && is_number(argv[1]) && number_of(argv[1]) > 0) text_scale = std::min(number_of(argv[1]), 512.0) / 12;
    } else if (m == "textface") {
      // Bold, italic and the rest are not drawn by the one font there is.
    } else if (m == "dim") {
      if (!numbers(2)) return;
      resize(argv[0], argv[1]);
      reshape(self);
    } else if (m == "jit_matrix") {
      error("jit.lcd: has no matrix input");
    } else {
      error("jit.lcd: doesn't understand \"%s\"", m.c_str());
    }
  }
};

// ---- jit.cellblock ----------------------------------------------------------------------

constexpr long kShownCells = 64;  // per side: a cellblock shows a window on larger matrices

// jit.cellblock: keeps the first 64 x 64 cells of the last matrix (its
// first 2-D slice); "clear" empties it; bang sends each cell as
// "column row values..." out of the left outlet. Settings of Max's drawing
// (rows, cols, colours ...) change nothing headless.
struct JitCellblock {
  std::vector<std::vector<std::vector<t_atom>>> cells;  // [row][column] -> the cell's planes
  void* outlet = nullptr;
  Shown shown;

  void init(t_object* self, long, t_atom*) {
    for (int i = 0; i < 3; ++i) outlet_new(self, nullptr);
    outlet = outlet_new(self, nullptr);
    shown.cells(self, [this] {
      std::vector<std::vector<std::string>> rows;
      for (const auto& row : cells) {
        rows.emplace_back();
        for (const auto& cell : row) {
          std::string t;
          for (const t_atom& a : cell) {
            if (!t.empty()) t += ' ';
            t += shown_text(a);
          }
          rows.back().push_back(t);
        }
      }
      return rows;
    });
  }

  void keep(const frame::Matrix& m) {
    const long cols = std::min(m.dim[0], kShownCells), rows = m.dimcount > 1 ? std::min(m.dim[1], kShownCells) : 1;
    cells.assign(static_cast<std::size_t>(rows), std::vector<std::vector<t_atom>>(static_cast<std::size_t>(cols)));
    frame::dispatch_type(m.type, [&](auto zero) {
      using T = decltype(zero);
      for (long r = 0; r < rows; ++r)
        for (long c = 0; c < cols; ++c) {
          const T* v = reinterpret_cast<const T*>(m.data + c * m.dimstride[0] + (m.dimcount > 1 ? r * m.dimstride[1] : 0));
          auto& cell = cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
          for (long p = 0; p < m.planecount; ++p) {
            t_atom a;
            if constexpr (std::is_floating_point_v<T>) jit_atom_setfloat(&a, v[p]);
            else jit_atom_setlong(&a, v[p]);
            cell.push_back(a);
          }
        }
    });
  }

  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    static const char* const kDrawing[] = {"rows",     "cols",     "colwidth",  "rowheight", "fgcolor", "bgcolor",
                                           "selmode",  "readonly", "hscroll",   "vscroll",   "border",  "grid",
                                           "gridlinecolor", "precision", "neverdrawselection", "outmode", "just"};
    if (is(s, "jit_matrix")) {
      Incoming in;
      if (!take_matrix(self, argc, argv, &in)) return;
      if (has_cells(in.info)) keep(view_of(in.info, in.data));
      else cells.clear();
    } else if (is(s, "clear")) {
      cells.clear();
    } else if (is(s, "bang")) {
      for (std::size_t r = 0; r < cells.size(); ++r)
        for (std::size_t c = 0; c < cells[r].size(); ++c) {
          std::vector<t_atom> out(2);
          jit_atom_setlong(&out[0], static_cast<t_atom_long>(c));
          jit_atom_setlong(&out[1], static_cast<t_atom_long>(r));
          out.insert(out.end(), cells[r][c].begin(), cells[r][c].end());
          outlet_list(outlet, gensym("list"), static_cast<short>(out.size()), out.data());
        }
    } else if (std::none_of(std::begin(kDrawing), std::end(kDrawing), [&](const char* n) { return is(s, n); })) {
      error("jit.cellblock: doesn't understand \"%s\"", s->s_name);
    }
  }
};

}  // namespace

std::vector<ObjectMain> jit_display_objects() {
  return {{"jit.lcd", object_main<JitLcd>}, {"jit.cellblock", object_main<JitCellblock>}};
}

}  // namespace zelk::objects
