// Column and line counting without a scan of every byte, and staged files
// opened from the one status query of their target.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "foundation/platform.h"
#include "foundation/settings.h"
#include "output/output_file.h"
#include "output/staged_file.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

class FastOutputTest : public testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    reset_output_file();
    settings().set("CGenOutdir", dir_);
    settings().set("StripReturns", "true");
  }
  void TearDown() override {
    reset_output_file();
    EngineTest::TearDown();
  }
};

TEST_F(FastOutputTest, ColumnAndLinesFollowTheLastLineFeed) {
  struct Row {
    std::string before;  // written first, without a line end
    std::string text;
    bool line_end;
    int column;
    long lines;
  } rows[] = {
      {"", "", false, 1, 0},
      {"", "", true, 1, 1},
      {"", "abc", false, 4, 0},
      {"ab", "cd", false, 5, 0},
      {"ab", "\n", false, 1, 1},
      {"ab", "x\ny", false, 2, 1},
      {"ab", "\n\n\nxyz", false, 4, 3},
      {"ab", "a\nb\n", true, 1, 3},
      {"", std::string(70000, 'q'), false, 70001, 0},
      {"", std::string(70000, 'q') + "\n" + std::string(9, 'r'), false, 10, 1},
      {"", "\r\n", false, 1, 1},
  };
  for (const Row& row : rows) {
    output_file().reset_counts();
    output_file().open("c.txt");
    output_file().write(row.before, false, 0);
    output_file().write(row.text, row.line_end, 0);
    std::string where = row.before + "|" + row.text.substr(0, 12);
    EXPECT_EQ(output_file().column(), row.column) << where;
    EXPECT_EQ(output_file().line_count(), row.lines) << where;
    output_file().close();
    EXPECT_EQ(read(dir_ + "/c.txt").size(),
              row.before.size() + row.text.size() + (row.line_end ? 1 : 0))
        << where;
  }
}

TEST_F(FastOutputTest, TargetKindDecidesHowAVersionIsWritten) {
  write("old.txt", "old");
  platform::create_directory(dir_ + "/sub");
  ASSERT_EQ(::symlink((dir_ + "/dest.txt").c_str(), (dir_ + "/dangling").c_str()), 0);
  struct Row {
    std::string target;
    bool append;
    bool opens;
    bool direct;
    bool had_target;
    std::string read_back;  // the path whose content is checked, "" for none
    std::string expected;
  } rows[] = {
      {dir_ + "/new.txt", false, true, false, false, dir_ + "/new.txt", "new"},
      {dir_ + "/old.txt", false, true, false, true, dir_ + "/old.txt", "new"},
      {dir_ + "/old.txt", true, true, false, true, dir_ + "/old.txt", "newnew"},
      {dir_ + "/sub", false, false, false, false, "", ""},
      {"/dev/null", false, true, true, false, "", ""},
      // A dangling link is written through, so the file it names appears.
      {dir_ + "/dangling", false, true, true, false, dir_ + "/dest.txt", "new"},
  };
  for (const Row& row : rows) {
    for (bool queried : {false, true}) {
      if (row.target == dir_ + "/old.txt" && !row.append) write("old.txt", "old");
      if (row.target == dir_ + "/old.txt" && row.append) write("old.txt", "new");
      platform::remove_file(dir_ + "/dest.txt");
      platform::remove_file(dir_ + "/new.txt");
      StagedFile file;
      bool opened = queried ? file.open(row.target, row.append, platform::file_status(row.target))
                            : file.open(row.target, row.append);
      std::string where = row.target + (queried ? " (kind given)" : "");
      ASSERT_EQ(opened, row.opens) << where;
      if (!opened) continue;
      EXPECT_EQ(file.is_direct(), row.direct) << where;
      EXPECT_EQ(file.had_target(), row.had_target) << where;
      EXPECT_TRUE(file.write("new")) << where;
      EXPECT_TRUE(file.finish()) << where;
      EXPECT_TRUE(file.commit()) << where;
      if (!row.read_back.empty()) {
        EXPECT_EQ(read(row.read_back), row.expected) << where;
      }
    }
  }
  EXPECT_EQ(platform::file_kind(dir_ + "/dangling"), platform::FileKind::regular);
}

// A file its user may not write is not replaced, though its directory would
// allow the rename. (Run as nobody where the tests run as root, who may
// write any file.)
TEST_F(FastOutputTest, OldVersionThatMayNotBeWrittenIsKept) {
  const std::string target = write("locked.h", "old version");
  ::chmod(target.c_str(), 0444);
  ::chmod(dir_.c_str(), 0777);
  EXPECT_EXIT(
      {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(2);
        StagedFile file;
        StagedFile given;
        const bool ok = !file.open(target, false) &&
                        !given.open(target, false, platform::file_status(target)) &&
                        read(target) == "old version";
        std::_Exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// When the temporary file cannot be made for any reason but the length of
// its name, the old version must stay whole: writing it in place would lose
// what only it holds.
TEST_F(FastOutputTest, TemporaryFileThatCannotBeMadeLeavesTheOldVersion) {
  std::string target = write("kept.txt", "old version");
  // A directory where the temporary file would go: the target itself could
  // still be opened.
  ASSERT_TRUE(platform::create_directory(StagedFile::temp_path(target)));
  StagedFile file;
  EXPECT_FALSE(file.open(target, false));
  EXPECT_EQ(read(target), "old version");

  // A name with no room for the temporary name is still written in place,
  // and the version so written can be read back.
  std::string long_name = dir_ + "/" + std::string(250, 'n');
  platform::write_file(long_name, "old");
  ASSERT_TRUE(file.open(long_name, false));
  EXPECT_TRUE(file.is_direct());
  EXPECT_TRUE(file.write("new"));
  EXPECT_TRUE(file.finish());
  std::string content;
  EXPECT_TRUE(file.new_content(content));
  EXPECT_EQ(content, "new");
  EXPECT_TRUE(file.commit());
}

}  // namespace
}  // namespace quill
