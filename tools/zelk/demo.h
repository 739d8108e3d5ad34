#pragma once

namespace zelk::runner {

// zelk demo: the bundled scene through the bundled patch, with pictures.
int demo_command(int argc, char** argv);
// zelk clip FILE.mov: the package's clip, the scene in colour.
int clip_command(int argc, char** argv);

// The demo's patch, as shipped in data/demo.maxpat (built into the runner).
extern const char kDemoPatch[];

}  // namespace zelk::runner
