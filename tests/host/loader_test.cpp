// Loading plug-ins from folders: broken files fail clearly, a real plug-in
// of this build loads once and runs through the host.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "max.jit.mop.h"
#include "zelk/host.h"

namespace {

namespace fs = std::filesystem;

class PluginDirs : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = zelk::host::plugin_dirs();
    zelk::host::set_console_echo(false);
  }
  void TearDown() override { zelk::host::set_plugin_dirs(saved_); }
  std::vector<std::string> saved_;
};

TEST_F(PluginDirs, BrokenLibraryFailsWithTheLoaderMessage) {
  fs::path dir = fs::temp_directory_path() / ("zelk-host-test-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "zelk.garbage.so") << "not a shared library";
  std::ofstream(dir / "readme.txt") << "not a plug-in";
  zelk::host::set_plugin_dirs({dir.string()});
  std::string why;
  EXPECT_FALSE(zelk::host::load_object("zelk.garbage", &why));
  EXPECT_NE(why.find("zelk.garbage: cannot load "), std::string::npos) << why;
  EXPECT_EQ(zelk::host::available_objects(), std::vector<std::string>{"zelk.garbage"});
  EXPECT_FALSE(zelk::host::load_object("zelk.absent", &why));
  EXPECT_EQ(why, "no object named zelk.absent in " + dir.string());
  fs::remove_all(dir);
}

TEST_F(PluginDirs, RealPluginLoadsOnceAndRuns) {
  const std::string dir = std::string(ZELK_BUILD_DIR) + "/plugins";
  if (!fs::exists(dir + "/zelk.binedge.so")) GTEST_SKIP() << "plug-ins not built";
  zelk::host::set_plugin_dirs({dir});
  std::string why;
  auto a = zelk::host::Box::create("zelk.binedge", &why);
  ASSERT_TRUE(a) << why;
  auto b = zelk::host::Box::create("zelk.binedge", &why);
  ASSERT_TRUE(b) << why;
  EXPECT_TRUE(zelk::host::load_object("zelk.binedge"));
  void* in = zelk::host::new_matrix(_jit_sym_char, 1, {9, 7});
  a->send_matrix(in);
  void* out = nullptr;
  for (const auto& e : a->events())
    if (void* m = zelk::host::event_matrix(e)) out = m;
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(zelk::host::matrix_info(out).dim[0], 9);
  EXPECT_EQ(zelk::host::matrix_info(out).dim[1], 7);
  char text[64] = "";
  jit_object_method(a->object(), gensym("assist"), nullptr, reinterpret_cast<void*>(2L),
                    reinterpret_cast<void*>(1L), text);
  EXPECT_STREQ(text, "dumpout");
  jit_object_free(in);
}

}  // namespace
