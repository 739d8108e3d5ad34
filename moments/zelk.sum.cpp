// zelk.sum: the sum of every plane, as a float or a list, after every
// matrix and on bang.
#include "moments/plane_total_binding.h"

static const frame::ClassSpec spec = moments::plane_totals_spec<moments::Totals::Sum>(
    "zelk.sum", "zelk_sum", "sums every plane of a matrix, one value per plane",
    "getsum", "(list) sum");

C74_EXPORT int main(void) {
  moments::plane_totals_main(spec, "sum");
  return 0;
}
