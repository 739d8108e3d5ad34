// Flood fill, binary edges and the Hough transform beside their OpenCV
// counterparts on the same scenes (640x480 and 1920x1080, 60 discs).
#include <benchmark/benchmark.h>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "bench/scenes.h"
#include "region/binedge.h"
#include "region/floodfill.h"
#include "region/hough.h"

namespace {

void clear_rows(const frame::Matrix& m, long row_bytes) {
  for (long y = 0; y < m.dim[1]; ++y) std::memset(m.data + y * m.dimstride[1], 0, static_cast<std::size_t>(row_bytes));
}

struct Size {
  int w, h;
};

cv::Mat scene(Size z) { return discs_scene(z.w, z.h, 60, 1); }

// ---- Hough transform: defaults (rho 4, theta 5 degrees) ------------------------

void BM_Hough_zelk(benchmark::State& state, Size z) {
  const cv::Mat img = scene(z);
  const frame::Matrix in = as_frame(img, frame::CellType::Char);
  const auto g0 = region::hough_geometry(region::kDefaultRho, region::kDefaultTheta, img.cols, img.rows);
  cv::Mat acc(static_cast<int>(g0.n_theta), static_cast<int>(g0.n_rho), CV_32S);
  const frame::Matrix out = as_frame(acc, frame::CellType::Long);
  region::HoughTables tables;
  for (auto _ : state) {
    // Everything one frame does: sizes, clear, tables, votes.
    const auto g = region::hough_geometry(region::kDefaultRho, region::kDefaultTheta, img.cols, img.rows);
    clear_rows(out, g.n_rho * 4);
    region::fill_angle_tables(tables, g, [](double a) { return std::sin(a); },
                              [](double a) { return std::cos(a); });
    region::hough_vote(frame::plane_view<const std::uint8_t>(in, img.cols, img.rows),
                       frame::plane_view<std::int32_t>(out, g.n_rho, g.n_theta), tables, g);
    benchmark::DoNotOptimize(acc.data);
  }
}

void BM_Hough_opencv(benchmark::State& state, Size z) {
  const cv::Mat img = scene(z);
  std::vector<cv::Vec2f> lines;
  for (auto _ : state) {
    cv::HoughLines(img, lines, 4.0, 5.0 * CV_PI / 180.0, 20);
    benchmark::DoNotOptimize(lines.data());
  }
}

// ---- flood fill: the background of the scene, the largest region -------------

struct FloodScene {
  cv::Mat img;
  cv::Point seed;
};
FloodScene flood_scene(Size z) {
  FloodScene s{255 - scene(z), {0, 0}};
  while (s.img.at<std::uint8_t>(s.seed.y, s.seed.x) == 0) ++s.seed.x;
  return s;
}

void BM_FloodFill_zelk(benchmark::State& state, Size z) {
  const FloodScene s = flood_scene(z);
  const int w = s.img.cols, h = s.img.rows;
  cv::Mat out(h, w, CV_8U);
  const frame::Matrix in = as_frame(s.img, frame::CellType::Char), dst = as_frame(out, frame::CellType::Char);
  region::FillStack stack;
  for (auto _ : state) {
    region::reserve_fill_stack(stack, region::fill_stack_bytes(w, h));
    clear_rows(dst, w);
    region::flood_fill(frame::plane_view<const std::uint8_t>(in, w, h),
                       frame::plane_view<std::uint8_t>(dst, w, h), stack.records, s.seed.x, s.seed.y);
    benchmark::DoNotOptimize(out.data);
  }
  region::release_fill_stack(stack);
}

// OpenCV fills in place: a fresh copy of the input each frame stands for
// our cleared output.
void BM_FloodFill_opencv(benchmark::State& state, Size z) {
  const FloodScene s = flood_scene(z);
  cv::Mat work;
  for (auto _ : state) {
    s.img.copyTo(work);
    cv::floodFill(work, s.seed, 128, nullptr, 0, 0, 4);
    benchmark::DoNotOptimize(work.data);
  }
}

// ---- binary edges: foreground minus its 3x3 erosion ------------------------------

template <int CvType>
cv::Mat edge_input(Size z) {
  cv::Mat img = scene(z), typed;
  img.convertTo(typed, CvType, CvType == CV_8U ? 1.0 : 1.0 / 255.0);
  return typed;
}

template <int CvType, frame::CellType Type>
void BM_BinEdge_zelk(benchmark::State& state, Size z) {
  const cv::Mat img = edge_input<CvType>(z);
  cv::Mat out(img.size(), CvType);
  const frame::Matrix in = as_frame(img, Type), dst = as_frame(out, Type);
  for (auto _ : state) {
    region::binary_edges(in, dst, img.cols, img.rows);
    benchmark::DoNotOptimize(out.data);
  }
}

template <int CvType>
void BM_BinEdge_opencv(benchmark::State& state, Size z) {
  const cv::Mat img = edge_input<CvType>(z);
  const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_RECT, {3, 3});
  cv::Mat eroded, out;
  for (auto _ : state) {
    cv::erode(img, eroded, kernel, {-1, -1}, 1, cv::BORDER_REPLICATE);
    cv::compare(img, eroded, out, cv::CMP_GT);
    benchmark::DoNotOptimize(out.data);
  }
}

// "CASE/zelk" beside its reference "CASE/opencv", for the ratio report.
template <class F, class G>
void pair(const char* what, Size z, F ours, G theirs) {
  const std::string base = std::string(what) + "/" + std::to_string(z.w) + "x" + std::to_string(z.h);
  benchmark::RegisterBenchmark((base + "/zelk").c_str(), ours, z)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark((base + "/opencv").c_str(), theirs, z)->Unit(benchmark::kMicrosecond);
}

const int registered = [] {
  for (Size z : {Size{640, 480}, Size{1920, 1080}}) {
    pair("Hough/discs", z, BM_Hough_zelk, BM_Hough_opencv);
    pair("FloodFill/background", z, BM_FloodFill_zelk, BM_FloodFill_opencv);
    pair("BinEdge/char", z, BM_BinEdge_zelk<CV_8U, frame::CellType::Char>, BM_BinEdge_opencv<CV_8U>);
    pair("BinEdge/float32", z, BM_BinEdge_zelk<CV_32F, frame::CellType::Float32>,
         BM_BinEdge_opencv<CV_32F>);
  }
  return 0;
}();

}  // namespace
