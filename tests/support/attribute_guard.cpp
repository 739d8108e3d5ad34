// Compiled by a test, never built: the kit's attribute macros must refuse a
// member whose C type is not the one Max stores its declared type in, and
// must accept this file as it stands.
#include "frame/kit.h"

struct Record {
  t_object ob;
  long count;
  int narrow;  // not a C long
  float f;
  double d[2];
};

void register_attributes(void* c) {
#if defined(ZELK_GUARD_SCALAR)
  FRAME_ATTR(c, Record, narrow, "narrow", "long");
#elif defined(ZELK_GUARD_ARRAY)
  FRAME_ARRAY_ATTR(c, Record, d, count, "d", "float32");
#else
  FRAME_ATTR(c, Record, f, "f", "float32");
  FRAME_ARRAY_ATTR(c, Record, d, count, "d", "float64");
#endif
}
