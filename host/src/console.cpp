// The console and event recording: every line posted with error()/post()
// belongs to the box whose object is running on this thread (creator,
// message or matrix), and is echoed to standard error unless switched off.
#include <atomic>
#include <cstdio>
#include <string>

#include "internal.h"

namespace zelk::host {
namespace {
std::atomic<bool> g_echo{true};
thread_local Box::Impl* t_current_box = nullptr;
}  // namespace

void set_console_echo(bool on) { g_echo = on; }

namespace detail {

Box::Impl* current_box() { return t_current_box; }

BoxScope::BoxScope(Box::Impl* b) : saved_(t_current_box) { t_current_box = b; }
BoxScope::~BoxScope() { t_current_box = saved_; }

void record_event(Box::Impl* box, Event&& e) {
  if (!box) return;
  // The listener gets its own copy: it may clear the box's events.
  Event copy = e;
  box->events.push_back(std::move(e));
  if (box->self && box->self->on_event) box->self->on_event(copy);
}

void console_line(const std::string& text) {
  if (g_echo) std::fprintf(stderr, "%s\n", text.c_str());
  Event e;
  e.kind = Event::Kind::Console;
  e.text = text;
  record_event(t_current_box, std::move(e));
}

Box::Impl* box_of(void* x) {
  Prefix* p = prefix_of(x);
  if (p && !p->max && p->wrapper) p = prefix_of(p->wrapper);
  if (p && p->max && p->max->box) return p->max->box;
  return t_current_box;
}

}  // namespace detail
}  // namespace zelk::host

namespace {

void vline(const char* fmt, va_list ap) {
  if (!fmt) return;
  char buf[1024];
  va_list copy;
  va_copy(copy, ap);
  int n = std::vsnprintf(buf, sizeof buf, fmt, ap);
  std::string text;
  if (n < 0) {
    text = fmt;
  } else if (static_cast<size_t>(n) < sizeof buf) {
    text.assign(buf, static_cast<size_t>(n));
  } else {
    text.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(text.data(), text.size(), fmt, copy);
    text.resize(static_cast<size_t>(n));
  }
  va_end(copy);
  // One line per call: embedded line breaks would split a console line.
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  zelk::host::detail::console_line(text);
}

}  // namespace

extern "C" {

void error(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vline(fmt, ap);
  va_end(ap);
}

void post(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vline(fmt, ap);
  va_end(ap);
}

t_jit_err jit_error_code(void* x, t_jit_err v) {
  if (v == JIT_ERR_NONE) return v;
  zelk::host::Event e;
  e.kind = zelk::host::Event::Kind::Error;
  e.code = v;
  zelk::host::detail::record_event(zelk::host::detail::box_of(x), std::move(e));
  return v;
}

}  // extern "C"
