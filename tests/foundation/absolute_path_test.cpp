#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "foundation/platform.h"

namespace quill {
namespace {

// The reference: what the system's own path library makes of the path.
std::string reference(const std::string& path) {
  std::string out =
      std::filesystem::absolute(platform::native_path(path)).lexically_normal().string();
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

TEST(AbsolutePathTest, AgreesWithLexicalNormalisation) {
  const char* const rows[] = {"a",          "a/b.h",    "a/b/",     "a//b",   "./a",
                              "a/./b",      "a/../b",   "../a",     "..",     ".",
                              "/",          "/x/y",     "/x//y/",   "/x/./y", "/x/../y",
                              "a\\b\\c.h",  "dir/",     "a/b/..",   "a/.hidden", "..a/b.."};
  for (const char* row : rows) EXPECT_EQ(platform::absolute_path(row), reference(row)) << row;
}

TEST(AbsolutePathTest, FollowsTheWorkingDirectory) {
  const std::string before = platform::current_directory();
  ASSERT_TRUE(platform::change_directory("/"));
  EXPECT_EQ(platform::absolute_path("a/b"), "/a/b");
  EXPECT_EQ(platform::current_directory(), "/");
  ASSERT_TRUE(platform::change_directory(before));
  EXPECT_EQ(platform::absolute_path("a"), reference("a"));
}

}  // namespace
}  // namespace quill
