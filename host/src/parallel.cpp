// The parallel n-dimensional calculation, cut as Jitter cuts it: each part
// is a block of the first two dimensions (its own dim[0] and dim[1], data
// pointers offset to its first cell), higher dimensions whole. Rows are cut
// when there are several, else dimension 0 is, the only one a 1-D matrix
// has. The awkward setting (ZELK_PARALLEL_CUTS=awkward in the environment,
// or set_parallel_cuts) cuts both dimensions of every call into a one-cell
// part, an odd-sized one and the rest, so that a function that leans on
// whole rows or on sizes the host happens to choose fails its tests.
// Workers are started once and reused; a call allocates nothing. The
// calling thread computes the first part.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "internal.h"

namespace zelk::host {
namespace {

constexpr long kMinCellsToSplit = 4096;  // below this, threads cost more than they save
constexpr int kMaxThreads = 64;
constexpr int kAwkwardPieces = 3;  // per dimension
// Parts of one call, each on the caller's stack with its infos; more threads
// than this share the parts.
constexpr int kMaxParts = 16;
static_assert(kAwkwardPieces * kAwkwardPieces <= kMaxParts);

std::atomic<bool> g_awkward{[] {
  const char* v = std::getenv("ZELK_PARALLEL_CUTS");
  return v && std::strcmp(v, "awkward") == 0;
}()};

struct Piece {
  long start, length;
};

// `n` cells in `parts` nearly equal pieces; returns the count.
int even_pieces(long n, int parts, Piece* out) {
  for (int p = 0; p < parts; ++p) out[p] = {n * p / parts, n * (p + 1) / parts - n * p / parts};
  return parts;
}

// One cell, an odd number of cells, the rest: whatever is there of them.
int awkward_pieces(long n, Piece* out) {
  int count = 0;
  long start = 0;
  for (long want : {1L, std::max(1L, ((n - 1) / 3) | 1L)}) {
    long len = std::min(want, n - start - 1);  // leaves at least one cell for the rest
    if (len < 1) break;
    out[count++] = {start, len};
    start += len;
  }
  out[count++] = {start, n - start};
  return count;
}

struct Task {
  method fn;
  int nmatrices;
  void* data;
  long dimcount;
  long dim[JIT_MATRIX_MAX_DIMCOUNT];
  long planecount;
  t_jit_matrix_info* minfo[3];
  char* bp[3];
  t_jit_matrix_info part_info[3];  // a part's own infos: its sizes, the whole's strides
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
  int threads = pool().threads();
  const bool awkward = g_awkward.load(std::memory_order_relaxed);
  long cells = 1;
  for (long k = 0; k < dimcount && cells < kMinCellsToSplit; ++k)
    cells *= std::max(0L, whole.dim[k]);
  Piece pieces0[kMaxParts], pieces1[kMaxParts];
  int n0 = 1, n1 = 1;
  pieces0[0] = {0, whole.dim[0]};
  pieces1[0] = {0, whole.dim[1]};
  if (awkward) {
    if (whole.dim[0] > 0) n0 = awkward_pieces(whole.dim[0], pieces0);
    if (dimcount > 1 && whole.dim[1] > 0) n1 = awkward_pieces(whole.dim[1], pieces1);
  } else if (threads >= 2 && cells >= kMinCellsToSplit) {
    if (dimcount > 1 && whole.dim[1] > 1)
      n1 = even_pieces(whole.dim[1], static_cast<int>(std::min<long>({threads, kMaxParts, whole.dim[1]})),
                       pieces1);
    else
      n0 = even_pieces(whole.dim[0], static_cast<int>(std::min<long>({threads, kMaxParts, whole.dim[0]})),
                       pieces0);
  }
  if (n0 * n1 == 1) {
    run(whole);
    return;
  }
  Task tasks[kMaxParts];  // about 30 KB
  int parts = 0;
  for (int j = 0; j < n1; ++j)
    for (int i = 0; i < n0; ++i) {
      Task& t = tasks[parts++];
      t = whole;
      t.dim[0] = pieces0[i].length;
      t.dim[1] = pieces1[j].length;
      // Each part is a smaller matrix of its own: its infos give its sizes.
      for (int m = 0; m < nmatrices; ++m) {
        bool full = flags[m] & JIT_PARALLEL_NDIM_FLAGS_FULL_MATRIX;
        if (full || !t.minfo[m]) continue;
        t.part_info[m] = *t.minfo[m];
        t.part_info[m].dim[0] = t.dim[0];
        if (dimcount > 1) t.part_info[m].dim[1] = t.dim[1];
        t.minfo[m] = &t.part_info[m];
        if (!t.bp[m]) continue;
        t.bp[m] += pieces0[i].start * t.minfo[m]->dimstride[0];
        if (dimcount > 1) t.bp[m] += pieces1[j].start * t.minfo[m]->dimstride[1];
      }
    }
  // More parts than threads run in rounds of as many as there are threads.
  const int batch = std::max(1, threads);
  for (int first = 0; first < parts; first += batch) {
    const int count = std::min(batch, parts - first);
    if (count == 1 || !pool().run_all(tasks + first, count))
      for (int p = first; p < first + count; ++p) run(tasks[p]);
  }
}

}  // namespace

void set_worker_threads(int n) { pool().set_threads(n); }
void set_parallel_cuts(ParallelCuts cuts) { g_awkward = cuts == ParallelCuts::Awkward; }
ParallelCuts parallel_cuts() { return g_awkward ? ParallelCuts::Awkward : ParallelCuts::Even; }
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
