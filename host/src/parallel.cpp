// The parallel n-dimensional calculation: the region is cut along its
// highest dimension (above dimension 0, so every part is whole rows) into
// one contiguous part per worker. Workers are started once and reused; a
// call allocates nothing. The calling thread computes the first part.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "internal.h"

namespace zelk::host {
namespace {

constexpr long kMinCellsToSplit = 4096;  // below this, threads cost more than they save
constexpr int kMaxThreads = 64;

struct Task {
  method fn;
  int nmatrices;
  void* data;
  long dimcount;
  long dim[JIT_MATRIX_MAX_DIMCOUNT];
  long planecount;
  t_jit_matrix_info* minfo[3];
  char* bp[3];
};

using Fn1 = void (*)(void*, long, long*, long, t_jit_matrix_info*, char*);
using Fn2 = void (*)(void*, long, long*, long, t_jit_matrix_info*, char*, t_jit_matrix_info*, char*);
using Fn3 = void (*)(void*, long, long*, long, t_jit_matrix_info*, char*, t_jit_matrix_info*, char*,
                     t_jit_matrix_info*, char*);

void run(Task& t) {
  switch (t.nmatrices) {
    case 1:
      detail::fn_cast<Fn1>(t.fn)(t.data, t.dimcount, t.dim, t.planecount, t.minfo[0], t.bp[0]);
      break;
    case 2:
      detail::fn_cast<Fn2>(t.fn)(t.data, t.dimcount, t.dim, t.planecount, t.minfo[0], t.bp[0],
                                  t.minfo[1], t.bp[1]);
      break;
    default:
      detail::fn_cast<Fn3>(t.fn)(t.data, t.dimcount, t.dim, t.planecount, t.minfo[0], t.bp[0],
                                  t.minfo[1], t.bp[1], t.minfo[2], t.bp[2]);
  }
}

thread_local bool t_in_worker = false;

class Pool {
 public:
  ~Pool() { stop(); }

  int threads() const { return threads_; }

  void set_threads(int n) {
    std::lock_guard<std::mutex> lock(run_mutex_);
    stop();
    threads_ = std::clamp(n, 1, kMaxThreads);
  }

  // Runs tasks[0..count) and returns when all are done; false when the pool
  // is busy (another thread's run, or a call from inside a worker).
  bool run_all(Task* tasks, int count) {
    if (t_in_worker) return false;
    std::unique_lock<std::mutex> run_lock(run_mutex_, std::try_to_lock);
    if (!run_lock.owns_lock()) return false;
    start();
    if (count - 1 > static_cast<int>(workers_.size())) return false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      for (int i = 1; i < count; ++i) slots_[static_cast<size_t>(i - 1)] = tasks[i];
      active_ = count - 1;
      pending_ = count - 1;
      ++generation_;
    }
    work_.notify_all();
    run(tasks[0]);
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return pending_ == 0; });
    return true;
  }

 private:
  void start() {
    if (!workers_.empty() || threads_ < 2) return;
    slots_.resize(static_cast<size_t>(threads_ - 1));
    quit_ = false;
    // A worker must not miss the run that follows its start: it begins
    // from the generation current now, not from when it gets scheduled.
    for (int i = 0; i < threads_ - 1; ++i)
      workers_.emplace_back([this, i, g = generation_] { loop(i, g); });
  }

  void stop() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      quit_ = true;
    }
    work_.notify_all();
    for (std::thread& t : workers_) t.join();
    workers_.clear();
  }

  void loop(int index, unsigned seen) {
    t_in_worker = true;
    for (;;) {
      Task task;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        work_.wait(lock, [&] { return quit_ || generation_ != seen; });
        if (quit_) return;
        seen = generation_;
        if (index >= active_) continue;
        task = slots_[static_cast<size_t>(index)];
      }
      run(task);
      std::lock_guard<std::mutex> lock(mutex_);
      if (--pending_ == 0) done_.notify_one();
    }
  }

  std::mutex run_mutex_;  // one parallel run (or resize) at a time
  std::mutex mutex_;
  std::condition_variable work_, done_;
  std::vector<std::thread> workers_;
  std::vector<Task> slots_;
  std::atomic<int> threads_{std::max(1, static_cast<int>(std::thread::hardware_concurrency()))};
  unsigned generation_ = 0;
  int active_ = 0;
  int pending_ = 0;
  bool quit_ = false;
};

Pool& pool() {
  // Never destroyed: joining the workers while the process exits hangs on
  // Windows, where the host is a DLL detached after its threads were ended.
  static Pool* p = new Pool;
  return *p;
}

void parallel(int nmatrices, method fn, void* data, long dimcount, long* dim, long planecount,
              t_jit_matrix_info** minfo, char** bp, const long* flags) {
  if (!fn || !dim) return;
  dimcount = std::clamp(dimcount, 0L, static_cast<long>(JIT_MATRIX_MAX_DIMCOUNT));
  Task whole{};
  whole.fn = fn;
  whole.nmatrices = nmatrices;
  whole.data = data;
  whole.dimcount = dimcount;
  whole.planecount = planecount;
  // Each part gets its own copy of the sizes: the function may write them.
  for (long k = 0; k < JIT_MATRIX_MAX_DIMCOUNT; ++k) whole.dim[k] = k < dimcount ? dim[k] : 1;
  for (int i = 0; i < nmatrices; ++i) {
    whole.minfo[i] = minfo[i];
    whole.bp[i] = bp[i];
  }
  long split = -1;
  for (long k = dimcount - 1; k >= 1; --k)
    if (whole.dim[k] > 1) {
      split = k;
      break;
    }
  long cells = 1;
  for (long k = 0; k < dimcount && cells < kMinCellsToSplit; ++k)
    cells *= std::max(0L, whole.dim[k]);
  int threads = pool().threads();
  if (split < 0 || threads < 2 || cells < kMinCellsToSplit) {
    run(whole);
    return;
  }
  int parts = static_cast<int>(std::min<long>(threads, whole.dim[split]));
  Task tasks[kMaxThreads];
  long rows = whole.dim[split];
  for (int p = 0; p < parts; ++p) {
    long start = rows * p / parts;
    long end = rows * (p + 1) / parts;
    Task& t = tasks[p];
    t = whole;
    t.dim[split] = end - start;
    for (int i = 0; i < nmatrices; ++i) {
      bool full = flags[i] & JIT_PARALLEL_NDIM_FLAGS_FULL_MATRIX;
      if (!full && t.bp[i] && t.minfo[i]) t.bp[i] += start * t.minfo[i]->dimstride[split];
    }
  }
  if (!pool().run_all(tasks, parts))
    for (int p = 0; p < parts; ++p) run(tasks[p]);
}

}  // namespace

void set_worker_threads(int n) { pool().set_threads(n); }
int worker_threads() { return pool().threads(); }

}  // namespace zelk::host

extern "C" {

void jit_parallel_ndim_simplecalc1(method fn, void* data, long dimcount, long* dim, long planecount,
                                   t_jit_matrix_info* minfo1, char* bp1, long flags1) {
  t_jit_matrix_info* minfo[] = {minfo1};
  char* bp[] = {bp1};
  long flags[] = {flags1};
  zelk::host::parallel(1, fn, data, dimcount, dim, planecount, minfo, bp, flags);
}

void jit_parallel_ndim_simplecalc2(method fn, void* data, long dimcount, long* dim, long planecount,
                                   t_jit_matrix_info* minfo1, char* bp1, t_jit_matrix_info* minfo2,
                                   char* bp2, long flags1, long flags2) {
  t_jit_matrix_info* minfo[] = {minfo1, minfo2};
  char* bp[] = {bp1, bp2};
  long flags[] = {flags1, flags2};
  zelk::host::parallel(2, fn, data, dimcount, dim, planecount, minfo, bp, flags);
}

void jit_parallel_ndim_simplecalc3(method fn, void* data, long dimcount, long* dim, long planecount,
                                   t_jit_matrix_info* minfo1, char* bp1, t_jit_matrix_info* minfo2,
                                   char* bp2, t_jit_matrix_info* minfo3, char* bp3, long flags1,
                                   long flags2, long flags3) {
  t_jit_matrix_info* minfo[] = {minfo1, minfo2, minfo3};
  char* bp[] = {bp1, bp2, bp3};
  long flags[] = {flags1, flags2, flags3};
  zelk::host::parallel(3, fn, data, dimcount, dim, planecount, minfo, bp, flags);
}

}  // extern "C"
