// Matrix locks taken in one order and restored in another, as the
// temporal objects' steps name them. Null matrices are skipped.
#pragma once

#include <array>
#include <cstddef>

#include "jit.common.h"

namespace temporal {

template <std::size_t N>
class LockSet {
 public:
  // Locks `matrices` in order; the destructor restores their previous
  // states in the order of the indices in `restore`.
  LockSet(const std::array<void*, N>& matrices, const std::array<int, N>& restore)
      : matrix_(matrices), restore_(restore) {
    for (std::size_t i = 0; i < N; ++i)
      saved_[i] = matrix_[i] ? jit_object_method(matrix_[i], _jit_sym_lock, static_cast<t_atom_long>(1))
                             : nullptr;
  }
  ~LockSet() {
    for (int i : restore_)
      if (matrix_[i]) jit_object_method(matrix_[i], _jit_sym_lock, saved_[i]);
  }
  LockSet(const LockSet&) = delete;
  LockSet& operator=(const LockSet&) = delete;

 private:
  std::array<void*, N> matrix_;
  std::array<int, N> restore_;
  std::array<void*, N> saved_{};
};

}  // namespace temporal
