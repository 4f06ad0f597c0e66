#include "output/output_file.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <cstdio>
#include "foundation/platform.h"
#include "foundation/settings.h"
#include "model/elements.h"
#include "output/backup.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

constexpr const char* kDefaultMap = "h bkh hxx bkh cpp bkc cxx bkc c bkc";

// Writes each message's bare text to standard error, for death tests.
class StderrSink : public MessageSink {
 public:
  void message(Severity, std::string_view text) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
  }
};

class OutputFileTest : public testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    reset_output_file();
    settings().set("CGenOutdir", dir_);
  }
  void TearDown() override {
    reset_output_file();
    set_current_model(nullptr);
    EngineTest::TearDown();
  }
  std::string path(const std::string& name) { return dir_ + "/" + name; }
  // Opens name, writes the lines (each with a line end) and closes.
  void generate(const std::string& name, std::initializer_list<std::string_view> lines) {
    output_file().open(name);
    for (std::string_view line : lines) output_file().write(line, true, 0);
    output_file().close();
  }

  // Every message received, as "<severity>: <text>" lines.
  std::string messages() {
    static const char* const kNames[] = {"plain", "error", "warning", "info", "bare"};
    std::string all;
    for (const auto& e : sink_->entries)
      all += std::string(e.kind == "file_created" ? "created" : kNames[e.severity]) + ": " + e.text + "\n";
    return all;
  }

  OutputFile& out_ = output_file();
};

TEST_F(OutputFileTest, JoinOutdirOnlyForNamesWithoutSeparator) {
  struct Row {
    const char* outdir;
    const char* name;
    const char* expected;
  } rows[] = {
      {"gen", "a.h", "gen/a.h"},      {"gen/", "a.h", "gen/a.h"},
      {"gen\\", "a.h", "gen\\a.h"},   {"", "a.h", "a.h"},
      {"gen", "sub\\a.h", "sub\\a.h"}, {"gen", "/abs/a.h", "/abs/a.h"},
  };
  for (const Row& row : rows) {
    settings().set("CGenOutdir", row.outdir);
    EXPECT_EQ(join_outdir(row.name), row.expected) << row.outdir << " + " << row.name;
  }
}

TEST_F(OutputFileTest, BackupPathFollowsTheExtensionMap) {
  struct Row {
    const char* path;
    const char* map;
    const char* expected;
  } rows[] = {
      {"gen/alarm.cpp", kDefaultMap, "gen/alarm.bkc"},
      {"gen\\notes.txt", kDefaultMap, "gen\\notes.bak"},
      {"tbl.h", kDefaultMap, "tbl.bkh"},  // no directory: beside the file
      {"/out/x.tar.gz", kDefaultMap, "/out/x.bak"},
      {"/out/Makefile", kDefaultMap, "/out/Makefile.bak"},
      {"C:a.h", kDefaultMap, "C:a.bkh"},
      {"a.h", "", "a.bak"},
      {"a.h", "c bkc h", "a.bak"},  // an unpaired word is no pair
  };
  for (const Row& row : rows) EXPECT_EQ(backup_path(row.path, row.map), row.expected) << row.path;
}

TEST_F(OutputFileTest, WriteCountsLinesAndColumnsAndEndsLinesAsSet) {
  struct Row {
    const char* strip;
    const char* trace;
    const char* expected;
  } rows[] = {
      {"false", "false", "a\r\nb\r\nx\nyz"},
      {"true", "false", "a\nb\nx\nyz"},
      {"true", "true", " ( 12 ) a\nb\nx\nyz"},
  };
  for (const Row& row : rows) {
    settings().set("StripReturns", row.strip);
    settings().set("TraceTemLines", row.trace);
    out_.reset_counts();
    out_.open("t.txt");
    EXPECT_EQ(out_.column(), 1);
    out_.write("a", true, 12);
    out_.write("b", true, 0);
    out_.write("x\ny", false, 0);
    EXPECT_EQ(out_.column(), 2) << row.strip << row.trace;
    out_.write("z", false, 0);
    EXPECT_EQ(out_.column(), 3);
    EXPECT_EQ(out_.line_count(), 3);
    EXPECT_EQ(out_.file_count(), 1);
    out_.close();
    EXPECT_EQ(out_.column(), 1);
    EXPECT_EQ(read(path("t.txt")), row.expected) << row.strip << row.trace;
  }
}

TEST_F(OutputFileTest, SameFileTwiceIsOpenedAndCountedOnce) {
  settings().set("ShowFileNames", "true");
  out_.open("a.txt");
  out_.write("one", true, 0);
  out_.open("a.txt");
  out_.write("two", true, 0);
  out_.close();
  EXPECT_EQ(read(path("a.txt")), "one\r\ntwo\r\n");
  EXPECT_EQ(out_.file_count(), 1);
  EXPECT_EQ(messages(), "created: " + path("a.txt") + "\n");
}

TEST_F(OutputFileTest, TextBeforeAnyFileGoesToTheFallbackFile) {
  out_.write("early", true, 0);
  out_.close();
  EXPECT_EQ(read(path("noname.xxx")), "early\r\n");
}

TEST_F(OutputFileTest, UnopenableFileFallsBackToTheWorkingDirectory) {
  std::string cwd = platform::current_directory();
  ASSERT_TRUE(platform::change_directory(dir_));
  settings().set("CGenOutdir", dir_ + "/missing");
  out_.open("a.txt");
  out_.write("x", true, 0);
  out_.close();
  platform::change_directory(cwd);
  EXPECT_EQ(messages(), "warning: The file '" + dir_ +
                          "/missing/a.txt' cannot be opened for output.\nUsing 'noname.xxx' instead.\n");
  EXPECT_EQ(settings().get("CGenOutdir"), ".");
  EXPECT_EQ(read(path("noname.xxx")), "x\r\n");
}

TEST_F(OutputFileTest, FaultySectionsEndTheProcessAndLeaveTheOldFile) {
  struct Row {
    const char* old_text;
    const char* message;
  } rows[] = {
      {"//BEGIN-UID.a\nx\n//END-UID.b\n",
       "Inconsistent end-tag on the uid tagged section 'a' within file '%s'."},
      {"//BEGIN-UID.a\nx\n", "The end of the uid tagged section 'a' within file '%s' was not found."},
      {"BEGIN-UID.a\nEND-UID.a\nBEGIN-UID.a\nEND-UID.a\n", "The uid 'a' is not unique in the file '%s'."},
  };
  for (const Row& row : rows) {
    std::string file = write("old.c", row.old_text);
    // Used as a pattern: the path and the messages hold no pattern operators but '.'.
    std::string expected = format_message(row.message, {file}) + "\nThe file '" + file +
                           "' cannot be safely overwritten.  Exiting ...";
    EXPECT_EXIT(
        {
          install_sink(std::make_unique<StderrSink>());
          output_file().open("old.c");
        },
        ::testing::ExitedWithCode(2), expected)
        << row.old_text;
    EXPECT_EQ(read(file), row.old_text);
  }
}

TEST_F(OutputFileTest, SectionsGoToTheModelAndTheOldFileIsBackedUp) {
  Model model("m");
  auto literal = std::make_unique<Literal>("hdr", "default");
  literal->set_characteristic_only("uid", "h1");
  model.literals.push_back(std::move(literal));
  set_current_model(&model);
  settings().set("MakeBackupFiles", "true");
  settings().set("BackupFileMap", kDefaultMap);
  std::string old_text =
      "// BEGIN-UID.h1\nkept line   \n\tsecond\n// END-UID. h1\n"
      "// BEGIN-UID.empty\n// END-UID.empty\n";
  write("tbl.h", old_text);

  generate("tbl.h", {"new"});
  EXPECT_EQ(read(path("tbl.h")), "new\r\n");
  EXPECT_EQ(read(path("tbl.bkh")), old_text);
  ASSERT_EQ(model.literals.size(), 2u);
  EXPECT_EQ(model.literals[0]->text, "kept line\r\n\tsecond");
  EXPECT_EQ(*model.literals[0]->characteristic("is_captured"), "true");
  EXPECT_EQ(model.literals[1]->name, "empty") << "an empty section becomes an orphan";
  EXPECT_EQ(*model.literals[1]->characteristic("is_orphan"), "true");
  EXPECT_EQ(messages().find("error"), std::string::npos) << messages();
}

TEST_F(OutputFileTest, OldFileWithoutSectionsGetsNoBackup) {
  Model model("m");
  set_current_model(&model);
  settings().set("MakeBackupFiles", "true");
  write("plain.h", "old\n");
  generate("plain.h", {"new"});
  EXPECT_EQ(read(path("plain.h")), "new\r\n");
  EXPECT_FALSE(platform::is_regular_file(path("plain.bak")));
  EXPECT_FALSE(platform::is_regular_file(path("plain.bkh")));
}

TEST_F(OutputFileTest, AppendingAddsToTheFileWithoutCounting) {
  generate("log.txt", {"first"});
  out_.open_append("log.txt");  // the same name again, after close
  out_.write("second", true, 0);
  out_.close();
  EXPECT_EQ(read(path("log.txt")), "first\r\nsecond\r\n");
  EXPECT_EQ(out_.file_count(), 1);
}

TEST_F(OutputFileTest, CopyInWritesEveryLineWithALineEnd) {
  write("inc.txt", "one\r\ntwo");
  out_.open("out.txt");
  out_.copy_in("inc.txt");
  out_.close();
  EXPECT_EQ(read(path("out.txt")), "one\r\ntwo\r\n");
  EXPECT_EQ(out_.line_count(), 2);
}

TEST_F(OutputFileTest, InsertBetweenReplacesTheTextBetweenMarkers) {
  struct Row {
    const char* target;
    const char* source;
    bool ok;
    const char* expected;
  } rows[] = {
      {"a\n//X start\nold\n//X end\nz\n", "new1\nnew2\n", true,
       "a\n//X start\nnew1\nnew2\n//X end\nz\n"},
      {"//X\r\nold\r\n//X\r\n", "last", true, "//X\r\nlast\r\n//X\r\n"},
      {"a\n//X only\nb\n", "new\n", false, "a\n//X only\nb\n"},
      {"a\nb\n", "new\n", false, "a\nb\n"},
  };
  for (const Row& row : rows) {
    write("target.txt", row.target);
    write("source.txt", row.source);
    bool ok = true;
    out_.insert_between("target.txt", "source.txt", "//X", ok);
    EXPECT_EQ(ok, row.ok) << row.target;
    EXPECT_EQ(read(path("target.txt")), row.expected) << row.target;
  }
  bool ok = true;
  out_.insert_between("target.txt", "absent.txt", "//X", ok);
  EXPECT_FALSE(ok);
}

// Text written after an insertion goes on in the current file. That may be
// the target itself, which the insertion replaces: the text then goes onto
// the new content, not the old one.
TEST_F(OutputFileTest, InsertBetweenKeepsWritingToTheCurrentFile) {
  write("target.txt", "//X\nold\n//X\n");
  write("source.txt", "new\n");
  write("second.txt", "newer\n");
  out_.open("cur.txt");
  out_.write("before", true, 0);
  bool ok = true;
  out_.insert_between("target.txt", "source.txt", "//X", ok);
  out_.write("after", true, 0);
  out_.close();
  EXPECT_TRUE(ok);
  EXPECT_EQ(read(path("cur.txt")), "before\r\nafter\r\n");

  out_.open_append("target.txt");
  out_.write("one", true, 0);
  out_.insert_between("target.txt", "source.txt", "//X", ok);
  out_.write("two", true, 0);
  out_.insert_between("target.txt", "second.txt", "//X", ok);
  out_.write("three", true, 0);
  out_.close();
  EXPECT_TRUE(ok);
  EXPECT_EQ(read(path("target.txt")), "//X\nnewer\n//X\none\r\ntwo\r\nthree\r\n");
}

TEST_F(OutputFileTest, FailedWriteIsReportedAndDropsOutputUntilClosed) {
  out_.open("/dev/full");
  if (!out_.is_open()) GTEST_SKIP() << "no /dev/full";
  out_.write("x", true, 0);
  out_.flush();
  EXPECT_TRUE(out_.output_disabled());
  EXPECT_EQ(messages(), "error: An output error occurred when writing to\nfile '/dev/full'.  "
                      "Possible disk full or line-length problem.\n");
  out_.close();
  EXPECT_FALSE(out_.output_disabled());
}

}  // namespace
}  // namespace quill
