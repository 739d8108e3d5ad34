// jit.op, and the boxes named after one of its operators (jit.+, jit.>,
// jit.gte ...), which are jit.op with that operator set after the box's
// @attributes. The right operand is a matrix sent to the right inlet,
// fitted to the left one (type, planes and size), or the val list.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "patch_objects/matrix_ops.h"
#include "patch_objects/object_kit.h"

namespace zelk::objects {
namespace {

bool same_shape(const frame::Matrix& x, const frame::Matrix& y) {
  return x.type == y.type && x.planecount == y.planecount && x.dimcount == y.dimcount &&
         std::equal(x.dim, x.dim + x.dimcount, y.dim);
}

struct JitOp {
  std::vector<Op> ops{Op::Pass};
  std::vector<Scalar> val;  // none: the operand is 0
  bool right_matrix = false;  // the right operand: a matrix sent there, else val
  OwnMatrix right, right_fitted;
  OperatorOutput out;
  void* outlet = nullptr;

  void set_op(long argc, t_atom* argv) {
    std::vector<Op> parsed;
    for (long i = 0; i < argc && i < frame::kMaxPlanes; ++i) {
      Op op;
      if (argv[i].a_type != A_SYM || !parse_op(argv[i].a_w.w_sym->s_name, &op)) {
        error("jit.op: unknown operator %s", atom_text(argv[i]).c_str());
        return;
      }
      parsed.push_back(op);
    }
    if (!parsed.empty()) ops = parsed;
  }
  void set_val(long argc, t_atom* argv) {
    std::vector<Scalar> parsed;
    for (long i = 0; i < argc && i < frame::kMaxPlanes; ++i)
      if (is_number(argv[i])) parsed.push_back({number_of(argv[i]), argv[i].a_type == A_FLOAT});
    if (parsed.empty()) {
      error("jit.op: val needs numbers");
      return;
    }
    val = parsed;
    right_matrix = false;
  }
  bool setting(const std::string& name, long argc, t_atom* argv) {
    if (name == "op") set_op(argc, argv);
    else if (name == "val") set_val(argc, argv);
    else return out.setting(name, argc, argv);
    return true;
  }

  void init(t_object* self, long argc, t_atom* argv) { init_with(self, argc, argv, nullptr); }

  void init_with(t_object* self, long argc, t_atom* argv, const char* op) {
    outlet_new(self, nullptr);  // dump
    outlet = outlet_new(self, "jit_matrix");
    inlet_new(self, nullptr);
    Arguments args = split_arguments(argc, argv);
    out.init(self, args.leading);
    for (auto& [name, values] : args.attributes)
      if (!setting(name, static_cast<long>(values.size()), values.data()))
        error("jit.op: no attribute %s", name.c_str());
    Op named;
    if (op && parse_op(op, &named)) ops = {named};
  }

  void message(t_object* self, t_symbol* s, long argc, t_atom* argv) {
    const long inlet = proxy_getinlet(self);
    if (is(s, "jit_matrix")) {
      Incoming in;
      if (!take_matrix(self, argc, argv, &in)) return;
      if (inlet == 0) calc(self, in);
      else if (shape_or_fail(self, right, in.info)) {
        convert_matrix(view_of(in.info, in.data), right.view());
        right_matrix = true;
      }
      return;
    }
    if (is(s, "int") || is(s, "float") || is(s, "list")) {
      set_val(argc, argv);
      return;
    }
    if (is(s, "bang")) {
      if (out.matrix().matrix()) out.matrix().send(outlet);
      return;
    }
    if (!setting(s->s_name, argc, argv)) error("jit.op: doesn't understand \"%s\"", s->s_name);
  }

  void calc(t_object* self, const Incoming& in) {
    if (!out.prepare(self, in.info)) return;
    const frame::Matrix a = view_of(in.info, in.data);
    const frame::Matrix o = out.matrix().view();
    // Left input and output must agree in type and planes; the size
    // computed is the part both cover.
    if (o.type != a.type) return (void)jit_error_code(self, JIT_ERR_MISMATCH_TYPE);
    if (o.planecount != a.planecount) return (void)jit_error_code(self, JIT_ERR_MISMATCH_PLANE);
    frame::Matrix b_view;
    const frame::Matrix* b = nullptr;
    if (right_matrix) {
      // The right matrix follows the left: its type, planes and size.
      b_view = right.view();
      if (!same_shape(b_view, a)) {
        if (!shape_or_fail(self, right_fitted, in.info)) return;
        const frame::Matrix fitted = right_fitted.view();
        convert_matrix(b_view, fitted);
        b_view = fitted;
      }
      b_view = overlap(b_view, o);
      b = &b_view;
    }
    if (has_cells(in.info)) apply_ops(overlap(a, o), b, val, ops, overlap(o, a));
    out.matrix().send(outlet);
  }
};

// One class per box name: the record type names its Max class.
template <std::size_t I>
struct OneOperator : JitOp {
  void init(t_object* self, long argc, t_atom* argv) {
    init_with(self, argc, argv, std::string(op_names()[I]).c_str());
  }
};

template <std::size_t... I>
std::vector<ObjectMain> one_operator_boxes(std::index_sequence<I...>) {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (std::string_view op : op_names()) n.push_back("jit." + std::string(op));
    return n;
  }();
  return {{names[I].c_str(), object_main<OneOperator<I>>}...};
}

}  // namespace

std::vector<ObjectMain> jit_op_objects() {
  std::vector<ObjectMain> all = {{"jit.op", object_main<JitOp>}};
  for (const ObjectMain& o : one_operator_boxes(std::make_index_sequence<kOpNameCount>{})) all.push_back(o);
  return all;
}

}  // namespace zelk::objects
