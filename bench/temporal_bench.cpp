// Running average and cumulative mean on 1920 x 1080 frames beside
// cv::accumulateWeighted, through the plug-ins as the host runs them.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "zelk/host.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

struct HostFrame {
  void* object = nullptr;
  void* in = nullptr;
  void* out = nullptr;
  HostFrame(const char* max_name, t_symbol* type, long planes) {
    std::string why;
    if (!zelk::host::load_object(max_name, &why)) return;
    std::string jit = max_name;
    jit[4] = '_';
    object = jit_object_new(gensym(jit.c_str()));
    in = zelk::host::new_matrix(type, planes, {kWidth, kHeight});
    out = zelk::host::new_matrix(type, planes, {kWidth, kHeight});
    const t_jit_matrix_info info = zelk::host::matrix_info(in);
    std::mt19937 rng(1);
    char* data = zelk::host::matrix_data(in);
    for (long y = 0; y < kHeight; ++y) {
      char* row = data + y * info.dimstride[1];
      if (type == _jit_sym_char)
        for (long k = 0; k < kWidth * planes; ++k) row[k] = static_cast<char>(rng());
      else
        for (long k = 0; k < kWidth * planes; ++k)
          reinterpret_cast<float*>(row)[k] = static_cast<float>(rng() % 1000) * 0.25f;
    }
  }
  ~HostFrame() {
    for (void* o : {object, in, out})
      if (o) jit_object_free(o);
  }
  bool ok() const { return object && in && out; }
};

// threads: the host's worker threads, 0 for its default.
void run_plugin(benchmark::State& state, const char* name, t_symbol* type, long planes, int threads) {
  HostFrame f(name, type, planes);
  if (!f.ok()) {
    state.SkipWithError("plug-in not loaded");
    return;
  }
  const int saved = zelk::host::worker_threads();
  if (threads > 0) zelk::host::set_worker_threads(threads);  // restarts the pool
  zelk::host::matrix_calc(f.object, {f.in}, {f.out});  // first frame: restarts
  for (auto _ : state) {
    const t_jit_err e = zelk::host::matrix_calc(f.object, {f.in}, {f.out});
    if (e) state.SkipWithError("matrix_calc failed");
  }
  state.counters["threads"] = zelk::host::worker_threads();
  if (threads > 0) zelk::host::set_worker_threads(saved);
}

// OpenCV on one thread: accumulateWeighted does not split its work today,
// and the reference must stay single-threaded if it ever does.
void run_opencv(benchmark::State& state, int src_depth, int dst_depth, long planes) {
  const int saved = cv::getNumThreads();
  cv::setNumThreads(1);
  cv::Mat src(kHeight, kWidth, CV_MAKETYPE(src_depth, static_cast<int>(planes)));
  cv::randu(src, 0, 255);
  cv::Mat dst(kHeight, kWidth, CV_MAKETYPE(dst_depth, static_cast<int>(planes)), cv::Scalar::all(0));
  for (auto _ : state) {
    cv::accumulateWeighted(src, dst, 0.05);
    benchmark::DoNotOptimize(dst.data);
  }
  cv::setNumThreads(saved);
}

// "CASE/opencv" is the reference of "CASE/zelk" (see main.cpp).
struct Case {
  const char* name;
  const char* object;
  t_symbol** type;
  int cv_src, cv_dst;
};

const bool registered = [] {
  static const Case cases[] = {
      {"Ravg_char", "zelk.ravg", &_jit_sym_char, CV_8U, CV_32F},
      {"Ravg_float32", "zelk.ravg", &_jit_sym_float32, CV_32F, CV_32F},
      {"Mean_char", "zelk.mean", &_jit_sym_char, CV_8U, CV_64F},
      {"Mean_float32", "zelk.mean", &_jit_sym_float32, CV_32F, CV_64F},
  };
  for (const Case& c : cases)
    for (long planes : {1L, 4L}) {
      const std::string group = std::string(c.name) + "_" + std::to_string(planes) + "planes_1920x1080";
      benchmark::RegisterBenchmark((group + "/zelk").c_str(),
                                   [&c, planes](benchmark::State& s) {
                                     run_plugin(s, c.object, *c.type, planes, 0);
                                   })
          ->Unit(benchmark::kMicrosecond);
      // What the worker threads bring to the one object that uses them.
      if (std::strcmp(c.object, "zelk.ravg") == 0)
        benchmark::RegisterBenchmark((group + "/zelk_1thread").c_str(),
                                     [&c, planes](benchmark::State& s) {
                                       run_plugin(s, c.object, *c.type, planes, 1);
                                     })
            ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark((group + "/opencv").c_str(),
                                   [&c, planes](benchmark::State& s) {
                                     run_opencv(s, c.cv_src, c.cv_dst, planes);
                                   })
          ->Unit(benchmark::kMicrosecond);
    }
  return true;
}();

}  // namespace
