// Interned symbols: one record per text, created under a lock and never
// freed, so a t_symbol* stays valid and comparable for the whole process.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

#include "internal.h"

namespace zelk::host::detail {
namespace {

struct Table {
  std::mutex mutex;
  std::unordered_map<std::string, t_symbol*> symbols;
};

// Held through a pointer that is never deleted: symbols outlive every static.
Table& table() {
  static Table* t = new Table;
  return *t;
}

t_symbol* intern(const char* s, bool* fresh) {
  if (!s) s = "";
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto it = t.symbols.find(s);
  if (it != t.symbols.end()) {
    if (fresh) *fresh = false;
    return it->second;
  }
  size_t n = std::strlen(s);
  char* text = new char[n + 1];
  std::memcpy(text, s, n + 1);
  auto* sym = new t_symbol{text, nullptr};
  t.symbols.emplace(std::string(s, n), sym);
  if (fresh) *fresh = true;
  return sym;
}

}  // namespace

t_symbol* gensym_fresh(const char* s) {
  bool fresh = false;
  t_symbol* sym = intern(s, &fresh);
  return fresh ? sym : nullptr;
}

}  // namespace zelk::host::detail

extern "C" {

t_symbol* gensym(const char* s) { return zelk::host::detail::intern(s, nullptr); }

t_symbol* jit_symbol_unique(void) {
  static std::atomic<long> counter{123000000};
  char text[32];
  for (;;) {
    std::snprintf(text, sizeof text, "u%ld", ++counter);
    // A name somebody already typed is not unique, whatever the counter says.
    if (t_symbol* s = zelk::host::detail::gensym_fresh(text)) return s;
  }
}

// Initialised when the host library loads, before any plug-in's main runs.
t_symbol* _jit_sym_nothing = gensym("");
t_symbol* _jit_sym_char = gensym("char");
t_symbol* _jit_sym_long = gensym("long");
t_symbol* _jit_sym_float32 = gensym("float32");
t_symbol* _jit_sym_float64 = gensym("float64");
t_symbol* _jit_sym_symbol = gensym("symbol");
t_symbol* _jit_sym_atom = gensym("atom");
t_symbol* _jit_sym_list = gensym("list");
t_symbol* _jit_sym_float = gensym("float");
t_symbol* _jit_sym_int = gensym("int");
t_symbol* _jit_sym_bang = gensym("bang");
t_symbol* _jit_sym_jit_matrix = gensym("jit_matrix");
t_symbol* _jit_sym_jit_attr_offset = gensym("jit_attr_offset");
t_symbol* _jit_sym_jit_attr_offset_array = gensym("jit_attr_offset_array");
t_symbol* _jit_sym_jit_mop = gensym("jit_mop");
t_symbol* _jit_sym_lock = gensym("lock");
t_symbol* _jit_sym_getinfo = gensym("getinfo");
t_symbol* _jit_sym_setinfo = gensym("setinfo");
t_symbol* _jit_sym_getdata = gensym("getdata");
t_symbol* _jit_sym_data = gensym("data");
t_symbol* _jit_sym_clear = gensym("clear");
t_symbol* _jit_sym_register = gensym("register");
t_symbol* _jit_sym_getindex = gensym("getindex");
t_symbol* _jit_sym_getsize = gensym("getsize");
t_symbol* _jit_sym_getinputlist = gensym("getinputlist");
t_symbol* _jit_sym_getoutputlist = gensym("getoutputlist");
t_symbol* _jit_sym_getinput = gensym("getinput");
t_symbol* _jit_sym_getoutput = gensym("getoutput");
t_symbol* _jit_sym_matrix_calc = gensym("matrix_calc");
t_symbol* _jit_sym_minplanecount = gensym("minplanecount");
t_symbol* _jit_sym_maxplanecount = gensym("maxplanecount");
t_symbol* _jit_sym_mindim = gensym("mindim");
t_symbol* _jit_sym_maxdim = gensym("maxdim");
t_symbol* _jit_sym_mindimcount = gensym("mindimcount");
t_symbol* _jit_sym_maxdimcount = gensym("maxdimcount");
t_symbol* _jit_sym_types = gensym("types");
t_symbol* _jit_sym_planelink = gensym("planelink");
t_symbol* _jit_sym_typelink = gensym("typelink");
t_symbol* _jit_sym_dimlink = gensym("dimlink");
t_symbol* _jit_sym_free = gensym("free");
t_symbol* _jit_sym_frommatrix = gensym("frommatrix");
t_symbol* _jit_sym_getname = gensym("getname");
t_symbol* _jit_sym_name = gensym("name");

}  // extern "C"
