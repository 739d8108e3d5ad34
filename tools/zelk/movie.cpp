#include "tools/zelk/movie.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>

#include "stb_image.h"
#include "stb_image_write.h"

namespace zelk::runner {
namespace {

// ---- writing ----------------------------------------------------------------------------

// A box under construction: its size is filled in when it closes.
class Boxes {
 public:
  std::vector<unsigned char> bytes;

  void u8(unsigned v) { bytes.push_back(static_cast<unsigned char>(v)); }
  void u16(unsigned v) {
    u8(v >> 8);
    u8(v);
  }
  void u32(std::uint32_t v) {
    u16(v >> 16);
    u16(v & 0xFFFF);
  }
  void tag(const char* t) { bytes.insert(bytes.end(), t, t + 4); }
  void zeros(std::size_t n) { bytes.insert(bytes.end(), n, 0); }
  // A Pascal string padded to `field` bytes (0: as long as it is).
  void pstring(const char* s, std::size_t field = 0) {
    const std::size_t n = std::strlen(s);
    u8(static_cast<unsigned>(n));
    bytes.insert(bytes.end(), s, s + n);
    if (field) zeros(field - 1 - n);
  }
  void open(const char* t) {
    starts_.push_back(bytes.size());
    u32(0);
    tag(t);
  }
  void close() {
    const std::size_t start = starts_.back();
    starts_.pop_back();
    const auto size = static_cast<std::uint32_t>(bytes.size() - start);
    for (int k = 0; k < 4; ++k) bytes[start + k] = static_cast<unsigned char>(size >> (24 - 8 * k));
  }
  void matrix() {  // the identity, in QuickTime's 16.16 and 2.30 fixed point
    for (std::uint32_t v : {0x10000u, 0u, 0u, 0u, 0x10000u, 0u, 0u, 0u, 0x40000000u}) u32(v);
  }

 private:
  std::vector<std::size_t> starts_;
};

// The movie's header: one video track of `sizes.size()` frames, each a chunk
// of its own at `offsets`.
std::vector<unsigned char> movie_header(long width, long height, int fps, const std::vector<std::uint32_t>& sizes,
                                        const std::vector<std::uint32_t>& offsets) {
  const auto frames = static_cast<std::uint32_t>(sizes.size());
  Boxes b;
  b.open("moov");
  b.open("mvhd");
  b.u32(0);                 // version, flags
  b.u32(0), b.u32(0);       // created, modified
  b.u32(static_cast<std::uint32_t>(fps)), b.u32(frames);  // time scale: a unit per frame
  b.u32(0x10000), b.u16(0x100), b.zeros(10);              // rate 1, volume 1
  b.matrix();
  b.zeros(24);              // preview, poster, selection, current time
  b.u32(2);                 // next track
  b.close();
  b.open("trak");
  b.open("tkhd");
  b.u32(0xF);               // enabled, in movie, preview and poster
  b.u32(0), b.u32(0), b.u32(1), b.u32(0), b.u32(frames);
  b.zeros(8), b.u16(0), b.u16(0), b.u16(0), b.u16(0);  // layer, group, volume
  b.matrix();
  b.u32(static_cast<std::uint32_t>(width) << 16), b.u32(static_cast<std::uint32_t>(height) << 16);
  b.close();
  b.open("mdia");
  b.open("mdhd");
  b.u32(0), b.u32(0), b.u32(0), b.u32(static_cast<std::uint32_t>(fps)), b.u32(frames), b.u16(0), b.u16(0);
  b.close();
  b.open("hdlr");
  b.u32(0), b.tag("mhlr"), b.tag("vide"), b.u32(0), b.u32(0), b.u32(0), b.pstring("VideoHandler");
  b.close();
  b.open("minf");
  b.open("vmhd");
  b.u32(1), b.u16(0x40), b.u16(0x8000), b.u16(0x8000), b.u16(0x8000);  // copy with dither
  b.close();
  b.open("hdlr");
  b.u32(0), b.tag("dhlr"), b.tag("alis"), b.u32(0), b.u32(0), b.u32(0), b.pstring("DataHandler");
  b.close();
  b.open("dinf");
  b.open("dref");
  b.u32(0), b.u32(1), b.u32(12), b.tag("alis"), b.u32(1);  // the data is in this file
  b.close();
  b.close();
  b.open("stbl");
  b.open("stsd");
  b.u32(0), b.u32(1);
  b.open("jpeg");
  b.zeros(6), b.u16(1);     // reserved, data reference 1
  b.u16(0), b.u16(0), b.u32(0), b.u32(0), b.u32(512);  // version, revision, vendor, quality
  b.u16(static_cast<unsigned>(width)), b.u16(static_cast<unsigned>(height));
  b.u32(0x480000), b.u32(0x480000), b.u32(0), b.u16(1);  // 72 dpi, one frame per sample
  b.pstring("Photo - JPEG", 32);
  b.u16(24), b.u16(0xFFFF);  // colour, no colour table
  b.close();
  b.close();
  b.open("stts");
  b.u32(0), b.u32(1), b.u32(frames), b.u32(1);
  b.close();
  b.open("stsc");
  b.u32(0), b.u32(1), b.u32(1), b.u32(1), b.u32(1);
  b.close();
  b.open("stsz");
  b.u32(0), b.u32(0), b.u32(frames);
  for (std::uint32_t s : sizes) b.u32(s);
  b.close();
  b.open("stco");
  b.u32(0), b.u32(frames);
  for (std::uint32_t o : offsets) b.u32(o);
  b.close();
  for (int k = 0; k < 5; ++k) b.close();  // stbl minf mdia trak moov
  return std::move(b.bytes);
}

void append_bytes(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<unsigned char>*>(context);
  const auto* p = static_cast<const unsigned char*>(data);
  out->insert(out->end(), p, p + size);
}

// ---- reading ----------------------------------------------------------------------------

std::uint32_t be32(const std::byte* p) {
  return (std::to_integer<std::uint32_t>(p[0]) << 24) | (std::to_integer<std::uint32_t>(p[1]) << 16) |
         (std::to_integer<std::uint32_t>(p[2]) << 8) | std::to_integer<std::uint32_t>(p[3]);
}
std::uint64_t be64(const std::byte* p) { return (std::uint64_t{be32(p)} << 32) | be32(p + 4); }
unsigned be16(const std::byte* p) {
  return (std::to_integer<unsigned>(p[0]) << 8) | std::to_integer<unsigned>(p[1]);
}

struct Span {
  const std::byte* data = nullptr;
  std::size_t size = 0;
  bool has(std::size_t at, std::size_t n) const { return at <= size && n <= size - at; }
};

// The first child box of type `t` in `s`; nullopt when there is none or a
// box's size runs past its parent.
std::optional<Span> child(Span s, const char* t, std::size_t skip = 0, int nth = 0) {
  for (std::size_t at = skip; s.has(at, 8);) {
    std::uint64_t size = be32(s.data + at);
    std::size_t header = 8;
    if (size == 1) {
      if (!s.has(at, 16)) return std::nullopt;
      size = be64(s.data + at + 8);
      header = 16;
    } else if (size == 0) {
      size = s.size - at;
    }
    if (size < header || size > s.size - at) return std::nullopt;
    if (!std::memcmp(s.data + at + 4, t, 4) && nth-- == 0)
      return Span{s.data + at + header, static_cast<std::size_t>(size) - header};
    at += static_cast<std::size_t>(size);
  }
  return std::nullopt;
}

std::optional<Span> path(Span s, std::initializer_list<const char*> names) {
  std::optional<Span> at = s;
  for (const char* n : names)
    if (at) at = child(*at, n);
  return at;
}

}  // namespace

MovieParse parse_movie_index(const std::byte* moov, std::size_t size, std::uint64_t file_size,
                             JpegMovieIndex* out, std::string* why) {
  const Span root{moov, size};
  for (int t = 0;; ++t) {
    const std::optional<Span> trak = child(root, "trak", 0, t);
    if (!trak) return MovieParse::NotJpeg;
    const std::optional<Span> hdlr = path(*trak, {"mdia", "hdlr"});
    if (!hdlr || !hdlr->has(8, 4) || std::memcmp(hdlr->data + 8, "vide", 4)) continue;
    const std::optional<Span> stbl = path(*trak, {"mdia", "minf", "stbl"});
    const std::optional<Span> stsd = stbl ? child(*stbl, "stsd") : std::nullopt;
    if (!stsd || !stsd->has(8, 86) || std::memcmp(stsd->data + 12, "jpeg", 4)) return MovieParse::NotJpeg;
    auto damaged = [&](const char* what) {
      *why = std::string("damaged movie (") + what + ")";
      return MovieParse::Damaged;
    };
    out->width = be16(stsd->data + 8 + 32);
    out->height = be16(stsd->data + 8 + 34);
    const std::optional<Span> stsz = child(*stbl, "stsz"), stsc = child(*stbl, "stsc");
    std::optional<Span> stco = child(*stbl, "stco");
    const bool wide = !stco;
    if (wide) stco = child(*stbl, "co64");
    if (!stsz || !stsc || !stco || !stsz->has(0, 12) || !stsc->has(0, 8) || !stco->has(0, 8))
      return damaged("no sample table");
    const std::uint32_t fixed = be32(stsz->data + 4), samples = be32(stsz->data + 8);
    const std::uint32_t chunks = be32(stco->data + 4), runs = be32(stsc->data + 4);
    if ((!fixed && !stsz->has(12, std::size_t{samples} * 4)) ||
        !stco->has(8, std::size_t{chunks} * (wide ? 8 : 4)) || !stsc->has(8, std::size_t{runs} * 12) || !runs)
      return damaged("sample table cut short");
    out->offsets.clear();
    out->sizes.clear();
    // Each run of chunks holds the same number of samples, until the next run's first chunk.
    std::uint32_t sample = 0;
    for (std::uint32_t r = 0; r < runs && sample < samples; ++r) {
      const std::byte* e = stsc->data + 8 + std::size_t{r} * 12;
      const std::uint32_t first = be32(e), per_chunk = be32(e + 4);
      const std::uint32_t end = r + 1 < runs ? be32(e + 12) : chunks + 1;
      if (first < 1 || end <= first || end > chunks + 1) return damaged("chunk runs out of order");
      for (std::uint32_t c = first; c < end && sample < samples; ++c) {
        std::uint64_t at = wide ? be64(stco->data + 8 + std::size_t{c - 1} * 8)
                                : be32(stco->data + 8 + std::size_t{c - 1} * 4);
        for (std::uint32_t k = 0; k < per_chunk && sample < samples; ++k, ++sample) {
          const std::uint64_t n = fixed ? fixed : be32(stsz->data + 12 + std::size_t{sample} * 4);
          if (at > file_size || n > file_size - at) return damaged("a frame lies past the end of the file");
          out->offsets.push_back(at);
          out->sizes.push_back(n);
          at += n;
        }
      }
    }
    if (sample < samples) return damaged("fewer chunks than frames");
    if (samples == 0) return damaged("no frames");
    return MovieParse::Jpeg;
  }
}

bool decode_jpeg(const unsigned char* bytes, std::size_t size, Array* out, std::string* why) {
  int w = 0, h = 0, n = 0;
  if (size > 0x7FFFFFFF) {
    *why = "JPEG image too large";
    return false;
  }
  unsigned char* rgb = stbi_load_from_memory(bytes, static_cast<int>(size), &w, &h, &n, 3);
  if (!rgb) {
    *why = std::string("damaged JPEG image (") + stbi_failure_reason() + ")";
    return false;
  }
  out->type = frame::CellType::Char;
  out->planecount = 4;
  out->dims = {w, h};
  const std::size_t cells = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
  out->data.resize(cells * 4);
  auto* argb = reinterpret_cast<unsigned char*>(out->data.data());
  for (std::size_t i = 0; i < cells; ++i) {
    argb[4 * i] = 255;
    std::memcpy(argb + 4 * i + 1, rgb + 3 * i, 3);
  }
  stbi_image_free(rgb);
  return true;
}

namespace {

class JpegMovie : public FrameSource {
 public:
  JpegMovie(std::string path, std::ifstream file, JpegMovieIndex index)
      : path_(std::move(path)), file_(std::move(file)), index_(std::move(index)) {}
  long remaining() const override { return static_cast<long>(index_.sizes.size() - next_); }
  bool next(Array* out, std::string* why) override {
    why->clear();
    if (next_ == index_.sizes.size()) return false;
    const std::string frame = path_ + ": frame " + std::to_string(next_) + ": ";
    bytes_.resize(static_cast<std::size_t>(index_.sizes[next_]));
    file_.seekg(static_cast<std::streamoff>(index_.offsets[next_]));
    if (!file_.read(reinterpret_cast<char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()))) {
      *why = frame + "cannot read it";
      return false;
    }
    if (!decode_jpeg(bytes_.data(), bytes_.size(), out, why)) {
      *why = frame + *why;
      return false;
    }
    ++next_;
    return true;
  }

 private:
  std::string path_;
  std::ifstream file_;
  JpegMovieIndex index_;
  std::size_t next_ = 0;
  std::vector<unsigned char> bytes_;
};

}  // namespace

std::unique_ptr<FrameSource> open_jpeg_movie(const std::string& path, std::string* why) {
  why->clear();
  std::ifstream file(path, std::ios::binary);
  if (!file) return nullptr;
  file.seekg(0, std::ios::end);
  const auto file_size = static_cast<std::uint64_t>(file.tellg());
  // The top-level boxes, read header by header, down to the movie's header.
  for (std::uint64_t at = 0; at + 8 <= file_size;) {
    std::byte head[16];
    file.seekg(static_cast<std::streamoff>(at));
    if (!file.read(reinterpret_cast<char*>(head), 8)) return nullptr;
    std::uint64_t size = be32(head);
    std::uint64_t header = 8;
    if (size == 1) {
      if (!file.read(reinterpret_cast<char*>(head + 8), 8)) return nullptr;
      size = be64(head + 8);
      header = 16;
    } else if (size == 0) {
      size = file_size - at;
    }
    const bool known = !std::memcmp(head + 4, "ftyp", 4) || !std::memcmp(head + 4, "mdat", 4) ||
                       !std::memcmp(head + 4, "moov", 4) || !std::memcmp(head + 4, "wide", 4) ||
                       !std::memcmp(head + 4, "free", 4);
    if (at == 0 && !known) return nullptr;  // no QuickTime file
    if (size < header || size > file_size - at) {
      // A movie header cut short is damage; any other box is for another reader to judge.
      if (!std::memcmp(head + 4, "moov", 4)) *why = path + ": damaged movie (the file is cut short)";
      return nullptr;
    }
    if (!std::memcmp(head + 4, "moov", 4)) {
      // A header larger than this is no movie header the clip would have.
      if (size - header > (std::uint64_t{64} << 20)) return nullptr;
      std::vector<std::byte> moov(static_cast<std::size_t>(size - header));
      if (!file.read(reinterpret_cast<char*>(moov.data()), static_cast<std::streamsize>(moov.size())))
        return nullptr;
      JpegMovieIndex index;
      switch (parse_movie_index(moov.data(), moov.size(), file_size, &index, why)) {
        case MovieParse::NotJpeg:
          return nullptr;
        case MovieParse::Damaged:
          *why = path + ": " + *why;
          return nullptr;
        case MovieParse::Jpeg:
          file.clear();
          return std::make_unique<JpegMovie>(path, std::move(file), std::move(index));
      }
    }
    at += size;
  }
  return nullptr;
}

bool write_jpeg_movie(const std::string& path, const std::vector<Array>& frames, int fps, int quality,
                      std::string* why) {
  if (frames.empty() || fps < 1 || quality < 1 || quality > 100) {
    *why = "a movie needs frames, a positive frame rate and a quality of 1 to 100";
    return false;
  }
  const Array& first = frames.front();
  std::vector<unsigned char> mdat(16, 0), rgb;
  std::vector<std::uint32_t> sizes, offsets;
  const std::uint32_t kFtypSize = 20;
  for (const Array& f : frames) {
    if (f.type != frame::CellType::Char || f.dims.size() != 2 || f.dims != first.dims ||
        (f.planecount != 1 && f.planecount != 3 && f.planecount != 4) || f.dims[0] > 0xFFFF || f.dims[1] > 0xFFFF) {
      *why = "movie frames must be 2-D char images of one size (1, 3 or 4 planes), below 65536 cells a side";
      return false;
    }
    const std::size_t cells = f.cell_count();
    rgb.resize(cells * 3);
    const auto* in = reinterpret_cast<const unsigned char*>(f.data.data());
    for (std::size_t i = 0; i < cells; ++i)
      for (int c = 0; c < 3; ++c)
        rgb[3 * i + c] = f.planecount == 1 ? in[i] : in[f.planecount * i + (f.planecount == 4 ? 1 : 0) + c];
    const std::size_t before = mdat.size();
    if (!stbi_write_jpg_to_func(append_bytes, &mdat, static_cast<int>(f.dims[0]), static_cast<int>(f.dims[1]), 3,
                                rgb.data(), quality)) {
      *why = "a frame could not be encoded";
      return false;
    }
    if (mdat.size() > 0xF0000000u) {
      *why = "the movie would pass 4 GB";
      return false;
    }
    offsets.push_back(static_cast<std::uint32_t>(kFtypSize + before));
    sizes.push_back(static_cast<std::uint32_t>(mdat.size() - before));
  }
  // mdat with a 64-bit size field (16-byte header), so any size fits.
  const std::uint64_t mdat_size = mdat.size();
  const unsigned char mdat_head[16] = {0, 0, 0, 1, 'm', 'd', 'a', 't',
                                       static_cast<unsigned char>(mdat_size >> 56), static_cast<unsigned char>(mdat_size >> 48),
                                       static_cast<unsigned char>(mdat_size >> 40), static_cast<unsigned char>(mdat_size >> 32),
                                       static_cast<unsigned char>(mdat_size >> 24), static_cast<unsigned char>(mdat_size >> 16),
                                       static_cast<unsigned char>(mdat_size >> 8),  static_cast<unsigned char>(mdat_size)};
  std::memcpy(mdat.data(), mdat_head, 16);
  const unsigned char ftyp[kFtypSize] = {0, 0, 0, 20, 'f', 't', 'y', 'p', 'q', 't', ' ', ' ',
                                         0, 0, 2, 0,  'q', 't', ' ', ' '};
  const std::vector<unsigned char> moov = movie_header(first.dims[0], first.dims[1], fps, sizes, offsets);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(ftyp), kFtypSize);
  out.write(reinterpret_cast<const char*>(mdat.data()), static_cast<std::streamsize>(mdat.size()));
  out.write(reinterpret_cast<const char*>(moov.data()), static_cast<std::streamsize>(moov.size()));
  out.close();
  if (!out) {
    *why = path + ": cannot write the movie";
    return false;
  }
  return true;
}

}  // namespace zelk::runner
