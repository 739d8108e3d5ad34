// A patch saved in Max's JSON patcher format (.maxpat), read as an
// abstraction: object boxes, its inlet and outlet boxes, and patch lines.
#pragma once

#include <string>
#include <vector>

namespace zelk::runner {

struct PatchBox {
  // Subpatcher: the box of a "p NAME", kept for drawing; its boxes run in its place.
  enum class Kind { Object, Inlet, Outlet, Comment, Subpatcher } kind = Kind::Object;
  std::string id;         // "obj-2"
  std::string text;       // an object box's text
  std::string comment;    // an inlet's or outlet's comment
  int index = 0;          // inlets and outlets: their number, from 1
  double x = 0, y = 0;    // left and top of patching_rect
  double width = 0, height = 0;
  std::string maxclass;   // "newobj", "message", "comment", "number", ...
  double fontsize = 0;    // 0: the default
  bool bold = false;
  int patcher = 0;        // which (sub)patcher it lies in: an index into Patch::patchers
};

// A patcher window: the top level (name "") or a subpatcher ("p basic" is
// "basic"), as its "rect" sizes it.
struct Patcher {
  std::string name;
  double width = 0, height = 0;
  bool hidden = false;  // a top level that help files keep off the tabs
  bool tab = false;     // a subpatcher shown as a tab of its top level
};

struct PatchLine {
  int from = 0, outlet = 0;  // source box (index into boxes) and its outlet
  int to = 0, inlet = 0;     // destination box and its inlet
};

struct Patch {
  std::vector<PatchBox> boxes;  // in the file's order
  std::vector<PatchLine> lines; // each outlet's lines in firing order
  std::vector<Patcher> patchers;
};

// Parses a patcher's JSON text; `name` is what messages call it. Object and
// message boxes and the user interface objects the runner knows (toggle,
// button, number, flonum, jit.pwindow, jit.cellblock, attrui) become objects
// (a message box as "message TEXT", an attrui as "attrui ATTRIBUTE"); comments
// and panels are kept as comments, with their text; any other box is
// refused, naming it. A subpatcher ("p NAME" with its patch inside)
// is opened in place: its boxes join the patch with ids "OUTER/INNER", its
// inlet and outlet boxes become the objects "inlet" and "outlet".
// The lines of one outlet are ordered as Max fires them: right to left by
// their destination's position (lower first where two share a column).
bool parse_patch(const std::string& text, const std::string& name, Patch* out, std::string* why);
bool read_patch(const std::string& path, Patch* out, std::string* why);

}  // namespace zelk::runner
