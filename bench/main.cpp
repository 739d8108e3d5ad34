// Benchmark entry point. Benchmarks are compared with OpenCV in the same run:
// a benchmark named "CASE/opencv" is the reference of every "CASE/NAME", and
// after the usual report the ratio time(NAME) / time(opencv) is printed for
// each, so "ratio <= 1.0" reads straight off the output.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
      std::string name = r.benchmark_name();
      // Fixed iterations and real time add "/iterations:N", "/real_time".
      for (const char* suffix : {"/real_time", "/manual_time"})
        if (name.size() > std::strlen(suffix) && name.ends_with(suffix)) name.resize(name.size() - std::strlen(suffix));
      if (const auto it = name.rfind("/iterations:"); it != std::string::npos) name.resize(it);
      const auto slash = name.rfind('/');
      if (slash == std::string::npos) continue;
      const std::string group = name.substr(0, slash), who = name.substr(slash + 1);
      const double ns = r.GetAdjustedRealTime();
      if (who == "opencv")
        reference_[group] = ns;
      else
        timed_.emplace_back(name, std::make_pair(group, ns));
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    if (timed_.empty()) return;
    std::printf("\n%-60s %12s\n", "ratio to OpenCV (same run)", "ours/opencv");
    for (const auto& [name, t] : timed_) {
      const auto ref = reference_.find(t.first);
      if (ref == reference_.end() || ref->second <= 0) continue;
      std::printf("%-60s %12.3f\n", name.c_str(), t.second / ref->second);
    }
  }

 private:
  std::map<std::string, double> reference_;
  std::vector<std::pair<std::string, std::pair<std::string, double>>> timed_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
