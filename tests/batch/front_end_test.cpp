#include "batch/front_end.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "foundation/commands.h"
#include "foundation/platform.h"
#include "foundation/settings.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

const char* const kRecorded[] = {
    "ModelName",      "CGenTemplate",    "CGenOutdir",     "ShowFileNames", "ShowGenSummary",
    "NoAdaKeywords",  "NoCxxKeywords",   "StripReturns",   "TraceTemLines", "MakeBackupFiles",
    "BackupFileMap",  "LanguageTarget",  "DsmSearchPath",  "TemSearchPath", "setvar1",
    "setvar2",        "setvar3",
};

// What the engine saw: the settings at compile time and the commands run.
std::map<std::string, std::string> g_seen;
std::vector<std::string> g_commands;
std::string g_status;  // the CompileStatus the fake compile leaves

void record_compile() {
  g_commands.push_back("CompileObjDefs");
  for (const char* name : kRecorded) g_seen[name] = settings().get(name);
  settings().set("CompileStatus", g_status);
  settings().set("BadFile", "m.dsm");
  settings().set("BadTokenLine", "7");
}

void record_generate() { g_commands.push_back("GenerateCode"); }

const std::string kUsageStart = "  *INFO     Command line:\n";

class FrontEndTest : public testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    previous_dir_ = platform::current_directory();
    platform::change_directory(dir_);
    g_seen.clear();
    g_commands.clear();
    g_status = "ok";
    bind_command("CompileObjDefs", record_compile);
    bind_command("GenerateCode", record_generate);
  }
  void TearDown() override {
    bind_command("CompileObjDefs", nullptr);
    bind_command("GenerateCode", nullptr);
    platform::change_directory(previous_dir_);
    EngineTest::TearDown();
  }

  // Lines of the captured output that report errors.
  int error_count() const {
    int count = 0;
    for (size_t pos = 0; (pos = output().find("***ERROR", pos)) != std::string::npos; ++pos)
      ++count;
    return count;
  }

  std::string previous_dir_;
};

TEST_F(FrontEndTest, VersionAndHelpWinOverEverything) {
  EXPECT_EQ(run_batch({"m.dsm", "/help", "/ver", "x.qpj"}), kExitOk);
  EXPECT_EQ(output(), "  *INFO     QUILLB 1.0.001\n");
  clear_output();
  EXPECT_EQ(run_batch({"--help", "nothing"}), kExitOk);
  EXPECT_EQ(output().find(kUsageStart), 0u);
  EXPECT_TRUE(g_commands.empty());
}

TEST_F(FrontEndTest, CommandLineErrorsPrintUsageAndFail) {
  struct Row {
    std::vector<std::string> args;
    std::string message;
  } rows[] = {
      {{},
       "The first arg is required, and must be a .dsm or .qpj file (object model or project).\n"
       "            "},
      {{"model.txt", "t.tem"},
       "First arg (model.txt) must be an object model (.dsm file) or a project (.qpj file).\n"
       "            "},
      {{"m.dsm"},
       "When the 1st arg is an object model (.dsm file), the 2nd arg must be a template (.tem "
       "file).\n            "},
      {{"m.dsm", "t.txt"},
       "When the 1st arg is a object model (.dsm file), the 2nd arg (t.txt) must be a template "
       "(.tem) file.\n            "},
      {{"p.qpj", "t.tem"},
       "When the 1st arg is a .qpj file (project), there is no 2nd arg.\n            "},
      {{"m.dsm.qpj", "t.tem"},
       "When the 1st arg is a .qpj file (project), there is no 2nd arg.\n            "},
  };
  for (const Row& row : rows) {
    clear_output();
    std::string args;
    for (const std::string& a : row.args) args += "[" + a + "]";
    EXPECT_EQ(run_batch(row.args), kExitFailure) << args;
    std::string error_line = "***ERROR    " + row.message + "\n";
    EXPECT_EQ(output().substr(0, error_line.size()), error_line) << args;
    EXPECT_EQ(output().find(kUsageStart), error_line.size()) << args;
  }
  EXPECT_TRUE(g_commands.empty());
}

TEST_F(FrontEndTest, ModelRoadFillsSettingsFromDefaults) {
  write("T.TEM", "");
  EXPECT_EQ(run_batch({"MODEL.DSM", "T.TEM"}), kExitOk);
  EXPECT_EQ(error_count(), 11) << output();  // every quill.ini lookup fails to open it
  std::map<std::string, std::string> expected = {
      {"ModelName", "MODEL.DSM"},
      {"CGenTemplate", platform::absolute_path(dir_ + "/T.TEM")},
      {"CGenOutdir", "."},
      {"ShowFileNames", "true"},
      {"ShowGenSummary", "true"},
      {"NoAdaKeywords", "true"},
      {"NoCxxKeywords", "true"},
      {"StripReturns", "false"},
      {"TraceTemLines", "false"},
      {"MakeBackupFiles", "true"},
      {"BackupFileMap", "h bkh hxx bkh cpp bkc cxx bkc c bkc"},
      {"LanguageTarget", "c++"},
      {"DsmSearchPath", ""},
      {"TemSearchPath", ""},
      {"setvar1", ""},
      {"setvar2", ""},
      {"setvar3", ""},
  };
  EXPECT_EQ(g_seen, expected);
  EXPECT_EQ(g_commands, (std::vector<std::string>{"CompileObjDefs", "GenerateCode"}));
}

TEST_F(FrontEndTest, OptionsOverrideQuillIniWhichOverridesDefaults) {
  write("quill.ini",
        "[Other]\nStripReturns=other\n"
        "[LastCodegenSettings] written by the workbench\n"
        "StripReturns=true\nShowFileNames=\nMakeBackupFiles=false\n"
        "LanguageTarget=ada\nDsmSearchPath=ini;dirs\nTemSearchPath=tems\n");
  std::string model = write("a.dsm.bak", "");
  EXPECT_EQ(run_batch({"/setvar", "who me", "a.dsm.bak", "/lang", "c++", "/lang", "ada", "t.tem",
                       "gen", "/tempath", "mine", "/setvar", "when now", "/nokwada", "false",
                       "/ttrace"}),
            kExitOk);
  EXPECT_EQ(error_count(), 0) << output();
  std::map<std::string, std::string> expected = {
      {"ModelName", platform::absolute_path(model)},
      {"CGenTemplate", "t.tem"},
      {"CGenOutdir", "gen"},
      {"ShowFileNames", ""},
      {"ShowGenSummary", "true"},
      {"NoAdaKeywords", "false"},
      {"NoCxxKeywords", "true"},
      {"StripReturns", "true"},
      {"TraceTemLines", "true"},
      {"MakeBackupFiles", "false"},
      {"BackupFileMap", "h bkh hxx bkh cpp bkc cxx bkc c bkc"},
      {"LanguageTarget", "c++"},
      {"DsmSearchPath", "ini;dirs"},
      {"TemSearchPath", "mine"},
      {"setvar1", "who me"},
      {"setvar2", "when now"},
      {"setvar3", ""},
  };
  EXPECT_EQ(g_seen, expected);
}

TEST_F(FrontEndTest, SearchPathOptionsSkipTheMissingQuillIni) {
  EXPECT_EQ(run_batch({"m.dsm", "t.tem", "/dsmpath", "d", "/tempath", "t", "/lang"}), kExitOk);
  EXPECT_EQ(error_count(), 9) << output();
  EXPECT_EQ(g_seen["DsmSearchPath"], "d");
  EXPECT_EQ(g_seen["TemSearchPath"], "t");
  EXPECT_EQ(g_seen["LanguageTarget"], "true");
}

TEST_F(FrontEndTest, CompileVerdictDecidesGenerationAndExitCode) {
  write("quill.ini", "");
  struct Row {
    const char* status;
    int exit_code;
    const char* commands;
    std::string output;
  } rows[] = {
      {"ok", kExitOk, "CompileObjDefs GenerateCode ", ""},
      {"semantic-error", kExitOk, "CompileObjDefs ", ""},
      {"file-error", kExitOk, "CompileObjDefs ", ""},
      {"syntax-error", kExitFailure, "CompileObjDefs ",
       "***ERROR    Syntax error in model m.dsm (line 7)\n"},
  };
  for (const Row& row : rows) {
    g_status = row.status;
    g_commands.clear();
    clear_output();
    EXPECT_EQ(run_batch({"m.dsm", "t.tem"}), row.exit_code) << row.status;
    std::string commands;
    for (const std::string& c : g_commands) commands += c + " ";
    EXPECT_EQ(commands, row.commands) << row.status;
    EXPECT_EQ(output(), row.output) << row.status;
  }
}

TEST_F(FrontEndTest, ProjectFileMustBeAWholeVersionOneProject) {
  write("two.QPJ", "dbVersion=2 \r\n");
  write("empty.qpj", "");
  write("cut.qpj", "dbVersion=1 \r\nnameLength=3 \r\n");
  struct Row {
    const char* file;
    const char* expected;
  } rows[] = {
      {"two.QPJ", "***ERROR    Unexpected Project File Version ID ... Exiting...\n"},
      {"empty.qpj", "***ERROR    Unexpected Project File Version ID ... Exiting...\n"},
      {"cut.qpj",
       "***ERROR    Project file 'cut.qpj' ends before the whole project is read ... Exiting...\n"},
      {"missing.qpj", "***ERROR    Can't open project file 'missing.qpj' ... Exiting...\n"},
  };
  for (const Row& row : rows) {
    clear_output();
    EXPECT_EQ(run_batch({row.file}), kExitFailure) << row.file;
    EXPECT_EQ(output(), row.expected) << row.file;
  }
  EXPECT_TRUE(g_commands.empty());
}

TEST_F(FrontEndTest, IniDirectoryFallsBackInOrder) {
  struct Row {
    const char* quilldir;
    const char* systemroot;
    const char* xdg;
    const char* expected;
  } rows[] = {
      {"/q", "/s", "/x", "/q"},
      {"", "/s", "/x", "/s"},
      {"", "", "/x", "/x/quillwork"},
  };
  const char* const names[] = {"QUILLDIR", "SystemRoot", "winbootdir", "XDG_CONFIG_HOME"};
  std::string saved[4];
  for (int i = 0; i < 4; ++i) saved[i] = platform::get_env(names[i]);
  for (const Row& row : rows) {
    platform::set_env("QUILLDIR", row.quilldir);
    platform::set_env("SystemRoot", row.systemroot);
    platform::set_env("winbootdir", "");
    platform::set_env("XDG_CONFIG_HOME", row.xdg);
    EXPECT_EQ(ini_directory(), row.expected) << row.quilldir << "|" << row.systemroot;
  }
  for (int i = 0; i < 4; ++i) platform::set_env(names[i], saved[i]);
}

}  // namespace
}  // namespace quill
