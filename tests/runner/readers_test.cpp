// The runner's readers, writer and JSON lines, called directly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include "runner_support.h"
#include "tools/zelk/array.h"
#include "tools/zelk/frames.h"
#include "tools/zelk/image.h"
#include "tools/zelk/json.h"
#include "tools/zelk/npy.h"

namespace {

using namespace zelk::runner;
using frame::CellType;
using zrt::npy;
using zrt::npy_dict;

bool parse(const std::string& bytes, FileKind kind, Array* a, std::string* why) {
  return parse_frame(reinterpret_cast<const std::byte*>(bytes.data()), bytes.size(), kind, a, why);
}

template <class T>
std::vector<T> values(const Array& a) {
  std::vector<T> v(a.data.size() / sizeof(T));
  std::memcpy(v.data(), a.data.data(), a.data.size());
  return v;
}

std::string encode(const cv::Mat& m, const char* ext) {
  std::vector<uchar> buf;
  EXPECT_TRUE(cv::imencode(ext, m, buf));
  return std::string(buf.begin(), buf.end());
}

TEST(Npy, AxesBecomeDimensionsFromTheHighestDownWithPlanesLast) {
  Array a;
  std::string why;
  ASSERT_TRUE(parse(npy(npy_dict("|u1", "(2, 3, 4, 5)"), std::string(120, 'x')), FileKind::Npy, &a, &why)) << why;
  EXPECT_EQ(a.type, CellType::Char);
  EXPECT_EQ(a.planecount, 5);
  EXPECT_EQ(a.dims, (std::vector<long>{4, 3, 2}));
  ASSERT_TRUE(parse(npy(npy_dict("<f8", "(7,)"), std::string(56, '\0')), FileKind::Npy, &a, &why)) << why;
  EXPECT_EQ(a.planecount, 1);
  EXPECT_EQ(a.dims, std::vector<long>{7});
}

TEST(Npy, BigEndianValuesAreSwapped) {
  const std::string be_f4("\x3f\x80\x00\x00\xc0\x00\x00\x00", 8);  // 1.0f, -2.0f
  const std::string be_i4("\x00\x00\x01\x02\xff\xff\xff\xfe", 8);  // 258, -2
  Array a;
  std::string why;
  ASSERT_TRUE(parse(npy(npy_dict(">f4", "(2,)"), be_f4), FileKind::Npy, &a, &why)) << why;
  EXPECT_EQ(values<float>(a), (std::vector<float>{1.0f, -2.0f}));
  ASSERT_TRUE(parse(npy(npy_dict(">i4", "(1, 2)"), be_i4), FileKind::Npy, &a, &why)) << why;
  EXPECT_EQ(values<int32_t>(a), (std::vector<int32_t>{258, -2}));
}

TEST(Npy, HeadersThatAreNotNumPysAreRefused) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"{'descr': '|u1', 'fortran_order': False, 'shape': (1,), 'extra': 1}", "unexpected key 'extra'"},
      {"{'descr': '|u1', 'shape': (1,)}", "missing 'fortran_order'"},
      {"{'descr': '|u1', 'fortran_order': Maybe, 'shape': (1,)}", "neither True nor False"},
      {"{'descr': '|u1', 'fortran_order': False, 'shape': (1, -2)}", "non-negative integer"},
      {"{'descr': '|u1', 'fortran_order': False, 'shape': (99999999999999999999,)}", "non-negative integer"},
      {"{'descr': [('a', '<i4')], 'fortran_order': False, 'shape': (1,)}", "structured"},
      {"{'descr': '|i4', 'fortran_order': False, 'shape': (1,)}", "unsupported dtype '|i4'"},
      {"{'descr': '<u1', 'fortran_order': False, 'shape': (1,)} x", "text after"},
  };
  for (const auto& [dict, fault] : cases) {
    Array a;
    std::string why;
    EXPECT_FALSE(parse(npy(dict, std::string(4, '\0')), FileKind::Npy, &a, &why)) << dict;
    EXPECT_NE(why.find(fault), std::string::npos) << dict << ": " << why;
  }
}

TEST(Npy, WriterRoundTripsEveryTypeAndMatchesNumPysLayout) {
  for (CellType t : {CellType::Char, CellType::Long, CellType::Float32, CellType::Float64}) {
    Array a;
    a.type = t;
    a.planecount = 3;
    a.dims = {5, 1, 2};
    a.data.resize(a.cell_count() * a.cell_bytes());
    for (std::size_t i = 0; i < a.data.size(); ++i) a.data[i] = static_cast<std::byte>(i * 7 + 1);
    const std::string file = npy_file(a);
    EXPECT_EQ(file.find('\n') + 1, 128u) << "data starts 64-aligned";
    EXPECT_NE(file.find("'shape': (2, 1, 5, 3), }"), std::string::npos);
    Array back;
    std::string why;
    ASSERT_TRUE(parse(file, FileKind::Npy, &back, &why)) << why;
    EXPECT_EQ(back.type, t);
    EXPECT_EQ(back.planecount, 3);
    EXPECT_EQ(back.dims, a.dims);
    EXPECT_EQ(back.data, a.data);
  }
}

TEST(Strided, CopiesSkipRowPaddingAndHonourTheCellStep) {
  Array a;
  a.type = CellType::Long;
  a.planecount = 1;
  a.dims = {3, 2, 2};
  for (int32_t v = 1; v <= 12; ++v) {
    a.data.resize(a.data.size() + 4);
    std::memcpy(a.data.data() + (v - 1) * 4, &v, 4);
  }
  const long strides[3] = {8, 32, 80};  // cells 8 apart, padded rows and slices
  std::vector<std::byte> buf(160, std::byte{0xEE});
  copy_to_strided(a, buf.data(), strides);
  int32_t v = 0;
  std::memcpy(&v, buf.data() + 80 + 32 + 16, 4);
  EXPECT_EQ(v, 12);
  EXPECT_EQ(buf[4], std::byte{0xEE}) << "between cells untouched";
  Array back = a;
  back.data.clear();
  copy_from_strided(&back, buf.data(), strides);
  EXPECT_EQ(back.data, a.data);
}

TEST(Image, ColourBecomesArgbAndGreyOnePlane) {
  Array a;
  std::string why;
  cv::Mat bgr(2, 3, CV_8UC3, cv::Scalar(10, 20, 30));
  ASSERT_TRUE(parse(encode(bgr, ".png"), FileKind::Png, &a, &why)) << why;
  EXPECT_EQ(a.dims, (std::vector<long>{3, 2}));
  ASSERT_EQ(a.planecount, 4);
  const std::vector<uint8_t> cells = values<uint8_t>(a);
  ASSERT_EQ(cells.size(), 24u);
  EXPECT_EQ(std::vector<uint8_t>(cells.begin(), cells.begin() + 4), (std::vector<uint8_t>{255, 30, 20, 10}));
  EXPECT_EQ(std::vector<uint8_t>(cells.end() - 4, cells.end()), (std::vector<uint8_t>{255, 30, 20, 10}));
  cv::Mat bgra(1, 1, CV_8UC4, cv::Scalar(10, 20, 30, 40));
  ASSERT_TRUE(parse(encode(bgra, ".png"), FileKind::Png, &a, &why)) << why;
  EXPECT_EQ(values<uint8_t>(a), (std::vector<uint8_t>{40, 30, 20, 10}));
  ASSERT_TRUE(parse(encode(bgr, ".ppm"), FileKind::Ppm, &a, &why)) << why;
  EXPECT_EQ(a.planecount, 4);
  cv::Mat grey(3, 2, CV_8UC1, cv::Scalar(0));
  grey.at<uint8_t>(2, 1) = 77;  // row 2, column 1
  ASSERT_TRUE(parse(encode(grey, ".png"), FileKind::Png, &a, &why)) << why;
  EXPECT_EQ(a.planecount, 1);
  EXPECT_EQ(a.dims, (std::vector<long>{2, 3}));
  EXPECT_EQ(values<uint8_t>(a)[2 * 2 + 1], 77);
}

TEST(Image, DeepAndShortRangeSamplesAreScaledToFullBytes) {
  Array a;
  std::string why;
  cv::Mat deep(1, 2, CV_16UC1);
  deep.at<uint16_t>(0, 0) = 65535;
  deep.at<uint16_t>(0, 1) = 257 * 100;
  ASSERT_TRUE(parse(encode(deep, ".png"), FileKind::Png, &a, &why)) << why;
  EXPECT_EQ(values<uint8_t>(a), (std::vector<uint8_t>{255, 100}));
  // Binary and text PGM of the same maxval read alike.
  ASSERT_TRUE(parse(std::string("P5\n2 1\n15\n\x0f\x05", 12), FileKind::Pgm, &a, &why)) << why;
  EXPECT_EQ(values<uint8_t>(a), (std::vector<uint8_t>{255, 85}));
  ASSERT_TRUE(parse("P2\n2 1\n15\n15 5\n", FileKind::Pgm, &a, &why)) << why;
  EXPECT_EQ(values<uint8_t>(a), (std::vector<uint8_t>{255, 85}));
  ASSERT_TRUE(parse(std::string("P5 # c\n1 1\n1000\n\x03\xe8", 18), FileKind::Pgm, &a, &why)) << why;
  EXPECT_EQ(values<uint8_t>(a), std::vector<uint8_t>{255});
}

// What OpenCV's reader makes of a PGM or PPM file, scaled to bytes as the
// runner scaled it before it had a decoder of its own; no cells when OpenCV
// refuses the file.
Array opencv_pnm(const std::string& bytes, int maxval) {
  cv::Mat img, img8;
  try {
    img = cv::imdecode(cv::Mat(1, static_cast<int>(bytes.size()), CV_8U, const_cast<char*>(bytes.data())),
                       cv::IMREAD_UNCHANGED);
  } catch (const cv::Exception&) {
  }
  if (img.empty()) return {};
  const bool text = bytes[1] == '2' || bytes[1] == '3';
  img.convertTo(img8, CV_8U, img.depth() == CV_16U || (!text && maxval != 255) ? 255.0 / maxval : 1.0);
  return array_from_image(img8);
}

std::string be16(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
  return s;
}

struct PnmCase {
  const char* what;
  std::string bytes;
  int maxval;
  std::vector<uint8_t> cells;  // when given, what both must read
};

TEST(Image, PgmAndPpmReadAsOpenCvReadsThem) {
  const std::vector<PnmCase> cases = {
      {"P5", std::string("P5\n3 2\n255\n\x00\x01\x7f\x80\xfe\xff", 17), 255, {0, 1, 127, 128, 254, 255}},
      {"P6, comments in the header", "P6 # by hand\n2 1\n# two cells\n255\n\x0a\x14\x1e\x28\x32\x3c", 255,
       {255, 10, 20, 30, 255, 40, 50, 60}},
      {"P5, 16 bits", "P5\n2 2\n65535\n" + be16({0, 257, 32768, 65535}), 65535, {0, 1, 128, 255}},
      {"P6, 16 bits", "P6\n1 2\n65535\n" + be16({1, 128, 129, 65534, 40000, 12345}), 65535, {}},
      {"P5, halves round to even", "P5\n2 1\n510\n" + be16({253, 255}), 510, {126, 128}},
      {"P5, samples above maxval saturate", std::string("P5\n4 1\n7\n\x00\x03\x07\xc8", 13), 7, {0, 109, 255, 255}},
      {"P2, clipped, then integer division", "P2\n3 1\n7\n0 3 # c\n9\n", 7, {0, 109, 255}},
      {"P3, 16 bits", "P3\n1 1\n1000\n0 500 1000\n", 1000, {}},
      {"P2, no byte after its last sample", "P2\n1 1\n255\n7", 255, {}},
      {"P2, a comment ends a sample", "P2\n2 1\n255\n7#c\n9 ", 255, {}},
  };
  for (const auto& c : cases) {
    const FileKind kind = c.bytes[1] == '2' || c.bytes[1] == '5' ? FileKind::Pgm : FileKind::Ppm;
    Array mine;
    std::string why;
    const bool read = parse(c.bytes, kind, &mine, &why);
    const Array theirs = opencv_pnm(c.bytes, c.maxval);
    ASSERT_EQ(read, !theirs.dims.empty()) << c.what << ": " << why;
    if (!read) continue;
    EXPECT_EQ(mine.dims, theirs.dims) << c.what;
    EXPECT_EQ(mine.planecount, theirs.planecount) << c.what;
    EXPECT_EQ(values<uint8_t>(mine), values<uint8_t>(theirs)) << c.what;
    if (!c.cells.empty()) {
      EXPECT_EQ(values<uint8_t>(mine), c.cells) << c.what;
    }
  }
}

TEST(Image, HeadersClaimingMoreThanTheFileHoldsAreRefused) {
  std::string png = encode(cv::Mat(1, 1, CV_8UC1, cv::Scalar(0)), ".png");
  const unsigned char huge[8] = {0x00, 0x10, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00};  // 2^20 x 2^20
  std::memcpy(png.data() + 16, huge, 8);
  Array a;
  std::string why;
  EXPECT_FALSE(parse(png, FileKind::Png, &a, &why));
  EXPECT_NE(why.find("too large"), std::string::npos) << why;
  const unsigned char big[8] = {0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x10, 0x00};  // 4096 x 4096
  std::memcpy(png.data() + 16, big, 8);
  EXPECT_FALSE(parse(png, FileKind::Png, &a, &why));
  EXPECT_NE(why.find("truncated PNG"), std::string::npos) << why;
  EXPECT_FALSE(parse("P2\n100 100\n255\n1 2 3", FileKind::Pgm, &a, &why));
  EXPECT_NE(why.find("truncated PGM"), std::string::npos) << why;
  EXPECT_FALSE(parse("P5\n99999999999 1\n255\n", FileKind::Pgm, &a, &why));
  EXPECT_NE(why.find("PGM"), std::string::npos) << why;
}

TEST(Json, LinesAreExactlyTheContractsForm) {
  EventSource mass{0, 1, "zelk.mass"};
  EXPECT_EQ(json_outlet_event(mass, 0, "float", {12.5}),
            R"({"frame":0,"box":1,"object":"zelk.mass","event":"outlet","outlet":0,"selector":"float","atoms":[12.5]})");
  EventSource moments{0, 2, "zelk.moments"};
  EXPECT_EQ(json_outlet_event(moments, 0, "list", {0.125, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0}),
            R"({"frame":0,"box":2,"object":"zelk.moments","event":"outlet","outlet":0,"selector":"list","atoms":[0.125,0,0,0,0,0,0]})");
  EventSource label{1, 0, "zelk.label"};
  EXPECT_EQ(json_error_event(label, 0x4D535450), R"({"frame":1,"box":0,"object":"zelk.label","event":"error","code":"MSTP"})");
  EventSource extrema{1, 0, "zelk.extrema"};
  EXPECT_EQ(json_console_event(extrema, "The input must come from zelk.hough!"),
            R"({"frame":1,"box":0,"object":"zelk.extrema","event":"console","text":"The input must come from zelk.hough!"})");
  const std::string file = "out/f0000_b0_zelk.label.npy";
  EXPECT_EQ(json_matrix_event({0, 0, "zelk.label"}, 0, "long", 1, {640, 480}, &file),
            R"({"frame":0,"box":0,"object":"zelk.label","event":"matrix","outlet":0,"type":"long","planecount":1,"dim":[640,480],"file":"out/f0000_b0_zelk.label.npy"})");
  EXPECT_EQ(json_outlet_event(label, 2, "dump", {7LL, std::string("mode"), JsonAtom{}}),
            R"({"frame":1,"box":0,"object":"zelk.label","event":"outlet","outlet":2,"selector":"dump","atoms":[7,"mode",null]})");
}

TEST(Json, NumbersReadBackExactlyAndStringsStayValid) {
  EXPECT_EQ(json_number(0.1), "0.1");
  EXPECT_EQ(json_number(static_cast<double>(0.1f)), "0.10000000149011612");
  EXPECT_EQ(json_number(-0.0), "-0");
  EXPECT_EQ(json_number(1e300), "1e+300");
  EXPECT_EQ(json_number(std::nan("")), "null");
  EXPECT_EQ(json_number(-std::numeric_limits<double>::infinity()), "null");
  EXPECT_EQ(json_quote("a\"b\\c\nd\x01"), R"("a\"b\\c\nd\u0001")");
  EXPECT_EQ(json_quote("caf\xc3\xa9"), "\"caf\xc3\xa9\"");
  EXPECT_EQ(json_quote("bad\xff\xc3"), R"("bad\ufffd\ufffd")");
  EXPECT_EQ(json_quote("\xed\xa0\x80"), R"("\ufffd\ufffd\ufffd")") << "a surrogate is not UTF-8";
}

}  // namespace
