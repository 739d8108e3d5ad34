// Helpers for the temporal objects' host-level tests.
#pragma once

#include <cstring>
#include <vector>

#include "support/host_fixture.h"

namespace tt {

// Lock state of a host matrix, left as it is.
inline long lock_state(void* m) {
  return static_cast<long>(reinterpret_cast<t_ptr_int>(
      jit_object_method(m, _jit_sym_lock, static_cast<t_atom_long>(-1))));
}

// Calls f(value, k) for every value of every cell of a host matrix of any
// dimension count, k counting values in walk order.
template <class T, class F>
void for_each_value(void* m, F&& f) {
  const t_jit_matrix_info info = zelk::host::matrix_info(m);
  char* data = zelk::host::matrix_data(m);
  long cells = 1;
  for (long i = 0; i < info.dimcount; ++i) cells *= info.dim[i];
  long k = 0;
  for (long c = 0; c < cells; ++c) {
    long rest = c, offset = 0;
    for (long i = 0; i < info.dimcount; ++i) {
      offset += (rest % info.dim[i]) * info.dimstride[i];
      rest /= info.dim[i];
    }
    for (long p = 0; p < info.planecount; ++p)
      f(*reinterpret_cast<T*>(data + offset + p * static_cast<long>(sizeof(T))), k++);
  }
}

template <class T>
void fill(void* m, T v) {
  for_each_value<T>(m, [v](T& cell, long) { cell = v; });
}

template <class T>
std::vector<T> values(void* m) {
  std::vector<T> out;
  for_each_value<T>(m, [&](T& cell, long) { out.push_back(cell); });
  return out;
}

// Every byte of a matrix's data, padding included.
inline std::vector<unsigned char> bytes_of(void* m) {
  const t_jit_matrix_info info = zelk::host::matrix_info(m);
  const char* data = zelk::host::matrix_data(m);
  return std::vector<unsigned char>(data, data + info.size);
}

inline t_jit_err calc(const zt::JitObject& o, void* in, void* out) {
  return zelk::host::matrix_calc(o.get(), {in}, {out});
}

}  // namespace tt
