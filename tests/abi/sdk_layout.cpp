// The table as the published Max SDK's headers give it.
#include "ext.h"
#include "jit.common.h"
#include "max.jit.mop.h"
#include "layout.h"

const LayoutEntry sdk_layout[kLayoutEntries] = ZELK_LAYOUT_TABLE;
