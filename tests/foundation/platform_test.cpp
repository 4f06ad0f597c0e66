#include "foundation/platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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

// Files handed to the second thread look written at once to every later
// call of the layer; one that cannot be made is reported by the next settle
// and leaves whatever took its name alone.
TEST_F(PlatformTest, FilesMadeInTheBackgroundAreSeenByEveryLaterCall) {
  namespace fs = std::filesystem;
  std::vector<std::string> failed;
  platform::write_in_background([&failed](const std::string& path) { failed.push_back(path); });
  struct Off {
    ~Off() { platform::write_in_background(nullptr); }
  } off;
  ASSERT_TRUE(platform::writes_in_background());
  std::string content;

  platform::FileWriter small;
  ASSERT_TRUE(small.create_later(dir_ + "/small.h"));
  small.write("small\n");
  EXPECT_TRUE(small.close());
  EXPECT_TRUE(platform::read_file(dir_ + "/small.h", content));
  EXPECT_EQ(content, "small\n");

  // Text beyond the buffer has the file made at once.
  platform::FileWriter large;
  ASSERT_TRUE(large.create_later(dir_ + "/large.h"));
  std::string expected;
  for (int i = 0; expected.size() < 200000; ++i) {
    std::string line = std::to_string(i) + " a line of a large file\n";
    expected += line;
    EXPECT_TRUE(large.write(line));
  }
  EXPECT_TRUE(large.made_file());
  EXPECT_TRUE(large.close());
  EXPECT_TRUE(platform::read_file(dir_ + "/large.h", content));
  EXPECT_EQ(content, expected);

  // A dropped file is never made.
  platform::FileWriter dropped;
  ASSERT_TRUE(dropped.create_later(dir_ + "/dropped.h"));
  dropped.write("dropped");
  dropped.abandon();
  EXPECT_FALSE(dropped.made_file());

  // Something else takes the name before the thread gets to it.
  platform::FileWriter late;
  ASSERT_TRUE(late.create_later(dir_ + "/taken.h"));
  late.write("ours");
  std::ofstream(dir_ + "/taken.h") << "theirs";
  EXPECT_TRUE(late.close());
  EXPECT_TRUE(failed.empty()) << "reported when settled, not at the close";
  std::vector<std::string> names = platform::list_directory(dir_);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"large.h", "small.h", "taken.h"}));
  EXPECT_EQ(failed, std::vector<std::string>{dir_ + "/taken.h"});
  EXPECT_TRUE(platform::read_file(dir_ + "/taken.h", content));
  EXPECT_EQ(content, "theirs");
  platform::settle_writes();
  EXPECT_EQ(failed.size(), 1u) << "each failure is reported once";

  // Turned off, the file is made at once again.
  platform::write_in_background(nullptr);
  EXPECT_FALSE(platform::writes_in_background());
  platform::FileWriter direct;
  ASSERT_TRUE(direct.create_later(dir_ + "/direct.h"));
  EXPECT_TRUE(fs::exists(dir_ + "/direct.h"));
  EXPECT_FALSE(direct.create_later(dir_ + "/direct.h")) << "an existing name is never taken";
}

// A program that asks about files as fast as it writes them would wait for
// the thread once per file: it soon gets its new files made at once again.
TEST_F(PlatformTest, FilesAreMadeAtOnceWhenTheProgramKeepsWaitingForThem) {
  namespace fs = std::filesystem;
  platform::write_in_background([](const std::string&) {});
  struct Off {
    ~Off() { platform::write_in_background(nullptr); }
  } off;
  auto made_later = [this](int i) {
    const std::string path = dir_ + "/f" + std::to_string(i);
    platform::FileWriter writer;
    EXPECT_TRUE(writer.create_later(path));
    const bool at_once = fs::exists(path);
    writer.write("x");
    writer.close();
    return !at_once;
  };
  int later = 0;
  for (int i = 0; i < 200; ++i) {
    if (made_later(i)) ++later;
    platform::is_regular_file(dir_ + "/f" + std::to_string(i));  // waits for the file
  }
  EXPECT_LT(later, 100);
  EXPECT_FALSE(made_later(1000)) << "until the handler is set again";
  // Writing many files without asking about them keeps the thread.
  platform::write_in_background([](const std::string&) {});
  for (int i = 2000; i < 2200; ++i) made_later(i);
  EXPECT_TRUE(made_later(3000));
  EXPECT_EQ(platform::list_directory(dir_).size(), 402u);
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
