// Labelling beside cv::connectedComponents (4-connectivity, 32-bit labels,
// one thread) on the same scenes.
#include <benchmark/benchmark.h>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/scenes.h"
#include "region/label.h"

namespace {

// One frame as the object computes it: clear, label, post-process.
void label_frame(benchmark::State& state, const cv::Mat& scene, bool char_output) {
  const int w = scene.cols, h = scene.rows;
  cv::Mat labels(h, w, CV_32S), out(h, w, CV_8U);
  std::vector<region::FillRecord> stack(static_cast<std::size_t>(region::fill_stack_room(w, h)));
  auto tables = std::make_unique<region::LabelTables>();
  const frame::Matrix in = as_frame(scene, frame::CellType::Char);
  const frame::Matrix lab = as_frame(labels, frame::CellType::Long);
  const frame::Matrix dst = as_frame(out, frame::CellType::Char);
  const auto in_view = frame::plane_view<const std::uint8_t>(in, w, h);
  const auto lab_view = frame::plane_view<std::int32_t>(lab, w, h);
  region::LabelSettings s;
  s.char_output = char_output;
  for (auto _ : state) {
    std::memset(labels.data, 0, labels.total() * labels.elemSize());
    if (char_output) std::memset(out.data, 0, out.total());
    const long count = region::label_blobs(in_view, lab_view, stack.data(), *tables, 0);
    if (char_output)
      region::finish_char(s, count, *tables, frame::plane_view<const std::int32_t>(lab, w, h),
                          frame::plane_view<std::uint8_t>(dst, w, h));
    else
      region::finish_long(s, count, *tables, lab_view);
    benchmark::DoNotOptimize(labels.data);
    benchmark::DoNotOptimize(out.data);
  }
}

void opencv_frame(benchmark::State& state, const cv::Mat& scene) {
  cv::setNumThreads(1);
  cv::Mat labels;
  for (auto _ : state) benchmark::DoNotOptimize(cv::connectedComponents(scene, labels, 4, CV_32S));
}

const bool registered = [] {
  struct Scene {
    std::string name;
    cv::Mat image;
  };
  static std::vector<Scene> scenes;
  for (auto [w, h] : {std::pair{640, 480}, std::pair{1920, 1080}}) {
    const std::string size = std::to_string(w) + "x" + std::to_string(h);
    scenes.push_back({"discs_" + size, discs_scene(w, h, 60, 1)});
    scenes.push_back({"noise_" + size, noise_scene(w, h, 2)});
  }
  for (const Scene& sc : scenes) {
    const std::string group = "label/" + sc.name;
    const cv::Mat* image = &sc.image;
    benchmark::RegisterBenchmark((group + "/opencv").c_str(),
                                 [image](benchmark::State& s) { opencv_frame(s, *image); })
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((group + "/zelk_long").c_str(),
                                 [image](benchmark::State& s) { label_frame(s, *image, false); })
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((group + "/zelk_char").c_str(),
                                 [image](benchmark::State& s) { label_frame(s, *image, true); })
        ->Unit(benchmark::kMicrosecond);
  }
  return true;
}();

}  // namespace
