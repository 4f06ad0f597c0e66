#include "foundation/platform.h"

#include <gtest/gtest.h>

#include <filesystem>
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

std::vector<std::string>& background_failures() {
  static std::vector<std::string> failures;
  return failures;
}

// A file handed to the finishing thread: every later look at the file
// system finds it in place, whole, with the old version's permissions; a
// failure is reported once the work is settled, and the file is removed.
TEST_F(PlatformTest, FilesFinishedInTheBackground) {
  namespace fs = std::filesystem;
  background_failures().clear();
  auto previous = platform::set_background_failure_handler(
      [](const std::string& report) { background_failures().push_back(report); });
  const std::string temp = dir_ + "/.t.h.tmp", target = dir_ + "/t.h";
  write("t.h", "old");
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  platform::FileWriter w;
  for (const std::string text : {"new text", "third"}) {
    ASSERT_TRUE(w.open(temp));
    ASSERT_TRUE(w.write(text));
    ASSERT_TRUE(w.finish_in_background(temp, target, /*keep_permissions=*/true, "t.h"));
    EXPECT_FALSE(w.is_open());
    std::string content;
    ASSERT_TRUE(platform::read_file(target, content));
    EXPECT_EQ(content, text);
    EXPECT_EQ(platform::list_directory(dir_), std::vector<std::string>{"t.h"});
    EXPECT_EQ(fs::status(target).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  }

  // A directory has taken the target's name: the rename fails.
  write("d/inside", "1");
  ASSERT_TRUE(w.open(temp));
  ASSERT_TRUE(w.write("lost"));
  ASSERT_TRUE(w.finish_in_background(temp, dir_ + "/d", false, "the d file"));
  EXPECT_TRUE(background_failures().empty()) << "reported when settled, not before";
  platform::settle_background_work();
  EXPECT_EQ(background_failures(), std::vector<std::string>{"the d file"});
  platform::settle_background_work();
  EXPECT_EQ(background_failures().size(), 1u) << "reported once";
  EXPECT_FALSE(platform::is_regular_file(temp));
  platform::set_background_failure_handler(previous);
}

// A forked child (as a death test makes) has no finishing thread of the
// parent's: it must finish its own files, not wait for that thread forever.
TEST_F(PlatformTest, ForkedChildFinishesItsOwnFiles) {
  platform::FileWriter w;
  ASSERT_TRUE(w.open(dir_ + "/.p.tmp"));
  ASSERT_TRUE(w.write("parent"));
  ASSERT_TRUE(w.finish_in_background(dir_ + "/.p.tmp", dir_ + "/p", false, "p"));
  EXPECT_EXIT(
      {
        platform::FileWriter c;
        bool ok = c.open(dir_ + "/.c.tmp") && c.write("child") &&
                  c.finish_in_background(dir_ + "/.c.tmp", dir_ + "/c", false, "c");
        std::string content;
        ok = ok && platform::read_file(dir_ + "/c", content) && content == "child";
        std::_Exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(read(dir_ + "/p"), "parent");
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
