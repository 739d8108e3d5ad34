// Whole pipelines on real footage, decoding included: `zelk run` on a patch
// (bench/patches/) beside the same steps written with OpenCV, in the same run.
// The footage is Debian's opencv-doc sample street scene (768 x 576, 795
// frames); ZELK_FOOTAGE names another file. Each reports frames per second.
#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string footage() {
  const char* env = std::getenv("ZELK_FOOTAGE");
  return env && *env ? env : "/usr/share/doc/opencv-doc/examples/data/vtest.avi";
}

// Frames decoded by OpenCV, each handed to `step` as BGR; the frame count.
template <class Step>
long for_each_frame(Step&& step) {
  cv::VideoCapture cap(footage(), cv::CAP_FFMPEG);
  cv::Mat bgr;
  long n = 0;
  for (; cap.read(bgr); ++n) step(bgr);
  return n;
}

bool have_footage(benchmark::State& state) {
  if (std::filesystem::exists(footage())) return true;
  state.SkipWithError(("no footage at " + footage() + " (apt-get install opencv-doc, or set ZELK_FOOTAGE)").c_str());
  return false;
}

void report(benchmark::State& state, long frames) {
  state.counters["fps"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}

// zelk run on the footage; the patch's frames counted by OpenCV beforehand.
void zelk_run(benchmark::State& state, const char* patch) {
  if (!have_footage(state)) return;
  static const long frames = for_each_frame([](const cv::Mat&) {});
  const std::string command = std::string(ZELK_BUILD_DIR) + "/bin/zelk run --quiet --input '" + footage() + "' " +
                              ZELK_SOURCE_DIR + "/bench/patches/" + patch + " > /dev/null";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError(("failed: " + command).c_str());
  report(state, frames * static_cast<long>(state.iterations()));
}

// Grey, a running average as background, the absolute difference, a
// threshold, and labels with their areas and centroids (small ones dropped).
void motion_opencv(benchmark::State& state) {
  if (!have_footage(state)) return;
  long frames = 0;
  for (auto _ : state) {
    cv::Mat grey, background, background8, diff, mask, labels, stats, centroids;
    frames += for_each_frame([&](const cv::Mat& bgr) {
      cv::cvtColor(bgr, grey, cv::COLOR_BGR2GRAY);
      if (background.empty()) grey.convertTo(background, CV_32F);
      cv::accumulateWeighted(grey, background, 0.05);
      background.convertTo(background8, CV_8U);
      cv::absdiff(grey, background8, diff);
      cv::threshold(diff, mask, 30, 255, cv::THRESH_BINARY);
      const int n = cv::connectedComponentsWithStats(mask, labels, stats, centroids, 4);
      int kept = 0;
      for (int k = 1; k < n; ++k) kept += stats.at<int>(k, cv::CC_STAT_AREA) > 40;
      benchmark::DoNotOptimize(kept);
    });
  }
  report(state, frames);
}

// Grey, a threshold, labels with areas, bounds and centroids, and each
// blob's moments up to the third order (orientation, direction, elongation).
void blob_road_opencv(benchmark::State& state) {
  if (!have_footage(state)) return;
  long frames = 0;
  for (auto _ : state) {
    cv::Mat grey, mask, labels, stats, centroids;
    frames += for_each_frame([&](const cv::Mat& bgr) {
      cv::cvtColor(bgr, grey, cv::COLOR_BGR2GRAY);
      cv::threshold(grey, mask, 128, 255, cv::THRESH_BINARY);
      const int n = cv::connectedComponentsWithStats(mask, labels, stats, centroids, 4);
      double shape = 0;
      for (int k = 1; k < n; ++k) {
        const cv::Rect box(stats.at<int>(k, cv::CC_STAT_LEFT), stats.at<int>(k, cv::CC_STAT_TOP),
                           stats.at<int>(k, cv::CC_STAT_WIDTH), stats.at<int>(k, cv::CC_STAT_HEIGHT));
        const cv::Moments m = cv::moments(labels(box) == k, true);
        shape += 0.5 * std::atan2(2 * m.mu11, m.mu20 - m.mu02) + m.mu30 + m.mu03;
      }
      benchmark::DoNotOptimize(shape);
    });
  }
  report(state, frames);
}

BENCHMARK(motion_opencv)->Name("pipeline_motion/opencv")->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(zelk_run, motion, "motion.maxpat")
    ->Name("pipeline_motion/zelk_run")->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(blob_road_opencv)->Name("pipeline_blob_road/opencv")->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(zelk_run, blob_road, "blob-road.maxpat")
    ->Name("pipeline_blob_road/zelk_run")->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
