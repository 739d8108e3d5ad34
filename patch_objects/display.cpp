// What user interface objects show, for pictures of a patch.
#include "patch_objects/patch_objects.h"

namespace zelk::host {

bool displayed_text(void*, std::string*) { return false; }
bool displayed_cells(void*, std::vector<std::vector<std::string>>*) { return false; }

}  // namespace zelk::host
