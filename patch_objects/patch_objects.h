// The Max and Jitter objects that surround zelk objects in the patches users
// write: sources, jit.matrix, jit.rgb2luma, jit.op, windows, print and the
// patch furniture of help files. They run inside the host's process, built
// on the same Max and Jitter calls the plug-ins make.
#pragma once

#include <string>
#include <vector>

namespace zelk::host {

// Makes every one of them loadable by name (load_object, Box::create); once.
void register_patch_objects();
// Their names, as typed first in a box ("jit.op", "print", "message", ...).
const std::vector<std::string>& patch_object_names();
// Whether `name` is one of the sources, which send the current frame on bang.
bool is_frame_source(const std::string& name);
// Whether its leftmost outlet sends matrices (jit.op, jit.movie, ...).
bool sends_matrices(const std::string& name);

// What a number box, flonum or toggle shows ("12", "0.5", "1"); false for
// other objects.
bool displayed_text(void* box, std::string* text);
// The cells a jit.cellblock shows, row by row; false for other objects.
bool displayed_cells(void* box, std::vector<std::vector<std::string>>* rows);

// Bangs every running metro and qmetro once, as a frame's worth of their
// clock; returns how many there were.
int tick_clocks();

// The matrix that jit.movie and jit.grab send when banged: a headless run's
// frame in place of the movie or camera. Null: they send nothing.
void set_source_frame(void* matrix);
// Files that a jit.movie was told to read (@moviefile, read FILE), in order.
const std::vector<std::string>& movie_files();

}  // namespace zelk::host
