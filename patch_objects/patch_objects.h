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

// Bangs every running metro and qmetro once, as a frame's worth of their
// clock; returns how many there were.
int tick_clocks();

// The matrix that jit.movie and jit.grab send when banged: a headless run's
// frame in place of the movie or camera. Null: they send nothing.
void set_source_frame(void* matrix);
// Files that a jit.movie was told to read (@moviefile, read FILE), in order.
const std::vector<std::string>& movie_files();

// What a user interface box shows, for drawing it. `object` is the box's
// object (Box::object()). number: its int ("12"); flonum: its float as Max
// shows it ("0.5", "3."); toggle: "0" or "1"; attrui: its attribute, then
// the values it last set ("threshold", "threshold 128"); a message box:
// its text, as set last. False for any other object.
bool displayed_value(const void* object, std::string* text);
// The cells jit.cellblock shows, row by row: one column per cell along
// dimension 0, one row per cell along dimension 1 (a 1-D matrix is one
// row), at most 64 x 64, from the first 2-D slice. A cell's planes are its
// values separated by spaces; char and long as ints, floats as Max shows
// them. No rows before a matrix came or after `clear`. False for any other
// object.
bool displayed_cells(const void* object, std::vector<std::vector<std::string>>* rows);

}  // namespace zelk::host
