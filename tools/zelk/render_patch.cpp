// A patch's windows drawn as Max would show them after a frame: boxes and
// cords where the file puts them, what each jit.pwindow was sent (converted
// to char as Jitter converts it for display, so a dim label image looks dim),
// and the values that number boxes, toggles, attrui and jit.cellblock show.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include <opencv2/imgproc.hpp>

#include "patch_objects/matrix_ops.h"
#include "patch_objects/object_kit.h"
#include "patch_objects/patch_objects.h"
#include "tools/zelk/picture.h"

namespace zelk::runner {
namespace {

const cv::Scalar kGround(229, 229, 229), kObject(64, 64, 64), kMessage(118, 118, 118), kLight(240, 240, 240),
    kInk(20, 20, 20), kCord(80, 80, 80);

// What a jit.pwindow shows of `m`: its cells as char, four planes as ARGB
// colour, fewer as the grey of the first plane.
cv::Mat window_picture(const Array& m) {
  if (m.dims.size() != 2 || m.planecount < 1 || m.dims[0] < 1 || m.dims[1] < 1) return {};
  cv::Mat out(static_cast<int>(m.dims[1]), static_cast<int>(m.dims[0]), CV_8UC3);
  frame::dispatch_type(m.type, [&](auto zero) {
    using T = decltype(zero);
    const T* v = reinterpret_cast<const T*>(m.data.data());
    for (int y = 0; y < out.rows; ++y)
      for (int x = 0; x < out.cols; ++x, v += m.planecount) {
        auto c = [&](long p) { return objects::convert_cell<std::uint8_t>(v[p]); };
        out.at<cv::Vec3b>(y, x) = m.planecount >= 4 ? cv::Vec3b(c(3), c(2), c(1)) : cv::Vec3b(c(0), c(0), c(0));
      }
  });
  return out;
}

double text_scale(double points) { return points * 0.034; }


// Text from `at` (its top left), wrapped into `width` pixels when that is > 0.
void draw_text(cv::Mat& img, const std::string& text, cv::Point at, double points, const cv::Scalar& ink,
               double width = 0, bool bold = false) {
  const double scale = text_scale(points);
  const int thickness = bold ? 2 : 1;
  int base = 0;
  const int line_h = static_cast<int>(std::lround(points * 1.25));
  std::string line, word;
  int y = at.y + static_cast<int>(std::lround(points));
  auto flush = [&] {
    if (!line.empty()) cv::putText(img, line, cv::Point(at.x, y), cv::FONT_HERSHEY_SIMPLEX, scale, ink, thickness, cv::LINE_AA);
    line.clear();
    y += line_h;
  };
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != ' ' && text[i] != '\n') {
      word += text[i];
      continue;
    }
    const std::string longer = line.empty() ? word : line + " " + word;
    if (width > 0 && !line.empty() &&
        cv::getTextSize(longer, cv::FONT_HERSHEY_SIMPLEX, scale, thickness, &base).width > width) {
      flush();
      line = word;
    } else {
      line = longer;
    }
    word.clear();
    if (i < text.size() && text[i] == '\n') flush();
  }
  flush();
}

// Where port `k` of `n` sits along a box of width `w`, as Max spaces them.
double port_x(double x, double w, int k, int n) { return n <= 1 ? x + 4 : x + 4 + k * (w - 8) / (n - 1); }

void draw_box(cv::Mat& img, const PatchBox& b, const Graph& g, const FrameRecord& r, int node_index) {
  const Node* node = node_index >= 0 ? &g.nodes()[node_index] : nullptr;
  const cv::Rect rect(static_cast<int>(b.x), static_cast<int>(b.y), std::max(1, static_cast<int>(b.width)),
                      std::max(1, static_cast<int>(b.height)));
  const cv::Point text_at(rect.x + 5, rect.y + 4);
  const std::string& cls = b.maxclass;
  if (cls == "comment") {
    draw_text(img, b.text, text_at - cv::Point(3, 2), b.fontsize > 0 ? b.fontsize : 12, kInk, b.width - 6, b.bold);
    return;
  }
  if (cls == "panel") return;
  if (cls == "jit.pwindow") {
    cv::rectangle(img, rect, cv::Scalar(0, 0, 0), cv::FILLED);
    const Array* shown = nullptr;
    for (const auto& s : r.matrices)
      if (s.node == node_index) shown = &s.matrix;
    cv::Mat pic = shown ? window_picture(*shown) : cv::Mat();
    if (!pic.empty()) {
      cv::Mat fitted;
      cv::resize(pic, fitted, rect.size(), 0, 0, cv::INTER_AREA);
      fitted.copyTo(img(rect & cv::Rect(0, 0, img.cols, img.rows)));
    }
    return;
  }
  std::string shown;
  const bool has_value = node && host::displayed_value(node->box->object(), &shown);
  if (cls == "toggle" || cls == "button") {
    cv::rectangle(img, rect, kObject, cv::FILLED);
    if (cls == "button") {
      cv::circle(img, (rect.tl() + rect.br()) / 2, rect.width / 2 - 4, kLight, 2, cv::LINE_AA);
    } else if (has_value && shown != "0") {
      cv::line(img, rect.tl() + cv::Point(5, 5), rect.br() - cv::Point(6, 6), kLight, 2, cv::LINE_AA);
      cv::line(img, cv::Point(rect.x + 5, rect.br().y - 6), cv::Point(rect.br().x - 6, rect.y + 5), kLight, 2,
               cv::LINE_AA);
    }
    return;
  }
  if (cls == "jit.cellblock") {
    cv::rectangle(img, rect, kLight, cv::FILLED);
    cv::rectangle(img, rect, kCord, 1);
    std::vector<std::vector<std::string>> cells;
    if (node) host::displayed_cells(node->box->object(), &cells);
    const int row_h = 18, col_w = std::max(40, rect.width / std::max<int>(1, cells.empty() ? 1 : static_cast<int>(cells[0].size())));
    for (std::size_t y = 0; y < cells.size() && static_cast<int>(y + 1) * row_h <= rect.height; ++y)
      for (std::size_t x = 0; x < cells[y].size() && static_cast<int>(x + 1) * col_w <= rect.width; ++x) {
        const cv::Rect c(rect.x + static_cast<int>(x) * col_w, rect.y + static_cast<int>(y) * row_h, col_w, row_h);
        cv::rectangle(img, c, cv::Scalar(190, 190, 190), 1);
        draw_text(img, cells[y][x], c.tl() + cv::Point(3, 3), 10, kInk);
      }
    return;
  }
  cv::rectangle(img, rect, cls == "message" ? kMessage : kObject, cv::FILLED);
  std::string text = b.text;
  if (cls == "message") text = has_value ? shown : "";
  if (cls == "number" || cls == "flonum") text = "> " + (has_value ? shown : std::string("0"));
  if (cls == "attrui") {
    // The attribute's name and the value the object it sets holds.
    const std::string attr = text.substr(std::min(text.size(), std::size_t{7}));
    text = attr + "   ";
    for (const Wire& w : g.wires())
      if (w.from == node_index && w.outlet == 0)
        for (const t_atom& a : g.nodes()[w.to].box->attribute(attr)) text += objects::shown_text(a) + " ";
  }
  // Clipped to the box, as Max cuts a number too long for its box.
  const cv::Rect inside = rect & cv::Rect(0, 0, img.cols, img.rows);
  if (inside.empty()) return;
  cv::Mat box = img(inside);
  draw_text(box, text, text_at - inside.tl(), 12, kLight, cls == "message" ? rect.width - 8 : 0);
}

}  // namespace

bool render_patch(const std::string& dir, long frame, const Patch& patch, const Graph& g, const FrameRecord& r,
                  std::string* why) {
  std::map<std::string, int> node_of;
  for (std::size_t j = 0; j < g.nodes().size(); ++j) node_of[g.nodes()[j].id] = static_cast<int>(j);
  for (std::size_t k = 0; k < patch.patchers.size(); ++k) {
    const Patcher& window = patch.patchers[k];
    const auto in_window = [&](const PatchBox& b) { return b.patcher == static_cast<int>(k); };
    // The windows a user sees: the top level (unless kept off the tabs) and the tabs.
    if ((k == 0 ? window.hidden : !window.tab) || std::none_of(patch.boxes.begin(), patch.boxes.end(), in_window))
      continue;
    int w = static_cast<int>(window.width), h = static_cast<int>(window.height);
    for (const PatchBox& b : patch.boxes)
      if (in_window(b)) {
        w = std::max(w, static_cast<int>(b.x + b.width) + 10);
        h = std::max(h, static_cast<int>(b.y + b.height) + 10);
      }
    cv::Mat img(std::min(h, 4000), std::min(w, 4000), CV_8UC3, kGround);
    auto ports = [&](const PatchBox& b, bool outlets) {
      const auto it = node_of.find(b.id);
      if (it == node_of.end()) return 0;
      const Node& n = g.nodes()[it->second];
      return outlets ? n.box->outlet_count() : n.inlets;
    };
    // A subpatcher's inlet and outlet boxes run where its box sits: a cord
    // to one from this window ends at the subpatcher's box.
    const auto port_box = [&](const PatchBox& b) { return b.text == "inlet" || b.text == "outlet"; };
    for (const PatchLine& l : patch.lines) {
      const PatchBox& from = patch.boxes[l.from];
      const PatchBox& to = patch.boxes[l.to];
      if (!(in_window(from) || port_box(from)) || !(in_window(to) || port_box(to)) ||
          (!in_window(from) && !in_window(to)))
        continue;
      const bool from_sub = !in_window(from), to_sub = !in_window(to);
      const cv::Point a(static_cast<int>(from_sub ? from.x + 4 : port_x(from.x, from.width, l.outlet, ports(from, true))),
                        static_cast<int>(from.y + (from_sub ? 22 : from.height)));
      const cv::Point b(static_cast<int>(to_sub ? to.x + 4 + 20 * (to.index > 0 ? to.index - 1 : 0)
                                                : port_x(to.x, to.width, l.inlet, ports(to, false))),
                        static_cast<int>(to.y));
      cv::line(img, a, b, kCord, 1, cv::LINE_AA);
    }
    for (const PatchBox& b : patch.boxes) {
      if (!in_window(b)) continue;
      const auto it = node_of.find(b.id);
      draw_box(img, b, g, r, it == node_of.end() ? -1 : it->second);
    }
    char name[64];
    std::snprintf(name, sizeof name, "f%04ld_tab_", frame);
    const std::string file =
        dir + (dir.back() == '/' ? "" : "/") + name + (window.name.empty() ? "main" : window.name) + ".png";
    if (!write_png(file, img, why)) return false;
  }
  return true;
}

}  // namespace zelk::runner
