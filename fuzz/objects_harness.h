// Drives object boxes through the host from arbitrary bytes: box text,
// attribute values of every kind, matrices of any type, plane count, shape
// and stride (some without data), several frames with shape changes and
// messages between them, single boxes and chains. Shared by the libFuzzer
// target and the replay of saved crash inputs.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "zelk/host.h"

namespace zelk::fuzz {

namespace host = zelk::host;

// One line per object; those without a plug-in in the folder are skipped.
inline const char* const kObjects[] = {
    "zelk.label",
    "zelk.floodfill",
    "zelk.binedge",
    "zelk.hough",
    "zelk.extrema",
    "zelk.moments",
    "zelk.centroids",
    "zelk.mass",
    "zelk.sum",
    "zelk.mean",
    "zelk.covariance",
    "zelk.ravg",
    "zelk.trackpoints",
    "zelk.blobs.moments",
    "zelk.blobs.centroids",
    "zelk.blobs.bounds",
    "zelk.blobs.orientation",
    "zelk.blobs.direction",
    "zelk.blobs.elongation",
    "zelk.blobs.sort",
};

// Chains along which one object's output is the next one's natural input,
// so the later objects see well-formed matrices too, not only rejects.
inline const std::vector<std::vector<const char*>> kChains = {
    {"zelk.label @charmode 1", "zelk.blobs.moments", "zelk.blobs.orientation"},
    {"zelk.label @charmode 1", "zelk.blobs.moments", "zelk.blobs.direction"},
    {"zelk.label @charmode 1", "zelk.blobs.moments", "zelk.blobs.elongation"},
    {"zelk.label @charmode 1", "zelk.blobs.moments", "zelk.blobs.sort"},
    {"zelk.label @charmode 1", "zelk.blobs.centroids", "zelk.blobs.sort"},
    {"zelk.label @charmode 1", "zelk.blobs.bounds"},
    {"zelk.label @charmode 1 @mode 1", "zelk.blobs.moments"},
    {"zelk.floodfill", "zelk.label", "zelk.moments"},
    {"zelk.binedge", "zelk.hough", "zelk.extrema", "zelk.trackpoints"},
    {"zelk.hough", "zelk.extrema"},
    {"zelk.label", "zelk.mass"},
    {"zelk.binedge", "zelk.centroids"},
    {"zelk.ravg", "zelk.mean", "zelk.sum"},
    {"zelk.mean", "zelk.covariance"},
};

struct Object {
  std::string name;
  host::ClassInfo info;
};

struct Catalogue {
  std::vector<Object> objects;
  std::vector<std::vector<std::string>> chains;  // box texts of available objects
};

inline Catalogue& catalogue() {
  static Catalogue c;
  return c;
}

[[noreturn]] inline void fault(const char* what) {
  std::fprintf(stderr, "fuzz_objects: %s\n", what);
  std::abort();
}

inline const Object* find_object(const std::string& name) {
  for (const auto& o : catalogue().objects)
    if (o.name == name) return &o;
  return nullptr;
}

inline constexpr long long kCeiling = 64LL << 20;

// Loads every plug-in of the table that exists; false when none does.
inline bool initialise() {
  host::set_console_echo(false);
  host::set_worker_threads(2);
  // Any size an attribute asks for is legal; beyond 64 MiB the host refuses
  // it as out of memory, so that path is fuzzed and no run waits on gigabytes.
  host::set_max_block_bytes(kCeiling);
  Catalogue& c = catalogue();
  for (const char* name : kObjects) {
    Object o{name, {}};
    if (host::load_object(name) && host::class_info(name, &o.info)) c.objects.push_back(o);
  }
  for (const auto& chain : kChains) {
    bool all = true;
    std::vector<std::string> texts;
    for (const char* text : chain) {
      std::string t = text;
      all = all && find_object(t.substr(0, t.find(' ')));
      texts.push_back(t);
    }
    if (all) c.chains.push_back(texts);
  }
  std::fprintf(stderr, "fuzz_objects: %zu objects, %zu chains:", c.objects.size(), c.chains.size());
  for (const auto& o : c.objects) std::fprintf(stderr, " %s", o.name.c_str());
  std::fprintf(stderr, "\n");
  return !c.objects.empty();
}

// Values at and beyond every edge an attribute or a cell might have.
inline t_atom_long interesting_long(FuzzedDataProvider& in) {
  static const t_atom_long kEdges[] = {0, 1, -1, 2, 3, 7, 8, 16, 31, 32, 33, 64, 127, 128, 255, 256,
                                       1024, 2047, 2048, 2049, 65535, 65536, 1L << 31,
                                       (1L << 31) - 1, -(1L << 31), 1L << 40,
                                       std::numeric_limits<t_atom_long>::max(),
                                       std::numeric_limits<t_atom_long>::min()};
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return in.PickValueInArray(kEdges);
    case 1: return ~in.PickValueInArray(kEdges);  // -edge - 1, without overflow at the ends
    case 2: return in.ConsumeIntegralInRange<t_atom_long>(-4, 70);
    default: return in.ConsumeIntegral<t_atom_long>();
  }
}

inline double interesting_float(FuzzedDataProvider& in) {
  static const double kEdges[] = {0.0, -0.0, 0.5, 1.0, -1.0, 2.0, 1e-310, 1e-45, 3.4e38, 3.5e38, 1e300,
                                  -1e300, std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::lowest(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN(), 0.99999, 255.5, 2048.0};
  switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0: return in.PickValueInArray(kEdges);
    case 1: return in.ConsumeFloatingPointInRange<double>(-100.0, 100.0);
    default: return in.ConsumeFloatingPoint<double>();
  }
}

// A fixed set, so the fuzzer cannot grow the symbol table without bound.
inline t_symbol* interesting_symbol(FuzzedDataProvider& in) {
  static const char* const kWords[] = {"", "0", "1", "char", "long", "float32", "float64", "bang",
                                       "jit_matrix", "list", "nan", "-inf", "foo"};
  return gensym(in.PickValueInArray(kWords));
}

inline t_atom make_atom(FuzzedDataProvider& in, bool prefer_float) {
  t_atom a{};
  int kind = in.ConsumeIntegralInRange(0, 9);
  if (kind == 9) {
    a.a_type = A_SYM;
    a.a_w.w_sym = interesting_symbol(in);
  } else if ((kind < 6) == prefer_float) {
    a.a_type = A_FLOAT;
    a.a_w.w_float = interesting_float(in);
  } else {
    a.a_type = A_LONG;
    a.a_w.w_long = interesting_long(in);
  }
  return a;
}

inline std::vector<t_atom> make_atoms(FuzzedDataProvider& in, long max_count, bool prefer_float) {
  long n = max_count > 1 ? in.ConsumeIntegralInRange<long>(0, max_count + 2)
                         : (in.ConsumeIntegralInRange(0, 7) == 0 ? in.ConsumeIntegralInRange(0, 3) : 1);
  std::vector<t_atom> atoms;
  for (long i = 0; i < n; ++i) atoms.push_back(make_atom(in, prefer_float));
  return atoms;
}

inline bool is_float_type(const std::string& t) { return t == "float32" || t == "float64"; }

// The text of an atom as a box would hold it.
inline std::string atom_text(const t_atom& a) {
  char buf[64];
  if (a.a_type == A_LONG) std::snprintf(buf, sizeof buf, "%ld", static_cast<long>(a.a_w.w_long));
  else if (a.a_type == A_FLOAT) std::snprintf(buf, sizeof buf, "%.17g", a.a_w.w_float);
  else return a.a_w.w_sym->s_name[0] ? a.a_w.w_sym->s_name : "x";
  return buf;
}

// Box text: the object name, sometimes matrix arguments, sometimes
// attribute arguments (well-formed or not).
inline std::string box_text(FuzzedDataProvider& in, const Object& o) {
  std::string text = o.name;
  if (in.ConsumeIntegralInRange(0, 7) == 0) {
    // Matrix arguments: plane count, type, dimensions. The dimensions stay
    // within 64 as the frames' do; any larger only measures the allocator.
    text.append(1, ' ').append(atom_text(make_atom(in, false)));
    if (in.ConsumeBool()) text.append(1, ' ').append(interesting_symbol(in)->s_name);
    for (int i = in.ConsumeIntegralInRange(0, 3); i > 0; --i)
      text.append(1, ' ').append(std::to_string(in.ConsumeIntegralInRange(-2, 64)));
  }
  for (int i = in.ConsumeIntegralInRange(0, 3); i > 0 && !o.info.attributes.empty(); --i) {
    const auto& a = o.info.attributes[in.ConsumeIntegralInRange<size_t>(0, o.info.attributes.size() - 1)];
    text.append(" @").append(a.name);
    for (const t_atom& v : make_atoms(in, a.max_count, is_float_type(a.type)))
      text.append(1, ' ').append(atom_text(v));
  }
  return text;
}

struct Shape {
  t_symbol* type = nullptr;
  long planecount = 1;
  std::vector<long> dims;
  enum Layout { Packed, Strided, NoData } layout = Packed;
  long pad_cells = 0;  // row padding, in values of the type
};

inline long type_size(t_symbol* t) {
  return t == _jit_sym_char ? 1 : t == _jit_sym_float64 ? 8 : 4;
}

// Matrices stay small enough to keep a run fast.
constexpr long kMaxMatrixBytes = 1L << 18;

inline Shape make_shape(FuzzedDataProvider& in, bool well_formed) {
  static t_symbol* const* const kTypes[] = {&_jit_sym_char, &_jit_sym_long, &_jit_sym_float32,
                                            &_jit_sym_float64};
  Shape s;
  if (well_formed) {
    s.type = _jit_sym_char;
    s.planecount = 1;
    s.dims = {in.ConsumeIntegralInRange<long>(1, 64), in.ConsumeIntegralInRange<long>(1, 64)};
  } else {
    s.type = in.ConsumeBool() ? _jit_sym_char : *in.PickValueInArray(kTypes);
    s.planecount = in.ConsumeBool() ? 1 : in.ConsumeIntegralInRange<long>(1, 32);
    int dimcount = in.ConsumeIntegralInRange(0, 9);
    dimcount = dimcount > 4 ? 2 : dimcount;  // two dimensions most often
    for (int i = 0; i < dimcount; ++i)
      s.dims.push_back(in.ConsumeBool() ? in.ConsumeIntegralInRange<long>(0, 8)
                                        : in.ConsumeIntegralInRange<long>(0, 64));
  }
  for (;;) {
    long bytes = s.planecount * type_size(s.type);
    for (long d : s.dims) bytes *= d;
    if (bytes <= kMaxMatrixBytes) break;
    long* largest = &s.dims[0];
    for (long& d : s.dims)
      if (d > *largest) largest = &d;
    *largest /= 2;
  }
  int layout = in.ConsumeIntegralInRange(0, 15);
  s.layout = layout == 0 ? Shape::NoData : layout < 8 ? Shape::Strided : Shape::Packed;
  s.pad_cells = s.layout == Shape::Strided ? in.ConsumeIntegralInRange<long>(1, 24) : 0;
  return s;
}

template <class T>
void put(char* p, T v) {
  std::memcpy(p, &v, sizeof v);
}

// Fills every cell: raw fuzzer bytes, a sparse mask, small labels or a
// constant, so objects see structure as well as noise.
inline void fill(FuzzedDataProvider& in, void* m) {
  char* data = host::matrix_data(m);
  t_jit_matrix_info info = host::matrix_info(m);
  if (!data || info.dimcount < 1) return;
  const long esz = type_size(info.type);
  const long values = info.dim[0] * info.planecount;
  const int mode = in.ConsumeIntegralInRange(0, 3);
  const long small = in.ConsumeIntegralInRange<long>(1, 300);
  const int density = in.ConsumeIntegralInRange(1, 8);
  long rows = 1;
  for (long i = 1; i < info.dimcount; ++i) rows *= info.dim[i];
  std::vector<long> idx(static_cast<size_t>(info.dimcount), 0);
  for (long r = 0; r < rows; ++r) {
    long offset = 0;
    for (long i = 1; i < info.dimcount; ++i) offset += idx[i] * info.dimstride[i];
    char* row = data + offset;
    if (mode == 0) {
      std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(static_cast<size_t>(values * esz));
      if (!bytes.empty()) std::memcpy(row, bytes.data(), bytes.size());
    } else {
      for (long v = 0; v < values; ++v) {
        long value = mode == 1 ? (in.ConsumeIntegralInRange(0, density) == 0) * 255
                   : mode == 2 ? in.ConsumeIntegralInRange<long>(0, small)
                               : small;
        char* p = row + v * esz;
        if (info.type == _jit_sym_char) put<uint8_t>(p, static_cast<uint8_t>(value));
        else if (info.type == _jit_sym_long) put<int32_t>(p, static_cast<int32_t>(value));
        else if (info.type == _jit_sym_float32) put<float>(p, static_cast<float>(value));
        else put<double>(p, static_cast<double>(value));
      }
    }
    for (long i = 1; i < info.dimcount; ++i) {
      if (++idx[i] < info.dim[i]) break;
      idx[i] = 0;
    }
  }
}

// A matrix of the shape, or null when the host refuses it (no dimensions).
inline void* make_matrix(FuzzedDataProvider& in, const Shape& s) {
  void* m = nullptr;
  if (s.layout == Shape::NoData) {
    m = host::new_matrix_without_data(s.type, s.planecount, s.dims);
  } else if (s.layout == Shape::Strided) {
    long row = (s.dims.empty() ? 0 : s.dims[0]) * s.planecount * type_size(s.type);
    m = host::new_matrix_strided(s.type, s.planecount, s.dims, row + s.pad_cells * type_size(s.type));
  } else {
    m = host::new_matrix(s.type, s.planecount, s.dims);
  }
  if (!m) {
    if (!s.dims.empty()) fault("the host refused a matrix that has dimensions");
    return nullptr;
  }
  t_jit_matrix_info info = host::matrix_info(m);
  if (info.dimcount < 1 || info.dimcount > JIT_MATRIX_MAX_DIMCOUNT)
    fault("the host made a matrix with a dimension count outside 1..32");
  if (s.layout != Shape::NoData) fill(in, m);
  return m;
}

// Reads every cell of a matrix a box sent, so a size its info claims beyond
// its data shows as an out-of-bounds read.
inline void check_matrix(void* m) {
  t_jit_matrix_info info = host::matrix_info(m);
  if (info.dimcount < 1 || info.dimcount > JIT_MATRIX_MAX_DIMCOUNT || info.planecount < 1 ||
      info.planecount > JIT_MATRIX_MAX_PLANECOUNT)
    fault("a box sent a matrix whose info is out of range");
  const char* data = host::matrix_data(m);
  if (!data) return;
  long rows = 1;
  for (long i = 1; i < info.dimcount; ++i) rows *= info.dim[i];
  const long row_bytes = info.dim[0] > 0 ? (info.dim[0] - 1) * info.dimstride[0] + info.planecount * type_size(info.type) : 0;
  std::vector<long> idx(static_cast<size_t>(info.dimcount), 0);
  volatile unsigned sum = 0;
  for (long r = 0; r < rows && row_bytes > 0; ++r) {
    long offset = 0;
    for (long i = 1; i < info.dimcount; ++i) offset += idx[i] * info.dimstride[i];
    for (long b = 0; b < row_bytes; ++b) sum = sum + static_cast<unsigned char>(data[offset + b]);
    for (long i = 1; i < info.dimcount; ++i) {
      if (++idx[i] < info.dim[i]) break;
      idx[i] = 0;
    }
  }
}

inline void check_event(const host::Event& e) {
  if (e.kind != host::Event::Kind::Outlet) return;
  if (!e.selector) fault("an outlet event without a selector");
  for (const t_atom& a : e.atoms)
    if (a.a_type == A_SYM && !a.a_w.w_sym) fault("a symbol atom without a symbol");
  if (e.selector == _jit_sym_jit_matrix)
    if (void* m = host::event_matrix(e)) check_matrix(m);
}

// An attribute set, a getter, a standard message or one of the class's own.
inline void send_message(FuzzedDataProvider& in, host::Box& box, const Object& o) {
  const auto& attrs = o.info.attributes;
  const auto& messages = o.info.messages;
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0:
    case 1:
      if (!attrs.empty()) {
        const auto& a = attrs[in.ConsumeIntegralInRange<size_t>(0, attrs.size() - 1)];
        box.send(gensym(a.name.c_str()), make_atoms(in, a.max_count, is_float_type(a.type)));
      }
      break;
    case 2:
      if (!attrs.empty()) {
        const auto& a = attrs[in.ConsumeIntegralInRange<size_t>(0, attrs.size() - 1)];
        box.send(gensym(("get" + a.name).c_str()));
      }
      break;
    case 3: box.send(_jit_sym_bang); break;
    case 4: box.send(gensym("reset")); break;
    default:
      if (!messages.empty()) {
        const auto& m = messages[in.ConsumeIntegralInRange<size_t>(0, messages.size() - 1)];
        box.send(gensym(m.c_str()), make_atoms(in, 4, in.ConsumeBool()));
      }
      break;
  }
}

inline void run_one(const uint8_t* data, size_t size) {
  Catalogue& c = catalogue();
  FuzzedDataProvider in(data, size);
  const host::Memory before = host::memory();
  {
    std::vector<std::string> texts;
    const int mode = in.ConsumeIntegralInRange(0, 3);
    const bool chain = mode == 3 && !c.chains.empty();
    if (chain) {
      texts = c.chains[in.ConsumeIntegralInRange<size_t>(0, c.chains.size() - 1)];
    } else {
      for (int n = mode == 2 ? in.ConsumeIntegralInRange(2, 3) : 1; n > 0; --n)
        texts.push_back(box_text(in, c.objects[in.ConsumeIntegralInRange<size_t>(0, c.objects.size() - 1)]));
    }
    std::vector<std::unique_ptr<host::Box>> boxes;
    std::vector<const Object*> objects;
    static const bool verbose = std::getenv("ZELK_FUZZ_VERBOSE") != nullptr;  // to read a crash input
    for (const auto& t : texts) {
      if (verbose) std::fprintf(stderr, "box: %s\n", t.c_str());
      auto box = host::Box::create(t);
      if (!box) continue;  // a malformed argument is refused, not a fault
      box->on_event = check_event;
      objects.push_back(find_object(box->object_name()));
      if (!objects.back()) fault("a box of an object outside the table");
      boxes.push_back(std::move(box));
    }
    if (boxes.empty()) return;
    for (size_t j = 0; j + 1 < boxes.size(); ++j) boxes[j]->connect(0, *boxes[j + 1]);

    for (int n = in.ConsumeIntegralInRange(0, 4); n > 0; --n) {
      size_t j = in.ConsumeIntegralInRange<size_t>(0, boxes.size() - 1);
      send_message(in, *boxes[j], *objects[j]);
    }
    Shape shape = make_shape(in, chain && in.ConsumeBool());
    for (int frame = in.ConsumeIntegralInRange(1, 5); frame > 0 && in.remaining_bytes() > 0; --frame) {
      if (in.ConsumeIntegralInRange(0, 2) == 0) shape = make_shape(in, chain && in.ConsumeBool());
      void* m = make_matrix(in, shape);
      if (verbose) {
        std::fprintf(stderr, "frame: %s %ld planes, dims", shape.type->s_name, shape.planecount);
        for (long d : shape.dims) std::fprintf(stderr, " %ld", d);
        std::fprintf(stderr, ", layout %d\n", static_cast<int>(shape.layout));
      }
      size_t target = in.ConsumeIntegralInRange(0, 7) == 0 ? in.ConsumeIntegralInRange<size_t>(0, boxes.size() - 1) : 0;
      // Now and then the host runs short of memory for this frame alone:
      // every resize an object makes may then be refused.
      static const long long kShortCeilings[] = {256, 4 << 10, 64 << 10, 1 << 20};
      const bool short_of_memory = in.ConsumeIntegralInRange(0, 3) == 0;
      if (short_of_memory) host::set_max_block_bytes(in.PickValueInArray(kShortCeilings));
      if (m) {
        boxes[target]->send_matrix(m);
        jit_object_free(m);
      } else {
        // The name of no matrix: the host must refuse it quietly.
        t_atom a{};
        a.a_type = A_SYM;
        a.a_w.w_sym = gensym("zelk_fuzz_no_such_matrix");
        boxes[target]->send(_jit_sym_jit_matrix, {a});
      }
      if (short_of_memory) host::set_max_block_bytes(kCeiling);
      for (int k = in.ConsumeIntegralInRange(0, 3); k > 0; --k) {
        size_t j = in.ConsumeIntegralInRange<size_t>(0, boxes.size() - 1);
        send_message(in, *boxes[j], *objects[j]);
      }
      for (auto& b : boxes) b->clear_events();
    }
    while (!boxes.empty()) boxes.pop_back();  // last first, as a patch closes
  }
  if (host::memory().live_bytes > before.live_bytes) fault("host memory still held after every box and matrix was freed");
}

}  // namespace zelk::fuzz
