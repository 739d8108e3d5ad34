#include "tools/zelk/picture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace zelk::runner {
namespace {

constexpr double kDegree = 0.017453292519943295;

int cv_depth(frame::CellType t) {
  switch (t) {
    case frame::CellType::Char: return CV_8U;
    case frame::CellType::Long: return CV_32S;
    case frame::CellType::Float32: return CV_32F;
    case frame::CellType::Float64: return CV_64F;
    default: return -1;
  }
}

// Value of plane p of cell k of a 1-D matrix, as a double; NaN when absent.
double cell(const Array* a, long k, long p) {
  if (!a || a->dims.empty() || p >= a->planecount || k < 0 || static_cast<std::size_t>(k) >= a->cell_count())
    return std::nan("");
  double v = std::nan("");
  frame::dispatch_type(a->type, [&](auto zero) {
    using T = decltype(zero);
    v = static_cast<double>(reinterpret_cast<const T*>(a->data.data())[k * a->planecount + p]);
  });
  return v;
}

// A pixel coordinate from a cell; -1 when the cell holds no usable number.
int coordinate(double v) { return std::isfinite(v) && std::fabs(v) < 1e8 ? static_cast<int>(v) : -1; }

long cells(const Array* a) { return a && !a->dims.empty() ? static_cast<long>(a->cell_count()) : 0; }

// Radians from a box whose `mode` 1 means degrees.
double radians(const Graph& g, const std::string& object, double v) {
  for (const Node& n : g.nodes())
    if (n.object == object) return jit_attr_getlong(n.box->jit_object(), gensym("mode")) ? v * kDegree : v;
  return v;
}

int node_of(const Graph& g, const std::string& object) {
  for (std::size_t j = 0; j < g.nodes().size(); ++j)
    if (g.nodes()[j].object == object) return static_cast<int>(j);
  return -1;
}

const Array* sent_by(const FrameRecord& r, int node) {
  for (const auto& s : r.matrices)
    if (s.node == node) return &s.matrix;
  return nullptr;
}

// The peak list an extrema box fed by hough box `hough` sent this frame.
const Array* peaks_of(const Graph& g, const FrameRecord& r, int hough) {
  for (const Wire& w : g.wires())
    if (w.from == hough && w.outlet == 0 && g.nodes()[w.to].object == "zelk.extrema")
      if (const Array* p = sent_by(r, w.to)) return p;
  return nullptr;
}

cv::Mat heat_map(const Array& acc, const Array* peaks) {
  cv::Mat counts, scaled, heat;
  mat_view(acc).convertTo(counts, CV_32F);
  double lo = 0, hi = 0;
  cv::minMaxLoc(counts, &lo, &hi);
  // The square root keeps the weaker votes in sight beside the peaks.
  cv::sqrt(cv::max(counts, 0.0f), counts);
  counts.convertTo(scaled, CV_8U, hi > 0 ? 255.0 / std::sqrt(hi) : 0.0);
  cv::applyColorMap(scaled, heat, cv::COLORMAP_INFERNO);
  // Few angle rows: stretch them so a person can see them.
  const int k = std::max(1, std::min(16, 360 / std::max(1, heat.rows)));
  cv::Mat big;
  cv::resize(heat, big, cv::Size(heat.cols * (k > 1 ? 2 : 1), heat.rows * k), 0, 0, cv::INTER_NEAREST);
  const double sx = static_cast<double>(big.cols) / heat.cols, sy = static_cast<double>(big.rows) / heat.rows;
  for (long i = 0; i < cells(peaks); ++i) {
    const double c = cell(peaks, i, 0), t = cell(peaks, i, 1);
    if (!(c > 0) || !(t > 0)) break;  // (0, 0) ends the list
    cv::Point centre(static_cast<int>((c + 0.5) * sx), static_cast<int>((t + 0.5) * sy));
    cv::circle(big, centre, static_cast<int>(std::max(sx, sy)) + 4, cv::Scalar(255, 255, 0), 2, cv::LINE_AA);
  }
  return big;
}

// Both ends of the line x cos t + y sin t = rho inside a w x h frame.
bool clip_line(const LineView& l, int w, int h, cv::Point* a, cv::Point* b) {
  const double c = std::cos(l.theta), s = std::sin(l.theta);
  const double x0 = c * l.rho, y0 = s * l.rho, big = 4.0 * (w + h);
  cv::Point p(static_cast<int>(std::lround(x0 - big * s)), static_cast<int>(std::lround(y0 + big * c)));
  cv::Point q(static_cast<int>(std::lround(x0 + big * s)), static_cast<int>(std::lround(y0 - big * c)));
  if (!cv::clipLine(cv::Size(w, h), p, q)) return false;
  *a = p;
  *b = q;
  return true;
}

}  // namespace

bool write_png(const std::string& path, const cv::Mat& img, std::string* why) {
  bool ok = false;
  try {
    ok = cv::imwrite(path, img, {cv::IMWRITE_PNG_COMPRESSION, 1});
  } catch (const std::exception&) {
    ok = false;
  }
  if (!ok) *why = path + ": cannot write it";
  return ok;
}

const Array* FrameRecord::find(const Graph& g, const std::string& object) const {
  return sent_by(*this, node_of(g, object));
}

cv::Mat mat_view(const Array& a) {
  const int depth = cv_depth(a.type);
  if (depth < 0 || a.dims.size() != 2 || a.planecount < 1 || a.planecount > 4 || a.dims[0] < 1 || a.dims[1] < 1 ||
      a.dims[0] > 1 << 20 || a.dims[1] > 1 << 20)
    return {};
  return cv::Mat(static_cast<int>(a.dims[1]), static_cast<int>(a.dims[0]),
                 CV_MAKETYPE(depth, static_cast<int>(a.planecount)), const_cast<std::byte*>(a.data.data()));
}

cv::Scalar colour_of(int n) {
  // Golden-ratio steps around the hue circle keep neighbours apart.
  const double hue = std::fmod(n * 0.6180339887, 1.0) * 180.0;
  cv::Mat hsv(1, 1, CV_8UC3, cv::Scalar(hue, 210, 255)), bgr;
  cv::cvtColor(hsv, bgr, cv::COLOR_HSV2BGR);
  const auto p = bgr.at<cv::Vec3b>(0, 0);
  return cv::Scalar(p[0], p[1], p[2]);
}

cv::Mat picture_of(const std::string& object, const Array& m) {
  cv::Mat v = mat_view(m);
  if (v.empty()) return {};
  if (object == "zelk.hough" && m.planecount == 1) return heat_map(m, nullptr);
  if ((object == "zelk.label" || object == "zelk.trackpoints") && m.planecount == 1) {
    cv::Mat n;
    v.convertTo(n, CV_32S);
    cv::Mat out(v.size(), CV_8UC3, cv::Scalar(0, 0, 0));
    for (int y = 0; y < n.rows; ++y)
      for (int x = 0; x < n.cols; ++x)
        if (int k = n.at<int>(y, x)) {
          const cv::Scalar c = colour_of(k);
          out.at<cv::Vec3b>(y, x) = cv::Vec3b(static_cast<uchar>(c[0]), static_cast<uchar>(c[1]), static_cast<uchar>(c[2]));
        }
    return out;
  }
  if (m.type == frame::CellType::Char && m.planecount == 4) {
    cv::Mat bgr;
    const int from_to[] = {3, 0, 2, 1, 1, 2};  // ARGB -> BGR
    bgr.create(v.size(), CV_8UC3);
    cv::mixChannels(&v, 1, &bgr, 1, from_to, 3);
    return bgr;
  }
  cv::Mat plane;
  cv::extractChannel(v, plane, 0);
  if (m.type == frame::CellType::Char) return plane.clone();
  cv::Mat d, out;
  plane.convertTo(d, CV_64F);
  // NaN and infinity would spoil the range: drawn as 0.
  cv::Mat finite = cv::abs(d) <= std::numeric_limits<double>::max();
  d.setTo(0, ~finite);
  double lo = 0, hi = 0;
  cv::minMaxLoc(d, &lo, &hi);
  d.convertTo(out, CV_8U, hi > lo ? 255.0 / (hi - lo) : 0.0, hi > lo ? -lo * 255.0 / (hi - lo) : 0.0);
  return out;
}

std::vector<BlobView> blobs_of(const Graph& g, const FrameRecord& r) {
  const Array* bounds = r.find(g, "zelk.blobs.bounds");
  const Array* centroids = r.find(g, "zelk.blobs.centroids");
  const Array* moments = r.find(g, "zelk.blobs.moments");
  const Array* ids = r.find(g, "zelk.blobs.sort");
  const Array* angles = r.find(g, "zelk.blobs.orientation");
  const Array* elongations = r.find(g, "zelk.blobs.elongation");
  const Array* directions = r.find(g, "zelk.blobs.direction");
  const long n = std::max({cells(bounds), cells(centroids), cells(moments)});
  std::vector<BlobView> out;
  for (long k = 0; k < n; ++k) {
    BlobView b;
    b.label = static_cast<int>(k + 1);
    if (centroids) {
      b.cx = cell(centroids, k, 0), b.cy = cell(centroids, k, 1), b.mass = cell(centroids, k, 2);
    } else if (moments) {
      b.cx = cell(moments, k, 14), b.cy = cell(moments, k, 15), b.mass = cell(moments, k, 16);
    }
    if (bounds) {
      b.x0 = coordinate(cell(bounds, k, 0)), b.y0 = coordinate(cell(bounds, k, 1));
      b.x1 = coordinate(cell(bounds, k, 2)), b.y1 = coordinate(cell(bounds, k, 3));
    }
    if (!(b.mass > 0) && (centroids || moments)) continue;  // a label no blob holds
    if (k < cells(ids)) b.id = coordinate(cell(ids, k, 0));
    if (k < cells(angles)) {
      b.angle = radians(g, "zelk.blobs.orientation", cell(angles, k, 0));
      b.has_angle = std::isfinite(b.angle);
    }
    if (k < cells(directions)) {
      b.direction = radians(g, "zelk.blobs.direction", cell(directions, k, 0));
      b.has_direction = std::isfinite(b.direction);
    }
    if (k < cells(elongations)) {
      b.elongation = cell(elongations, k, 0);
      b.has_elongation = std::isfinite(b.elongation);
    }
    out.push_back(b);
  }
  return out;
}

std::vector<LineView> lines_of(const Graph& g, const FrameRecord& r) {
  std::vector<LineView> out;
  const int hough = node_of(g, "zelk.hough");
  const Array* acc = sent_by(r, hough);
  const Array* peaks = hough >= 0 ? peaks_of(g, r, hough) : nullptr;
  if (!acc || !peaks || acc->dims.size() != 2) return out;
  void* jit = g.nodes()[hough].box->jit_object();
  // The steps the accumulator was made with, clamped as zelk.hough clamps them.
  double rho = jit_attr_getfloat(jit, gensym("rho")), theta = jit_attr_getfloat(jit, gensym("theta"));
  rho = std::isnan(rho) ? 4.0 : std::clamp(rho, 1.0, 20.0);
  theta = std::isnan(theta) ? 0.0872664626 : std::clamp(theta, 0.00872664626, 1.570796326795);
  const long centre = (acc->dims[0] - 1) / 2;
  for (long i = 0; i < cells(peaks); ++i) {
    const double c = cell(peaks, i, 0), t = cell(peaks, i, 1);
    if (!(c > 0) || !(t > 0)) break;
    out.push_back({(c - static_cast<double>(centre)) * rho, t * theta});
  }
  return out;
}

cv::Mat annotate(const Graph& g, const FrameRecord& r) {
  cv::Mat base = picture_of("", r.input);
  if (base.empty()) return {};
  cv::Mat out;
  if (base.channels() == 1) {
    // Shapes in a soft grey, so the drawing on top stands out.
    cv::Mat soft;
    base.convertTo(soft, CV_8U, 0.35, 20);
    cv::cvtColor(soft, out, cv::COLOR_GRAY2BGR);
  } else {
    out = base;
  }
  if (const Array* trail = r.find(g, "zelk.ravg")) {
    cv::Mat t = picture_of("zelk.ravg", *trail);
    if (!t.empty() && t.size() == out.size() && t.channels() == 1) {
      // The running average as a blue wake behind moving shapes.
      cv::Mat blue;
      cv::Mat zeros = cv::Mat::zeros(t.size(), CV_8U);
      cv::Mat planes[] = {t, zeros, zeros};
      cv::merge(planes, 3, blue);
      cv::addWeighted(out, 1.0, blue, 0.45, 0, out);
    }
  }
  for (const LineView& l : lines_of(g, r)) {
    cv::Point a, b;
    if (clip_line(l, out.cols, out.rows, &a, &b)) cv::line(out, a, b, cv::Scalar(0, 255, 255), 1, cv::LINE_AA);
  }
  for (const BlobView& b : blobs_of(g, r)) {
    const cv::Scalar c = colour_of(b.id >= 0 ? b.id : b.label);
    if (b.x1 >= b.x0) cv::rectangle(out, cv::Point(b.x0, b.y0), cv::Point(b.x1, b.y1), c, 1);
    if (b.cx < 0) continue;
    const cv::Point centre(static_cast<int>(std::lround(b.cx)), static_cast<int>(std::lround(b.cy)));
    if (b.has_angle) {
      const double half = 0.3 * std::max(b.x1 - b.x0, b.y1 - b.y0) + 4;
      const cv::Point d(static_cast<int>(std::lround(half * std::cos(b.angle))),
                        static_cast<int>(std::lround(half * std::sin(b.angle))));
      cv::line(out, centre - d, centre + d, c, 2, cv::LINE_AA);
    }
    cv::circle(out, centre, 3, cv::Scalar(255, 255, 255), cv::FILLED, cv::LINE_AA);
    if (b.id >= 0 && b.x1 >= b.x0)
      cv::putText(out, std::string("#").append(std::to_string(b.id)), cv::Point(b.x0, std::max(12, b.y0 - 4)), cv::FONT_HERSHEY_SIMPLEX,
                  0.45, c, 1, cv::LINE_AA);
  }
  if (out.cols >= 480)
    cv::putText(out, "box: blob, coloured by #identifier  dot: centroid  stroke: axis  yellow: lines  blue: average",
                cv::Point(6, 14), cv::FONT_HERSHEY_PLAIN, 0.8, cv::Scalar(200, 200, 200), 1, cv::LINE_AA);
  return out;
}

bool render_frame(const std::string& dir, long frame, const Graph& g, const FrameRecord& r, std::string* why) {
  const std::string prefix = dir + (dir.back() == '/' ? "" : "/");
  char name[64];
  for (const auto& s : r.matrices) {
    const std::string& object = g.nodes()[s.node].object;
    const int sender = s.from >= 0 ? s.from : s.node;
    const std::string& style = g.nodes()[sender].object;
    cv::Mat pic = style == "zelk.hough" && s.matrix.planecount == 1 && !mat_view(s.matrix).empty()
                      ? heat_map(s.matrix, peaks_of(g, r, sender))
                      : picture_of(style, s.matrix);
    if (pic.empty()) continue;
    std::snprintf(name, sizeof name, "f%04ld_b%d_", frame, s.node);
    std::string file = prefix + name + object;
    if (s.outlet) file.append(1, '_').append(std::to_string(s.outlet));
    file += ".png";
    if (!write_png(file, pic, why)) return false;
  }
  if (blobs_of(g, r).empty() && lines_of(g, r).empty()) return true;
  cv::Mat a = annotate(g, r);
  if (a.empty()) return true;
  std::snprintf(name, sizeof name, "f%04ld_annotated.png", frame);
  return write_png(prefix + name, a, why);
}

}  // namespace zelk::runner
