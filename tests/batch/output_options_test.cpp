#include "batch/output_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/front_end.h"
#include "foundation/commands.h"
#include "foundation/platform.h"
#include "foundation/settings.h"
#include "output/file_record.h"
#include "output/output_file.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

// What the fake engine saw and does: the compile leaves g_status, the
// generation writes g_text to out.txt in the output directory.
std::string g_status;
std::string g_text;
std::string g_only_changed;

void fake_compile() {
  g_only_changed = settings().get("WriteOnlyChanged");
  settings().set("CompileStatus", g_status);
}

void fake_generate() {
  output_file().open("out.txt");
  output_file().write(g_text, false, 0);
  output_file().close();
}

class OutputOptionsTest : public testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    reset_output_file();
    previous_dir_ = platform::current_directory();
    platform::change_directory(dir_);
    write("quill.ini", "");
    write("m.dsm", "");
    write("t.tem", "");
    platform::create_directory(dir_ + "/gen");
    g_status = "ok";
    g_text = "generated";
    bind_command("CompileObjDefs", fake_compile);
    bind_command("GenerateCode", fake_generate);
  }
  void TearDown() override {
    bind_command("CompileObjDefs", nullptr);
    bind_command("GenerateCode", nullptr);
    platform::change_directory(previous_dir_);
    reset_output_file();
    EngineTest::TearDown();
  }
  int run(std::vector<std::string> extra) {
    std::vector<std::string> args = {"m.dsm", "t.tem", "gen"};
    args.insert(args.end(), extra.begin(), extra.end());
    clear_output();
    return run_batch(args);
  }
  std::string previous_dir_;
};

TEST_F(OutputOptionsTest, CheckChangesNothingAndTellsWhetherAnythingWould) {
  struct Row {
    const char* on_disk;  // nullptr: no file
    const char* status;
    int exit_code;
    const char* output;
  } rows[] = {
      {nullptr, "ok", 1, "  *INFO     Would create: gen/out.txt\n"},
      {"old", "ok", 1, "  *INFO     Would change: gen/out.txt\n"},
      {"generated", "ok", 0, ""},
      {"generated", "semantic-error", kExitFailure, ""},
  };
  for (const Row& row : rows) {
    platform::remove_file(dir_ + "/gen/out.txt");
    if (row.on_disk) write("gen/out.txt", row.on_disk);
    g_status = row.status;
    EXPECT_EQ(run({"/showfiles", "/showsummary", "false", "--check"}), row.exit_code) << row.status;
    EXPECT_EQ(output(), row.output) << row.status;
    EXPECT_EQ(read(dir_ + "/gen/out.txt"), row.on_disk ? row.on_disk : "");
  }
}

TEST_F(OutputOptionsTest, DependencyFileNamesWhatTheRunWroteAndRead) {
  EXPECT_EQ(run({"/depfile", "deps.d"}), kExitOk);
  EXPECT_EQ(read(dir_ + "/deps.d"), "gen/out.txt: \\\n  m.dsm \\\n  t.tem\n");
  EXPECT_EQ(run({"/depfile", "--check"}), kExitFailure);
  EXPECT_EQ(output().substr(0, 51), "***ERROR    The option /depfile needs a file name.\n");
  EXPECT_EQ(run({"/depfile", "no/such/dir/deps.d"}), kExitFailure);
}

// Without a dependency file a run keeps no list of the files it touched.
TEST_F(OutputOptionsTest, FilesAreNotedOnlyForADependencyFile) {
  struct Row {
    std::vector<std::string> options;
    size_t written, read;
  } rows[] = {
      {{}, 0, 0},
      {{"/depfile", "deps.d"}, 1, 2},
      {{"--check"}, 0, 0},
      {{"/depfile", "deps.d", "--check"}, 1, 2},
  };
  for (const Row& row : rows) {
    std::string where = row.options.empty() ? "(none)" : row.options[0] + " " + row.options.back();
    run(row.options);
    EXPECT_EQ(files_written().size(), row.written) << where;
    EXPECT_EQ(files_read().size(), row.read) << where;
  }
}

TEST_F(OutputOptionsTest, OnlyChangedComesFromTheOptionElseQuillIni) {
  struct Row {
    const char* ini;
    std::vector<std::string> options;
    const char* expected;
  } rows[] = {
      {"", {}, "false"},
      {"[LastCodegenSettings]\nWriteOnlyChanged=true\n", {}, "true"},
      {"[LastCodegenSettings]\nWriteOnlyChanged=true\n", {"/onlychanged", "false"}, "false"},
      {"", {"/onlychanged"}, "true"},
  };
  for (const Row& row : rows) {
    write("quill.ini", row.ini);
    EXPECT_EQ(run(row.options), kExitOk) << row.ini;
    EXPECT_EQ(g_only_changed, row.expected) << row.ini << row.options.size();
  }
}

}  // namespace
}  // namespace quill
