// Blob descriptors beside OpenCV on the labelling scenes. The road of a frame
// (labelling with char output, then blob moments) against
// connectedComponentsWithStats with 4-connectivity on the same binary image;
// each descriptor on its own, against the nearest OpenCV operation.
#include <benchmark/benchmark.h>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/scenes.h"
#include "blobs/angles.h"
#include "blobs/bounds.h"
#include "blobs/centroids.h"
#include "blobs/moments.h"
#include "blobs/sort.h"
#include "region/label.h"
#include "zelk/host.h"

namespace {

// zelk.label @charmode 1 as the object computes a frame.
struct Labeller {
  int w, h;
  cv::Mat labels, out;
  std::vector<region::FillRecord> stack;
  std::unique_ptr<region::LabelTables> tables = std::make_unique<region::LabelTables>();
  explicit Labeller(const cv::Mat& scene)
      : w(scene.cols), h(scene.rows), labels(h, w, CV_32S), out(h, w, CV_8U),
        stack(static_cast<std::size_t>(region::fill_stack_room(w, h))) {}
  void run(const cv::Mat& scene) {
    std::memset(labels.data, 0, labels.total() * labels.elemSize());
    std::memset(out.data, 0, out.total());
    const frame::Matrix in = as_frame(scene, frame::CellType::Char);
    const frame::Matrix lab = as_frame(labels, frame::CellType::Long);
    region::LabelSettings s;
    s.char_output = true;
    const long count = region::label_blobs(frame::plane_view<const std::uint8_t>(in, w, h),
                                           frame::plane_view<std::int32_t>(lab, w, h), stack.data(), *tables, 0);
    region::finish_char(s, count, *tables, frame::plane_view<const std::int32_t>(lab, w, h),
                        frame::plane_view<std::uint8_t>(as_frame(out, frame::CellType::Char), w, h));
  }
};

template <class Tables>
int measure(Tables& t, const cv::Mat& labels, cv::Mat& out, frame::CellType type) {
  const frame::Matrix in = as_frame(labels, frame::CellType::Char);
  const int count = t.accumulate(frame::plane_view<const std::uint8_t>(in, labels.cols, labels.rows));
  t.write(count, as_frame(out, type));
  return count;
}

void road(benchmark::State& state, const cv::Mat& scene) {
  Labeller label(scene);
  auto tables = std::make_unique<blobs::MomentTables>();
  cv::Mat out(1, 255, CV_32FC(17));
  for (auto _ : state) {
    label.run(scene);
    benchmark::DoNotOptimize(measure(*tables, label.out, out, frame::CellType::Float32));
  }
}

void opencv_stats(benchmark::State& state, const cv::Mat& scene) {
  cv::setNumThreads(1);
  cv::Mat labels, stats, centroids;
  for (auto _ : state)
    benchmark::DoNotOptimize(cv::connectedComponentsWithStats(scene, labels, stats, centroids, 4, CV_32S));
}

template <class Tables>
void label_measure(benchmark::State& state, const cv::Mat& scene, int cv_type, frame::CellType type) {
  Labeller label(scene);
  label.run(scene);
  auto tables = std::make_unique<Tables>();
  cv::Mat out(1, 255, cv_type);
  for (auto _ : state) benchmark::DoNotOptimize(measure(*tables, label.out, out, type));
}

// A blob moment matrix of the scene's blobs, and their centroids.
cv::Mat moment_matrix(const cv::Mat& scene) {
  Labeller label(scene);
  label.run(scene);
  auto tables = std::make_unique<blobs::MomentTables>();
  cv::Mat out(1, 255, CV_32FC(17), cv::Scalar::all(0));
  const int count = measure(*tables, label.out, out, frame::CellType::Float32);
  return out.colRange(0, std::max(count, 1)).clone();
}

template <class F>
void per_blob(benchmark::State& state, const cv::Mat& moments, F f) {
  cv::Mat out(1, moments.cols, CV_32F);
  const frame::Matrix in = as_frame(moments, frame::CellType::Float32), dst = as_frame(out, frame::CellType::Float32);
  for (auto _ : state) {
    blobs::for_each_blob(in, dst, moments.cols, f);
    benchmark::DoNotOptimize(out.data);
  }
}

// The per-blob arctangent of the orientation with OpenCV's array operations.
void opencv_phase(benchmark::State& state, const cv::Mat& moments) {
  std::vector<cv::Mat> planes;
  cv::split(moments, planes);
  cv::Mat d, t, angle;
  for (auto _ : state) {
    cv::subtract(planes[0], planes[1], d);
    cv::multiply(planes[2], 2.0, t);
    cv::phase(d, t, angle);
    benchmark::DoNotOptimize(angle.data);
  }
}

cv::Mat centroid_matrix(const cv::Mat& moments) {
  cv::Mat c(1, moments.cols, CV_32FC3);
  for (int k = 0; k < moments.cols; ++k) {
    const float* m = moments.ptr<float>(0) + 17 * k;
    c.at<cv::Vec3f>(0, k) = cv::Vec3f(m[14], m[15], m[16]);
  }
  return c;
}

void sort_frames(benchmark::State& state, const cv::Mat& centroids) {
  auto tracker = std::make_unique<blobs::BlobTracker>();
  cv::Mat out(1, centroids.cols, CV_8U);
  const frame::Matrix in = as_frame(centroids, frame::CellType::Float32), dst = as_frame(out, frame::CellType::Char);
  for (auto _ : state) {
    tracker->track(in, centroids.cols, 10.0f, dst);
    benchmark::DoNotOptimize(out.data);
  }
}

// Nearest tracked point of every centroid.
void opencv_nearest(benchmark::State& state, const cv::Mat& centroids) {
  cv::Mat points(centroids.cols, 2, CV_32F);
  for (int k = 0; k < centroids.cols; ++k) {
    points.at<float>(k, 0) = centroids.at<cv::Vec3f>(0, k)[0];
    points.at<float>(k, 1) = centroids.at<cv::Vec3f>(0, k)[1];
  }
  cv::Mat dist, nearest;
  for (auto _ : state) {
    cv::batchDistance(points, points, dist, CV_32F, nearest, cv::NORM_L2SQR, 1);
    benchmark::DoNotOptimize(nearest.data);
  }
}

// ---- through the host, as a patch runs the objects ---------------------------

void* host_copy(const cv::Mat& m, t_symbol* type, long planes) {
  void* h = zelk::host::new_matrix(type, planes, m.rows == 1 ? std::vector<long>{m.cols}
                                                            : std::vector<long>{m.cols, m.rows});
  const t_jit_matrix_info info = zelk::host::matrix_info(h);
  char* data = zelk::host::matrix_data(h);
  const std::size_t row = static_cast<std::size_t>(m.cols) * m.elemSize();
  for (int y = 0; y < m.rows; ++y) std::memcpy(data + y * info.dimstride[1], m.ptr(y), row);
  return h;
}

// One matrix into the first box of a chain per iteration; events dropped.
void host_frames(benchmark::State& state, const std::vector<std::string>& chain, void* input) {
  std::vector<std::unique_ptr<zelk::host::Box>> boxes;
  for (const std::string& text : chain) {
    std::string why;
    boxes.push_back(zelk::host::Box::create(text, &why));
    if (!boxes.back()) {
      state.SkipWithError(why.c_str());
      return;
    }
    if (boxes.size() > 1) boxes[boxes.size() - 2]->connect(0, *boxes.back());
  }
  for (auto _ : state) {
    boxes.front()->send_matrix(input);
    for (auto& b : boxes) b->clear_events();
  }
}

void register_host(const std::string& scene_name, const cv::Mat& scene, const cv::Mat& moments,
                   const cv::Mat& centroids) {
  static std::vector<void*> inputs;  // live for the whole run
  Labeller label(scene);
  label.run(scene);
  void* binary = host_copy(scene, _jit_sym_char, 1);
  void* labels = host_copy(label.out, _jit_sym_char, 1);
  void* mom = host_copy(moments, _jit_sym_float32, 17);
  void* cen = host_copy(centroids, _jit_sym_float32, 3);
  inputs.insert(inputs.end(), {binary, labels, mom, cen});
  const std::string g = "blobs_host/" + scene_name;
  const cv::Mat* image = &scene;
  const auto add = [&](const std::string& who, std::vector<std::string> chain, void* in) {
    benchmark::RegisterBenchmark((g + "/" + who).c_str(),
                                 [chain, in](benchmark::State& s) { host_frames(s, chain, in); })
        ->Unit(benchmark::kMicrosecond);
  };
  benchmark::RegisterBenchmark((g + "/opencv").c_str(), [image](benchmark::State& s) { opencv_stats(s, *image); })
      ->Unit(benchmark::kMicrosecond);
  add("label_moments", {"zelk.label @charmode 1", "zelk.blobs.moments"}, binary);
  add("moments", {"zelk.blobs.moments"}, labels);
  add("centroids", {"zelk.blobs.centroids"}, labels);
  add("bounds", {"zelk.blobs.bounds"}, labels);
  add("orientation", {"zelk.blobs.orientation"}, mom);
  add("direction", {"zelk.blobs.direction"}, mom);
  add("elongation", {"zelk.blobs.elongation"}, mom);
  add("sort", {"zelk.blobs.sort"}, cen);
}

const bool registered = [] {
  struct Scene {
    std::string name;
    cv::Mat image, moments, centroids;
  };
  static std::vector<Scene> scenes;
  for (auto [w, h] : {std::pair{640, 480}, std::pair{1920, 1080}}) {
    const std::string size = std::to_string(w) + "x" + std::to_string(h);
    scenes.push_back({"discs_" + size, discs_scene(w, h, 60, 1), {}, {}});
    scenes.push_back({"noise_" + size, noise_scene(w, h, 2), {}, {}});
  }
  for (Scene& sc : scenes) {
    sc.moments = moment_matrix(sc.image);
    sc.centroids = centroid_matrix(sc.moments);
  }
  const auto add = [](const std::string& name, auto fn) {
    benchmark::RegisterBenchmark(name.c_str(), fn)->Unit(benchmark::kMicrosecond);
  };
  using frame::CellType;
  for (const Scene& sc : scenes) {
    const cv::Mat* image = &sc.image;
    const cv::Mat* mom = &sc.moments;
    const cv::Mat* cen = &sc.centroids;
    // Labelling plus blob moments, against labelling plus five stats.
    std::string g = "blobs_road/" + sc.name;
    add(g + "/opencv", [image](benchmark::State& s) { opencv_stats(s, *image); });
    add(g + "/label_moments", [image](benchmark::State& s) { road(s, *image); });
    // The label-image measures alone; the reference still labels.
    g = "blobs_measures/" + sc.name;
    add(g + "/opencv", [image](benchmark::State& s) { opencv_stats(s, *image); });
    add(g + "/moments", [image](benchmark::State& s) {
      label_measure<blobs::MomentTables>(s, *image, CV_32FC(17), CellType::Float32);
    });
    add(g + "/centroids", [image](benchmark::State& s) {
      label_measure<blobs::CentroidTables>(s, *image, CV_32FC3, CellType::Float32);
    });
    add(g + "/bounds", [image](benchmark::State& s) {
      label_measure<blobs::BoundsTables>(s, *image, CV_32SC4, CellType::Long);
    });
    // The moment-matrix descriptors, one value per blob.
    g = "blobs_angles/" + sc.name;
    add(g + "/opencv", [mom](benchmark::State& s) { opencv_phase(s, *mom); });
    add(g + "/orientation", [mom](benchmark::State& s) {
      per_blob(s, *mom, [](const float* c) { return blobs::orientation(c, false); });
    });
    add(g + "/direction", [mom](benchmark::State& s) {
      per_blob(s, *mom, [](const float* c) { return blobs::direction(c, {}); });
    });
    add(g + "/elongation", [mom](benchmark::State& s) { per_blob(s, *mom, blobs::elongation); });
    g = "blobs_sort/" + sc.name;
    add(g + "/opencv", [cen](benchmark::State& s) { opencv_nearest(s, *cen); });
    add(g + "/sort", [cen](benchmark::State& s) { sort_frames(s, *cen); });
  }
  for (const Scene& sc : scenes) register_host(sc.name, sc.image, sc.moments, sc.centroids);
  return true;
}();

}  // namespace
