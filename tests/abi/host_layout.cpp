// The table as the embedded host's headers give it.
#include "ext.h"
#include "jit.common.h"
#include "max.jit.mop.h"
#include "layout.h"

const LayoutEntry host_layout[kLayoutEntries] = ZELK_LAYOUT_TABLE;
