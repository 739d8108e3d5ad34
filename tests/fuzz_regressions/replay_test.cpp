// Every input that once crashed, hung or tripped a sanitizer in a fuzzer
// runs again here, through the same harness the fuzzer uses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/objects_harness.h"
#include "fuzz/readers_harness.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputs(const char* target) {
  std::vector<fs::path> v;
  const fs::path dir = fs::path(ZELK_SOURCE_DIR) / "tests/fuzz_regressions" / target;
  if (fs::is_directory(dir))
    for (const auto& e : fs::directory_iterator(dir))
      if (e.is_regular_file()) v.push_back(e.path());
  return v;
}

std::vector<uint8_t> bytes_of(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FuzzRegressions, ObjectInputsRunCleanly) {
  ASSERT_TRUE(zelk::fuzz::initialise()) << "no plug-ins";
  for (const auto& p : inputs("fuzz_objects")) {
    SCOPED_TRACE(p.string());
    const auto b = bytes_of(p);
    for (int i = 0; i < 20; ++i) zelk::fuzz::run_one(b.data(), b.size());  // races need repeats
  }
}

TEST(FuzzRegressions, ReaderInputsRunCleanly) {
  for (const auto& p : inputs("fuzz_readers")) {
    SCOPED_TRACE(p.string());
    const auto b = bytes_of(p);
    zelk::fuzz::read_one(b.data(), b.size());
  }
}

}  // namespace
