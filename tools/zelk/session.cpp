#include "tools/zelk/session.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/zelk/json.h"
#include "tools/zelk/npy.h"
#include "tools/zelk/platform.h"

namespace zelk::runner {
namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

}  // namespace

void* matrix_of(const Array& a) {
  void* m = host::new_matrix(gensym(type_name(a.type)), a.planecount, a.dims);
  char* data = m ? host::matrix_data(m) : nullptr;
  if (!data) {
    if (m) jit_object_free(m);
    return nullptr;
  }
  t_jit_matrix_info info = host::matrix_info(m);
  copy_to_strided(a, reinterpret_cast<std::byte*>(data), info.dimstride);
  return m;
}

namespace {

// Whether a matrix laid out as `info` reads the array's packed cells as they lie.
bool laid_out_as(const Array& a, const t_jit_matrix_info& info) {
  long stride = static_cast<long>(a.cell_bytes());
  for (std::size_t k = 0; k < a.dims.size(); ++k) {
    if (a.dims[k] > 1 && info.dimstride[k] != stride) return false;
    stride *= static_cast<long>(a.dims[k]);
  }
  return true;
}

}  // namespace

bool fill_matrix(Array& a, void** matrix) {
  t_symbol* type = gensym(type_name(a.type));
  if (*matrix) {
    const t_jit_matrix_info info = host::matrix_info(*matrix);
    bool same = info.type == type && info.planecount == a.planecount &&
                info.dimcount == static_cast<long>(a.dims.size());
    for (std::size_t k = 0; same && k < a.dims.size(); ++k) same = info.dim[k] == a.dims[k];
    if (!same) {
      jit_object_free(*matrix);
      *matrix = nullptr;
    }
  }
  if (!*matrix) {
    // The array's own cells, without a copy, when their rows lie as the host's would.
    void* borrowing = host::new_matrix_without_data(type, a.planecount, a.dims);
    if (borrowing && laid_out_as(a, host::matrix_info(borrowing))) {
      *matrix = borrowing;
    } else {
      if (borrowing) jit_object_free(borrowing);
      *matrix = matrix_of(a);  // copied in
      return *matrix != nullptr;
    }
  }
  const t_jit_matrix_info info = host::matrix_info(*matrix);
  if (info.flags & JIT_MATRIX_DATA_REFERENCE)
    jit_object_method(*matrix, _jit_sym_data, a.data.data());  // the buffer may have moved since the last frame
  else
    copy_to_strided(a, reinterpret_cast<std::byte*>(host::matrix_data(*matrix)), info.dimstride);
  return true;
}

bool array_of(void* matrix, Array* out) {
  const t_jit_matrix_info info = host::matrix_info(matrix);
  const frame::CellType type = type_from_name(info.type ? info.type->s_name : nullptr);
  if (type == frame::CellType::Unknown || info.dimcount < 1 || info.dimcount > frame::kMaxDims ||
      info.planecount < 1 || info.planecount > frame::kMaxPlanes)
    return false;
  Array a;
  a.type = type;
  a.planecount = info.planecount;
  a.dims.assign(info.dim, info.dim + info.dimcount);
  const char* data = host::matrix_data(matrix);
  if (a.cell_count() > 0) {
    if (!data) return false;
    copy_from_strided(&a, reinterpret_cast<const std::byte*>(data), info.dimstride);
  }
  *out = std::move(a);
  return true;
}

Session::Session(Graph& graph, SessionOptions options) : graph_(graph), opt_(std::move(options)) {}

Session::~Session() {
  if (input_) jit_object_free(input_);
}

void Session::print(const std::string& line) {
  if (!opt_.print_events || line.empty()) return;
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
}

void Session::report_creation() {
  for (const auto& [node, e] : graph_.take_creation_events())
    if (e.kind != host::Event::Kind::Outlet || !graph_.is_patch()) print(event_line(node, e, 0));
  graph_.listen([this](int node, const host::Event& e) { on_event(node, e); });
}

void Session::on_event(int node, const host::Event& e) {
  const auto start = Clock::now();
  report(node, e);
  inside_runner_ += seconds_since(start);
}

void Session::report(int node, const host::Event& e) {
  if (e.kind != host::Event::Kind::Outlet) {
    print(event_line(node, e, 0));
    return;
  }
  const std::vector<int>& reached = graph_.reached_outlets(node, e.outlet);
  const bool matrix = e.selector && !std::strcmp(e.selector->s_name, "jit_matrix");
  if (matrix && in_frame_ && (opt_.keep_records || !opt_.render.empty())) {
    if (void* m = host::event_matrix(e)) {
      FrameRecord::Sent s{node, e.outlet, {}};
      if (array_of(m, &s.matrix)) {
        // What a window shows is drawn under its own name too.
        for (const Wire& w : graph_.wires())
          if (w.from == node && w.outlet == e.outlet &&
              (graph_.nodes()[w.to].object == "jit.pwindow" || graph_.nodes()[w.to].object == "jit.window"))
            record_.matrices.push_back({w.to, 0, s.matrix, node});
        record_.matrices.push_back(std::move(s));
      }
    }
  }
  for (int outlet : reached) print(event_line(node, e, outlet));
  if (reached.empty() && opt_.trace) {
    print(event_line(node, e, 0));  // saves the matrix too
    return;
  }
  // Saving takes every matrix, reported or not.
  if (matrix && reached.empty() && !opt_.save.empty())
    if (void* m = host::event_matrix(e)) save_matrix(node, m, host::matrix_info(m));
}

std::string Session::save_matrix(int node, void* matrix, const t_jit_matrix_info& info) {
  Array a;
  if (!array_of(matrix, &a)) {
    if (info.dimcount >= 1 && host::matrix_data(matrix)) failure_ = "cannot save a matrix of box " + std::to_string(node) + ": its type or shape is not one a .npy file holds";
    return {};
  }
  char name[64];
  std::snprintf(name, sizeof name, "f%04ld_b%d_", frame_, node);
  std::string base = name + graph_.nodes()[node].object;
  // Two matrices of one box in one frame must not overwrite each other.
  int n = ++saved_[base];
  std::string file = base;
  if (n > 1) file.append(1, '_').append(std::to_string(n));
  file += ".npy";
  std::string path = join_path(opt_.save, file);
  std::string bytes = npy_file(a);
  FILE* f = std::fopen(path.c_str(), "wb");
  bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (f && std::fclose(f) != 0) ok = false;
  if (!ok) {
    failure_ = path + ": cannot write it (" + std::strerror(errno) + ")";
    return {};
  }
  return path;
}

std::string Session::event_line(int node, const host::Event& e, int patch_outlet) {
  const Node& n = graph_.nodes()[node];
  EventSource src{frame_, node, n.object, n.id, patch_outlet};
  switch (e.kind) {
    case host::Event::Kind::Outlet: {
      const char* sel = e.selector && e.selector->s_name ? e.selector->s_name : "";
      if (!std::strcmp(sel, "jit_matrix")) {
        if (void* m = host::event_matrix(e)) {
          t_jit_matrix_info info = host::matrix_info(m);
          std::vector<long> dims;
          for (long i = 0; i < info.dimcount && i < frame::kMaxDims; ++i) dims.push_back(info.dim[i]);
          std::string file;
          if (!opt_.save.empty()) file = save_matrix(node, m, info);
          return json_matrix_event(src, e.outlet, info.type ? info.type->s_name : "", info.planecount, dims,
                                   file.empty() ? nullptr : &file);
        }
      }
      std::vector<JsonAtom> atoms;
      for (const t_atom& a : e.atoms) {
        if (a.a_type == A_LONG) atoms.emplace_back(static_cast<long long>(a.a_w.w_long));
        else if (a.a_type == A_FLOAT) atoms.emplace_back(static_cast<double>(a.a_w.w_float));
        else if (a.a_type == A_SYM) atoms.emplace_back(std::string(a.a_w.w_sym && a.a_w.w_sym->s_name ? a.a_w.w_sym->s_name : ""));
        else atoms.emplace_back(std::monostate{});
      }
      return json_outlet_event(src, e.outlet, sel, atoms);
    }
    case host::Event::Kind::Error:
      return e.code ? json_error_event(src, e.code) : std::string();
    case host::Event::Kind::Console:
      return json_console_event(src, e.text);
  }
  return {};
}

bool Session::run_frame(Array& frame, std::string* why) {
  auto start = Clock::now();
  apply_filter(opt_.filter, &frame);
  if (!fill_matrix(frame, &input_)) {
    *why = "the host could not make a matrix for frame " + std::to_string(frame_);
    return false;
  }
  record_ = FrameRecord{};
  // Only pictures and the demo's records look at the frame afterwards.
  if (opt_.keep_records || !opt_.render.empty()) record_.input = frame;
  in_frame_ = true;
  inside_runner_ = 0;
  timing_.runner += seconds_since(start);
  start = Clock::now();
  graph_.send_frame(input_);
  // Event lines, copies and saving happen inside the boxes' sends; they are the runner's.
  const double inside = seconds_since(start);
  timing_.objects += inside - inside_runner_;
  timing_.runner += inside_runner_;
  start = Clock::now();
  in_frame_ = false;
  bool ok = failure_.empty();
  if (ok && !opt_.render.empty()) ok = render_frame(opt_.render, frame_, graph_, record_, &failure_);
  if (ok && !opt_.render.empty() && opt_.patch)
    ok = render_patch(opt_.render, frame_, *opt_.patch, graph_, record_, &failure_);
  if (ok && on_frame) on_frame(frame_, record_);
  std::fflush(stdout);
  ++frame_;
  timing_.runner += seconds_since(start);
  if (!ok) *why = failure_;
  return ok;
}

bool Session::send(int node, const std::string& message, std::string* why) {
  std::string reason;
  const Node& n = graph_.nodes()[node];
  if (!n.box->send_text(message, &reason)) {
    *why = n.object + " (box " + std::to_string(node) + ") does not take it" + (reason.empty() ? "" : ": " + reason);
    return false;
  }
  for (const Node& each : graph_.nodes()) each.box->clear_events();
  std::fflush(stdout);
  if (!failure_.empty()) {
    *why = failure_;
    return false;
  }
  return true;
}

}  // namespace zelk::runner
