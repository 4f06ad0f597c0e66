#include "foundation/platform.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace quill {
namespace {

class PlatformTest : public testing::EngineTest {};

TEST_F(PlatformTest, ReadLinesSplitsAtLineFeeds) {
  struct Row {
    std::string content;
    std::vector<std::string> lines;
  };
  const Row rows[] = {
      {"a\r\nb\nc", {"a", "b", "c"}},
      {"a\n\n", {"a", ""}},
      {"", {}},
      {"x\r\r\ny\r", {"x\r", "y\r"}},
      {"\r\n", {""}},
      {std::string(100000, 'L') + "\n", {std::string(100000, 'L')}},
  };
  for (const Row& r : rows) {
    std::string path = write("f.txt", r.content);
    std::vector<std::string> lines = {"stale"};
    ASSERT_TRUE(platform::read_lines(path, lines));
    EXPECT_EQ(lines, r.lines) << r.content.substr(0, 20);
  }
  std::vector<std::string> lines;
  EXPECT_FALSE(platform::read_lines(dir_ + "/missing", lines));
  EXPECT_FALSE(platform::read_lines(dir_, lines));
}

TEST_F(PlatformTest, ReadsLargeFilesInPiecesInOrder) {
  std::string content;
  for (int i = 0; content.size() < 700000; ++i) content += std::to_string(i) + (i % 3 ? "\n" : "\r\n");
  const std::string path = write("big.txt", content);
  std::string joined;
  size_t pieces = 0;
  ASSERT_TRUE(platform::read_file_pieces(path, [&](std::string_view piece) {
    joined.append(piece);
    ++pieces;
  }));
  EXPECT_EQ(joined, content);
  EXPECT_GT(pieces, 1u) << "a file this large comes in more than one piece";
  auto ignore = [](std::string_view) {};
  EXPECT_FALSE(platform::read_file_pieces(dir_, ignore)) << "a directory";
  EXPECT_FALSE(platform::read_file_pieces(dir_ + "/missing.txt", ignore));
}

TEST_F(PlatformTest, WritesByteForByteThroughEitherSeparator) {
  std::string path = dir_ + "\\out.txt";
  ASSERT_TRUE(platform::write_file(path, "a\r\n"));
  ASSERT_TRUE(platform::append_file(path, "b\n"));
  EXPECT_EQ(read(dir_ + "/out.txt"), "a\r\nb\n");
  EXPECT_TRUE(platform::is_regular_file(path));
  EXPECT_FALSE(platform::is_directory(path));

  platform::FileWriter w;
  ASSERT_TRUE(w.open(path));
  std::string big(200000, 'x');
  EXPECT_TRUE(w.write("head\n"));
  EXPECT_TRUE(w.write(big));
  EXPECT_TRUE(w.close());
  EXPECT_TRUE(read(dir_ + "/out.txt") == "head\n" + big);
  EXPECT_FALSE(w.open(dir_ + "/no/such/dir/f"));
  EXPECT_FALSE(w.write("x"));
}

TEST_F(PlatformTest, DirectoriesAndRenames) {
  EXPECT_TRUE(platform::create_directory(dir_ + "/d"));
  EXPECT_FALSE(platform::create_directory(dir_ + "/d"));
  EXPECT_TRUE(platform::is_writable_directory(dir_ + "/d"));
  write("d/a", "1");
  EXPECT_TRUE(platform::rename_file(dir_ + "/d/a", dir_ + "\\d\\b"));
  EXPECT_EQ(platform::list_directory(dir_ + "/d"), std::vector<std::string>{"b"});
  EXPECT_TRUE(platform::remove_file(dir_ + "/d/b"));
  EXPECT_TRUE(platform::list_directory(dir_ + "/d").empty());
  EXPECT_EQ(platform::absolute_path("/a/./b/../c/"), "/a/c");
  EXPECT_EQ(platform::native_path("a\\b/c"), "a/b/c");
}

TEST_F(PlatformTest, RunsCommandsThroughTheShell) {
  EXPECT_EQ(platform::run_command("exit 3"), 3);
  EXPECT_EQ(platform::run_command("echo hi > '" + dir_ + "/o'"), 0);
  EXPECT_EQ(read(dir_ + "/o"), "hi\n");
  platform::set_env("QUILL_TEST_VAR", "");
  EXPECT_TRUE(platform::has_env("QUILL_TEST_VAR"));
  EXPECT_FALSE(platform::has_env("QUILL_TEST_UNSET_VAR"));
  EXPECT_TRUE(platform::is_directory(platform::executable_directory()));
  platform::LocalTime t = platform::local_time();
  EXPECT_GE(t.year, 2000);
  EXPECT_TRUE(t.month >= 1 && t.month <= 12);
}

}  // namespace
}  // namespace quill
