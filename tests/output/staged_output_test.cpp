// How a new version of a generated file reaches the disk: staged beside the
// file, renamed into place at the close (a file that did not exist is made in
// place), dropped after a failed write, left out when it equals the old one,
// and kept only in memory in a check run; sections that the new version lacks
// go to "<file>.lost".
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/messages.h"
#include "foundation/platform.h"
#include "foundation/settings.h"
#include "model/elements.h"
#include "output/check_run.h"
#include "output/output_file.h"
#include "output/staged_file.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

// Every case runs twice: with new files and replacements written at once,
// and left to the second thread that quillb uses.
class StagedOutputTest : public testing::EngineTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    reset_output_file();
    settings().set("CGenOutdir", dir_);
    settings().set("StripReturns", "true");
    if (GetParam()) write_new_files_in_background();
  }
  void TearDown() override {
    reset_output_file();
    platform::write_in_background(nullptr);
    set_current_model(nullptr);
    EngineTest::TearDown();
  }
  std::string path(const std::string& name) { return dir_ + "/" + name; }
  void generate(const std::string& name, const std::string& text) {
    output_file().open(name);
    output_file().write(text, false, 0);
    output_file().close();
  }
  std::vector<std::string> listing() {
    std::vector<std::string> names = platform::list_directory(dir_);
    std::sort(names.begin(), names.end());
    return names;
  }
  bool has_temp_file() {
    for (const std::string& name : listing())
      if (name.find(".quilltmp.") != std::string::npos) return true;
    return false;
  }
};

TEST_P(StagedOutputTest, NewVersionReplacesTheOldOneOnlyAtTheClose) {
  write("a.h", "old\n");
  output_file().open("a.h");
  output_file().write("new", true, 0);
  output_file().flush();
  EXPECT_EQ(read(path("a.h")), "new\n") << "flush puts the text so far in place";
  output_file().write("more", true, 0);
  EXPECT_EQ(read(path("a.h")), "new\n");
  output_file().close();
  EXPECT_EQ(read(path("a.h")), "new\nmore\n");
  EXPECT_FALSE(has_temp_file());
}

// Replacing a file by a rename must not change what the old file was to its
// user: its permissions, and a link that named it.
TEST_P(StagedOutputTest, NewVersionKeepsPermissionsAndLinks) {
  namespace fs = std::filesystem;
  write("run.sh", "old\n");
  fs::permissions(path("run.sh"), fs::perms::owner_all | fs::perms::group_read);
  generate("run.sh", "new");
  EXPECT_EQ(read(path("run.sh")), "new");
  EXPECT_EQ(fs::status(path("run.sh")).permissions(), fs::perms::owner_all | fs::perms::group_read);

  fs::create_directory(path("real"));
  write("real/shared.h", "old\n");
  fs::create_symlink("real/shared.h", path("link.h"));
  generate("link.h", "through the link");
  EXPECT_TRUE(fs::is_symlink(path("link.h")));
  EXPECT_EQ(read(path("real/shared.h")), "through the link");
  EXPECT_FALSE(has_temp_file());
  EXPECT_EQ(platform::list_directory(path("real")), std::vector<std::string>{"shared.h"});
}

// A file that its directory listed at the run's first look is not created
// afresh but staged over; one that went away since is still written whole,
// and a new version with the old one's mode keeps it.
TEST_P(StagedOutputTest, ListedFilesThatWentAwayOrStayAreWritten) {
  write("gone.h", "old\n");
  write("kept.h", "old\n");
  ::chmod(path("kept.h").c_str(), 0640);
  generate("first.h", "1");  // the first look into the directory
  ASSERT_TRUE(platform::remove_file(path("gone.h")));
  generate("gone.h", "new gone");
  generate("kept.h", "new kept");
  EXPECT_EQ(read(path("gone.h")), "new gone");
  EXPECT_EQ(read(path("kept.h")), "new kept");
  struct stat st {};
  ASSERT_EQ(::stat(path("kept.h").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_FALSE(has_temp_file());
  EXPECT_EQ(output_file().file_count(), 3);
}

TEST_P(StagedOutputTest, NewVersionKeepsOwnerWhereAllowed) {
  // Only root may give a file to someone else; as any other user there is
  // nothing to check.
  if (::geteuid() != 0) GTEST_SKIP() << "needs root";
  write("owned.h", "old\n");
  ASSERT_EQ(::chown(path("owned.h").c_str(), 4321, 4322), 0);
  ::chmod(path("owned.h").c_str(), 02750);
  generate("owned.h", "new");
  struct stat st {};
  ASSERT_EQ(::stat(path("owned.h").c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 4321u);
  EXPECT_EQ(st.st_gid, 4322u);
  EXPECT_EQ(st.st_mode & 07777, 02750u);
  EXPECT_EQ(read(path("owned.h")), "new");
}

// Makes every write past 4 KiB fail, as a full disk would.
void limit_file_size() {
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  limit.rlim_cur = limit.rlim_max = 4096;
  setrlimit(RLIMIT_FSIZE, &limit);
}

TEST_P(StagedOutputTest, FailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  write("big.h", "old\n");
  EXPECT_EXIT(
      {
        limit_file_size();
        output_file().open("big.h");
        output_file().write(std::string(1 << 20, 'x'), true, 0);
        output_file().close();
        bool ok = read(path("big.h")) == "old\n" && !has_temp_file() &&
                  output().find("An output error occurred when writing to\n") != std::string::npos;
        std::_Exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// Appending writes onto the end of the file itself (no copy of the file per
// append: the file stays the same file), and so does a version that goes on
// after it was published; text appended by a version that fails or is
// dropped is cut off again, back to the old content or to what was published.
TEST_P(StagedOutputTest, AppendingWritesInPlaceAndCutsOffWhatFails) {
  namespace fs = std::filesystem;
  const std::string log = write("log.txt", "one\n");
  struct stat before {};
  ASSERT_EQ(::stat(log.c_str(), &before), 0);
  output_file().open_append("log.txt");
  output_file().write("two", true, 0);
  EXPECT_FALSE(has_temp_file());
  generate("other.h", "x");
  output_file().open_append("log.txt");
  output_file().write("three", true, 0);
  output_file().close();
  EXPECT_EQ(read(log), "one\ntwo\nthree\n");
  struct stat after {};
  ASSERT_EQ(::stat(log.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);

  {
    StagedFile file;
    ASSERT_TRUE(file.open(log, /*append=*/true));
    EXPECT_TRUE(file.appends());
    EXPECT_TRUE(file.write("four\n"));
    EXPECT_TRUE(file.publish());
    EXPECT_TRUE(file.write("five\n"));
    EXPECT_TRUE(file.flush());
    EXPECT_EQ(read(log), "one\ntwo\nthree\nfour\nfive\n");
    file.discard();
  }
  EXPECT_EQ(read(log), "one\ntwo\nthree\nfour\n");
  {
    // A new version published on the way (before a command runs) goes on
    // the same way.
    StagedFile file;
    ASSERT_TRUE(file.open(path("a.h"), /*append=*/false));
    EXPECT_TRUE(file.write("published\n"));
    EXPECT_TRUE(file.publish());
    EXPECT_TRUE(file.write("dropped\n"));
    EXPECT_TRUE(file.flush());
    EXPECT_TRUE(file.appends());
    file.discard();
  }
  EXPECT_EQ(read(path("a.h")), "published\n");

  // Under WriteOnlyChanged an append is not compared with a version that it
  // has changed already; appending nothing leaves the file as it was.
  settings().set("WriteOnlyChanged", "true");
  const auto long_ago = fs::file_time_type::clock::now() - std::chrono::hours(48);
  fs::last_write_time(log, long_ago);
  output_file().open_append("log.txt");
  output_file().close();
  EXPECT_EQ(fs::last_write_time(log), long_ago);
  output_file().open_append("log.txt");
  output_file().write("six", true, 0);
  output_file().close();
  EXPECT_EQ(read(log), "one\ntwo\nthree\nfour\nsix\n");

  EXPECT_EXIT(
      {
        limit_file_size();
        output_file().open_append("log.txt");
        output_file().write(std::string(1 << 20, 'x'), true, 0);
        output_file().close();
        bool ok = read(log) == "one\ntwo\nthree\nfour\nsix\n" && !has_temp_file() &&
                  output().find("An output error occurred when writing to\n") != std::string::npos;
        std::_Exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// A file that does not exist yet has nothing to protect: it is created and
// written in place, and a version that fails is removed again.
TEST_P(StagedOutputTest, NewFileIsWrittenInPlaceAndRemovedWhenItFails) {
  output_file().open("n.h");
  output_file().write("first", true, 0);
  EXPECT_EQ(listing(), std::vector<std::string>{"n.h"}) << "no temporary name for a new file";
  output_file().flush();
  EXPECT_EQ(read(path("n.h")), "first\n");
  output_file().write("second", true, 0);
  output_file().close();
  EXPECT_EQ(read(path("n.h")), "first\nsecond\n");
  EXPECT_EQ(listing(), std::vector<std::string>{"n.h"});

  EXPECT_EXIT(
      {
        limit_file_size();
        output_file().open("big.h");
        output_file().write(std::string(1 << 20, 'x'), true, 0);
        output_file().close();
        bool ok = !std::filesystem::exists(path("big.h")) && !has_temp_file() &&
                  output().find("An output error occurred when writing to\n") != std::string::npos;
        std::_Exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// Creating never replaces anything that goes by the name, not even a link
// that leads nowhere; the careful way is taken then.
TEST_P(StagedOutputTest, CreatingLeavesExistingNamesAlone) {
  namespace fs = std::filesystem;
  write("old.h", "old\n");
  fs::create_symlink("missing/target.h", path("dangling.h"));
  for (const char* name : {"old.h", "dangling.h"}) {
    StagedFile file;
    EXPECT_FALSE(file.create(path(name))) << name;
    EXPECT_FALSE(file.is_open()) << name;
  }
  EXPECT_EQ(read(path("old.h")), "old\n");
  EXPECT_TRUE(fs::is_symlink(path("dangling.h")));

  StagedFile file;
  ASSERT_TRUE(file.create(path("fresh.h")));
  EXPECT_FALSE(file.had_target());
  file.write("dropped");
  file.discard();
  EXPECT_FALSE(std::filesystem::exists(path("fresh.h"))) << "a dropped new version leaves no file";
}

// A target that turned into a directory during the run cannot be replaced:
// the version is dropped and the failure reported before the next message.
TEST_P(StagedOutputTest, VersionThatCannotReplaceItsTargetIsDroppedAndReported) {
  namespace fs = std::filesystem;
  write("r.h", "old\n");
  output_file().open("r.h");
  output_file().write("new", true, 0);
  fs::remove(path("r.h"));
  fs::create_directory(path("r.h"));
  write("r.h/inside", "x");
  output_file().close();
  info("next");
  EXPECT_EQ(output(), "***ERROR    An output error occurred when writing to\n"
                      "            file '" + path("r.h") +
                      "'.  Possible disk full or line-length problem.\n"
                      "  *INFO     next\n");
  EXPECT_FALSE(has_temp_file());
  EXPECT_EQ(read(path("r.h/inside")), "x");
}

TEST_P(StagedOutputTest, NameWithoutRoomForTheTemporaryNameIsWrittenInPlace) {
  std::string name(250, 'n');
  write(name, "old");
  generate(name, "new");
  EXPECT_EQ(read(path(name)), "new");
  EXPECT_EQ(output(), "");
}

TEST_P(StagedOutputTest, TemporaryFilesOfOtherRunsAreRemoved) {
  struct Row {
    const char* name;
    bool kept;
  } rows[] = {
      {".a.h.quilltmp.0badf00d", false},
      {".noname.xxx.quilltmp.1234", false},
      {".a.h.quilltmp.notes", true},  // not a run's token
      {"a.h.quilltmp.0badf00d", true},
      {".a.h.quilltmp.", true},
  };
  for (const Row& row : rows) write(row.name, "left over");
  generate("b.h", "x");
  for (const Row& row : rows)
    EXPECT_EQ(platform::is_regular_file(path(row.name)), row.kept) << row.name;
}

TEST_P(StagedOutputTest, SectionsMissingFromTheNewVersionAreKeptInALostFile) {
  Model model("m");
  set_current_model(&model);
  const std::string old_text =
      "//BEGIN-UID.a\nmine a  \n//END-UID.a\n# BEGIN-UID.b\nmine b\n# END-UID. b\n";
  struct Row {
    const char* strip;
    bool check;
    const char* new_text;
    const char* messages;
    const char* lost;  // the .lost file afterwards, "" for none
  } rows[] = {
      {"true", false, "//BEGIN-UID.a\n//END-UID.a\n#BEGIN-UID. b \n# END-UID.b\n", "", ""},
      {"true", false, "//BEGIN-UID.a\n//END-UID.a\n",
       " **WARNING  The uid tagged section 'b' is missing from the new version of file '<f>'.\n"
       "            Its text has been appended to '<f>.lost'.\n",
       "# BEGIN-UID.b\nmine b\n# END-UID. b\n"},
      {"false", false, "",
       " **WARNING  The uid tagged section 'a' is missing from the new version of file '<f>'.\n"
       "            Its text has been appended to '<f>.lost'.\n"
       " **WARNING  The uid tagged section 'b' is missing from the new version of file '<f>'.\n"
       "            Its text has been appended to '<f>.lost'.\n",
       "//BEGIN-UID.a\r\nmine a  \r\n//END-UID.a\r\n# BEGIN-UID.b\r\nmine b\r\n# END-UID. b\r\n"},
      {"true", true, "//BEGIN-UID.a\n//END-UID.a\n",
       " **WARNING  The uid tagged section 'b' would be missing from the new version of file "
       "'<f>'.\n",
       ""},
  };
  for (const Row& row : rows) {
    std::string file = write("s.h", old_text);
    platform::remove_file(file + ".lost");
    settings().set("StripReturns", row.strip);
    set_check_run(row.check);
    clear_output();
    generate("s.h", row.new_text);
    std::string expected = row.messages;
    for (size_t at; (at = expected.find("<f>")) != std::string::npos;) expected.replace(at, 3, file);
    EXPECT_EQ(output(), expected) << row.new_text;
    EXPECT_EQ(read(file + ".lost"), row.lost) << row.new_text;
    EXPECT_EQ(read(file), row.check ? old_text : row.new_text);
  }
}

TEST_P(StagedOutputTest, OldVersionStaysWhenTheLostFileCannotBeWritten) {
  Model model("m");
  set_current_model(&model);
  std::string file = write("s.h", "BEGIN-UID.a\nmine\nEND-UID.a\n");
  ASSERT_TRUE(platform::create_directory(file + ".lost"));
  generate("s.h", "nothing kept\n");
  EXPECT_EQ(read(file), "BEGIN-UID.a\nmine\nEND-UID.a\n");
  EXPECT_EQ(output(), "***ERROR    The uid tagged sections missing from the new version of file '" +
                          file + "'\n            cannot be saved in '" + file +
                          ".lost'.  The file is left unchanged.\n");
}

TEST_P(StagedOutputTest, OnlyChangedLeavesAnEqualFileUntouched) {
  namespace fs = std::filesystem;
  Model model("m");
  set_current_model(&model);
  settings().set("WriteOnlyChanged", "true");
  settings().set("MakeBackupFiles", "true");
  const std::string old_text = "BEGIN-UID.a\nmine\nEND-UID.a\n";
  const auto long_ago = fs::file_time_type::clock::now() - std::chrono::hours(48);
  struct Row {
    const char* new_text;
    bool rewritten;
  } rows[] = {
      {"BEGIN-UID.a\nmine\nEND-UID.a\n", false},
      {"BEGIN-UID.a\nmine\nEND-UID.a\nmore\n", true},
  };
  for (const Row& row : rows) {
    std::string file = write("t.h", old_text);
    platform::remove_file(path("t.bak"));
    fs::last_write_time(file, long_ago);
    output_file().reset_counts();
    generate("t.h", row.new_text);
    EXPECT_EQ(read(file), row.new_text);
    EXPECT_EQ(fs::last_write_time(file) != long_ago, row.rewritten) << row.new_text;
    EXPECT_EQ(platform::is_regular_file(path("t.bak")), row.rewritten) << row.new_text;
    EXPECT_EQ(output_file().file_count(), 1) << "counted either way";
  }
}

// New files that the second thread writes behave as files written at once:
// a name written again in the run shows its first version (here through the
// section that the second version lacks), a file is read back complete
// while it is still being generated, a dropped version leaves no file, and
// a file whose name was taken meanwhile is reported, as a failed write,
// before the next message.
TEST_P(StagedOutputTest, FilesWrittenInTheBackgroundBehaveAsWrittenAtOnce) {
  Model model("m");
  set_current_model(&model);
  write_new_files_in_background();
  struct Off {
    ~Off() { platform::write_in_background(nullptr); }
  } off;

  generate("first.h", "the first file of a directory is made at once\n");
  generate("again.h", "BEGIN-UID.a\nmine\nEND-UID.a\n");
  generate("again.h", "no sections\n");
  EXPECT_EQ(read(path("again.h")), "no sections\n");
  EXPECT_EQ(read(path("again.h.lost")), "BEGIN-UID.a\nmine\nEND-UID.a\n");
  EXPECT_NE(output().find("The uid tagged section 'a' is missing"), std::string::npos) << output();

  output_file().open("copy.h");
  output_file().write("one", true, 0);
  output_file().copy_in("copy.h");
  output_file().close();
  EXPECT_EQ(read(path("copy.h")), "one\none\n");

  {
    StagedFile dropped;
    ASSERT_TRUE(dropped.create(path("dropped.h")));
    dropped.write("dropped");
    dropped.discard();
  }
  {
    StagedFile dropped;
    ASSERT_TRUE(dropped.create(path("dropped_after_close.h")));
    dropped.write("dropped");
    ASSERT_TRUE(dropped.finish());
    dropped.discard();
  }
  EXPECT_FALSE(platform::is_regular_file(path("dropped.h")));
  EXPECT_FALSE(platform::is_regular_file(path("dropped_after_close.h")));

  // Announcing a file does not wait for the thread; any other message does.
  clear_output();
  settings().set("ShowFileNames", "true");
  output_file().open("taken.h");
  output_file().write("ours", true, 0);
  write("taken.h", "theirs");
  output_file().close();
  output_file().open("after.h");
  output_file().close();
  info("next");
  EXPECT_EQ(output(),
            "  *INFO     Creating: " + path("taken.h") + "\n"
            "  *INFO     Creating: " + path("after.h") + "\n"
            "***ERROR    An output error occurred when writing to\n"
            "            file '" + path("taken.h") + "'.  Possible disk full or line-length problem.\n"
            "  *INFO     next\n");
  EXPECT_EQ(read(path("taken.h")), "theirs");
  EXPECT_FALSE(has_temp_file());
}

TEST_P(StagedOutputTest, CheckRunChangesNothingAndSeesItsOwnVersions) {
  Model model("m");
  auto literal = std::make_unique<Literal>("x", "");
  literal->set_characteristic_only("uid", "x");
  model.literals.push_back(std::move(literal));
  set_current_model(&model);
  write("same.txt", "same");
  write("changed.txt", "before");
  write("log.txt", "one\n");
  std::vector<std::string> before = listing();
  set_check_run(true);
  settings().set("MakeBackupFiles", "true");

  generate("same.txt", "same");
  generate("changed.txt", "after");
  generate("new.h", "BEGIN-UID.x\nfrom the run\nEND-UID.x\n");
  generate("new.h", "again\n");  // captures what the run wrote before
  output_file().open_append("log.txt");
  output_file().write("two", true, 0);
  output_file().close();
  output_file().open_append("new.h");
  output_file().write("appended", true, 0);
  output_file().close();
  {
    StagedFile dropped;
    ASSERT_TRUE(dropped.open(path("new.h"), /*append=*/true));
    EXPECT_TRUE(dropped.write("dropped\n"));
    dropped.discard();
  }
  std::string content;
  EXPECT_TRUE(read_current(path("new.h"), content));
  EXPECT_EQ(content, "again\nappended\n");
  EXPECT_TRUE(read_current(path("log.txt"), content));
  EXPECT_EQ(content, "one\ntwo\n");
  ASSERT_TRUE(make_output_dirs(path("sub")));
  settings().set("CGenOutdir", path("sub"));
  generate("in_sub.txt", "x");
  EXPECT_TRUE(skip_shell_command("rm -rf /"));

  EXPECT_EQ(model.literals[0]->text, "from the run");
  EXPECT_EQ(listing(), before);
  clear_output();
  EXPECT_EQ(report_check_run(), 4);
  EXPECT_EQ(output(), "  *INFO     Would change: " + path("changed.txt") +
                          "\n  *INFO     Would create: " + path("new.h") +
                          "\n  *INFO     Would change: " + path("log.txt") +
                          "\n  *INFO     Would create: " + path("sub/in_sub.txt") + "\n");
  set_check_run(false);
  EXPECT_FALSE(skip_shell_command("true"));
}

INSTANTIATE_TEST_SUITE_P(Writes, StagedOutputTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "InTheBackground" : "AtOnce";
                         });

}  // namespace
}  // namespace quill
