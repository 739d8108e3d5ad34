// The matrix operator of the list-output objects: one input, no matrix
// output, no constraints (their matrix_calc checks the input itself).
#pragma once

#include "frame/kit.h"

namespace moments {

inline frame::MopSpec list_mop() {
  frame::MopSpec m;
  m.outputs = 0;
  return m;
}

}  // namespace moments
