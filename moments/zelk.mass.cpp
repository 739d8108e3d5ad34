// zelk.mass: the mass of every plane (char sums divided by 255), as a float
// or a list, after every matrix and on bang.
#include "moments/plane_total_binding.h"

static const frame::ClassSpec spec = moments::plane_totals_spec<moments::Totals::Mass>(
    "zelk.mass", "zelk_mass", "totals the mass of every plane (char cells count value/255)",
    "getMass", "(list) mass");

C74_EXPORT int main(void) {
  moments::plane_totals_main(spec, "Mass");
  return 0;
}
