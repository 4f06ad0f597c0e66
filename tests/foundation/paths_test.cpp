#include "foundation/paths.h"

#include <gtest/gtest.h>

#include "foundation/platform.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

TEST(PathsTest, Validation) {
  struct Row {
    const char* text;
    bool file_name, path;
  };
  const Row rows[] = {
      {"out.cpp", true, true},      {"dir\\out.cpp", false, true}, {"my file.c", false, true},
      {"", false, false},           {"E:\\gen dir\\x", false, true}, {"a*b", false, false},
      {"~/x", false, true},         {"\xc3\xa9t\xc3\xa9.h", true, true}, {"a\tb", false, false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(is_valid_file_name(r.text), r.file_name) << r.text;
    EXPECT_EQ(is_valid_path(r.text), r.path) << r.text;
  }
}

TEST(PathsTest, SplitPath) {
  struct Row {
    const char* path;
    const char *drive, *directory, *file_name, *base_name, *extension;
  };
  const Row rows[] = {
      {"E:\\a\\b\\x.tar.gz", "E:", "\\a\\b", "x.tar.gz", "x", "tar"},
      {"\\x.c", "", "\\", "x.c", "x", "c"},
      {"/x.c", "", "/", "x.c", "x", "c"},
      {"gen/sub\\y.h", "", "gen/sub", "y.h", "y", "h"},
      {"a\\b/c.d", "", "a\\b", "c.d", "c", "d"},
      {"noext", "", "", "noext", "noext", ""},
      {"a*b\\c.d", "", "", "", "", ""},
  };
  for (const Row& r : rows) {
    PathParts p = split_path(r.path);
    EXPECT_EQ(p.path, r.path);
    EXPECT_EQ(p.drive, r.drive) << r.path;
    EXPECT_EQ(p.directory, r.directory) << r.path;
    EXPECT_EQ(p.file_name, r.file_name) << r.path;
    EXPECT_EQ(p.base_name, r.base_name) << r.path;
    EXPECT_EQ(p.extension, r.extension) << r.path;
  }
}

TEST(PathsTest, PathPieces) {
  EXPECT_TRUE(is_relative("gen/x"));
  EXPECT_FALSE(is_relative(""));
  EXPECT_FALSE(is_relative("/gen"));
  EXPECT_FALSE(is_relative("\\gen"));
  EXPECT_FALSE(is_relative("c:gen"));
  EXPECT_EQ(file_name_of("a\\b/c.h"), "c.h");
  EXPECT_EQ(directory_of("a\\b/c.h"), "a\\b");
  EXPECT_EQ(directory_of("c.h"), "");
  EXPECT_EQ(join_path("gen", "x.h"), std::string("gen") + platform::kSeparator + "x.h");
  EXPECT_EQ(join_path("", "x.h"), "x.h");
}

class PathsFileTest : public testing::EngineTest {};

TEST_F(PathsFileTest, MakeDirsCreatesParents) {
  std::string deep = dir_ + "/a\\b/c";
  EXPECT_TRUE(make_dirs(deep));
  EXPECT_TRUE(dir_exists(dir_ + "/a/b/c"));
  EXPECT_TRUE(make_dirs(deep));  // already there
  EXPECT_TRUE(make_dirs(dir_ + "/d/"));
  std::string file = write("f", "x");
  EXPECT_FALSE(make_dirs(file + "/sub"));
  EXPECT_FALSE(make_dirs(""));
}

TEST_F(PathsFileTest, SearchPathTakesFirstExistingEntry) {
  write("t/lib.tem", "");
  write("u/lib.tem", "");
  write("u/only.tem", "");
  std::string dirs = ";;" + dir_ + "/none; ;" + dir_ + "\\t;" + dir_ + "/u;";
  SearchResult r = search_path(dirs, "lib.tem");
  EXPECT_TRUE(r.found);
  EXPECT_EQ(r.path, dir_ + "\\t/lib.tem");
  EXPECT_EQ(search_path(dirs, "only.tem").path, dir_ + "/u/only.tem");
  r = search_path(dirs, "missing.tem");
  EXPECT_FALSE(r.found);
  EXPECT_EQ(r.path, "");
  EXPECT_FALSE(search_path(dirs, "t").found);  // a directory is not a file
}

}  // namespace
}  // namespace quill
