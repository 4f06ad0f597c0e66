// The directives run inside real templates: each case loads a small
// template, runs it over a small model with the directive processor
// installed, and compares the generated text and the console messages.
#include "template/directives.h"

#include <memory>
#include <string>

#include "foundation/platform.h"
#include "foundation/settings.h"
#include "model/elements.h"
#include "model/link.h"
#include "model/parser.h"
#include "output/output_file.h"
#include "template/builder.h"
#include "template/generation_run.h"
#include "template/statements.h"
#include "tests/template/model_run_test.h"

namespace quill {
namespace {

constexpr const char* kModel = R"(
object A
  x : int ;
  f(p : int) : int ;
end ;
object B
end ;
)";

class DirectivesTest : public testing::ModelRunTest {
 protected:
  DirectivesTest() : ModelRunTest(kModel) {}
  void SetUp() override {
    ModelRunTest::SetUp();
    reset_directive_warnings();
    install_directive_processor();
  }

  // Runs the template text and returns what it wrote to out.txt; the
  // model's variables are rebuilt afterwards, since directives may change them.
  std::string run(const std::string& body) {
    std::string text = ModelRunTest::run(body);
    model_->rebuild_variables();
    return text;
  }

  struct Case {
    const char* tem;
    const char* expected;  // the generated text
    const char* messages;  // the console output ("" for none)
  };

  // Runs each case from a fresh output, output directory and warning state.
  template <size_t N>
  void check(const Case (&cases)[N]) {
    for (const Case& c : cases) {
      clear_output();
      reset_output_file();
      reset_directive_warnings();
      settings().set("CGenOutdir", dir_);
      EXPECT_EQ(run(c.tem), c.expected) << c.tem;
      EXPECT_EQ(output(), c.messages) << c.tem;
    }
  }

};

TEST_F(DirectivesTest, KeywordsAreRecognisedInOrderAndDecideWhetherTheLineIsWritten) {
  const Case cases[] = {
      {":**ERROR\n", "**ERROR\n", "***ERROR    \n"},
      // A keyword followed directly by more letters still matches.
      {":$$SETVARx 1\n:<x>\n", "1\n", ""},
      {":$$SETVARS v 1\n:<v> <S>\n", "<v> v 1\n", ""},
      {":$$UNKNOWN thing\n:*plain\n", "$$UNKNOWN thing\n*plain\n", ""},
  };
  check(cases);
}

TEST_F(DirectivesTest, SetvarPlainForm) {
  const Case cases[] = {
      {":$$SETVAR n 5\n:$$SETVAR n +3\n:<n>\n", "8\n", ""},
      {":$$SETVAR n 5\n:$$SETVAR n -7x\n:<n>\n", "-2\n", ""},
      {":$$SETVAR m +3\n:<m>\n", "+3\n", ""},
      {":$$SETVAR n 5\n:$$SETVAR n +\n:<n>\n", "+\n", ""},
      {":$$SETVAR n abc\n:$$SETVAR n +2\n:<n>\n", "2\n", ""},
      {":$$SETVAR n  -4\n:$$SETVAR n +1\n:<n>\n", "-3\n", ""},
      {":$$SETVAR n 9223372036854775807\n:$$SETVAR n +99999999999999999999999\n:<n>\n",
       "9223372036854775807\n", ""},
      {":$$SETVAR n -9223372036854775807\n:$$SETVAR n -5\n:<n>\n", "-9223372036854775808\n", ""},
      // In a template, \\" reaches the directive as \".
      {":$$SETVAR s   \"say \\\\\"hi\\\\\"\"  \n:[<s>]\n", "[say \"hi\"]\n", ""},
      {":$$SETVAR e \"\"\n:[<e>]\n", "[]\n", ""},
      {":$$SETVAR lonely\n", "",
       "***ERROR    $$SETVAR directive needs to have a variable value pair: ... lonely\n"},
      {":$$SETVAR nothing   \n", "",
       "***ERROR    $$SETVAR directive needs to have a variable value pair: ... nothing   \n"},
  };
  check(cases);
}

TEST_F(DirectivesTest, ArrayAndKeyedForms) {
  const Case cases[] = {
      {":$$SETVAR l[] += x\n:$$SETVAR l[] += x\n:$$SETVAR l [ ] += \" y \"\n"
       ".each_var_item l\n:<l.value>|\n.end\n",
       "x|\n y |\n", ""},
      {":$$SETVAR l[] += x\n:$$SETVAR l[] -= y\n:$$SETVAR l[] -= x\n.each_var_item l\n:?\n.end\n"
       ":$$SETVAR l[]\n.each_var_item l\n:gone?\n.end\n:end\n",
       "end\n", ""},
      {":$$SETVAR t{k} v\n:$$SETVAR t{ j} \"w\\\\\"\"\n:<t{k}> <t{j}>\n:$$SETVAR t{k}\n:<t{k}>\n"
       ".each_var_item t\n:<t.key>=<t.value>\n.end\n:$$SETVAR t{}\n.each_var_item t\n:?\n.end\n",
       "v w\"\n<t{k}>\nj=w\"\n", ""},
      {":$$SETVAR l[ += x\n", "", "***ERROR    $$SETVAR syntax error (array?): $$SETVAR l[ += x\n"},
      {":$$SETVAR t{\n", "", " **WARNING  Malformed $$SETVAR t{... :$$SETVAR t{\n"},
      {":$$SETVAR t{a b} x\n", "", " **WARNING  Malformed $$SETVAR t{ID... :$$SETVAR t{a b} x\n"},
      {":$$SETVAR t{a-b} x\n", "", " **WARNING  Malformed $$SETVAR t{ID... :$$SETVAR t{a-b} x\n"},
  };
  check(cases);
}

TEST_F(DirectivesTest, TwoArrayWarningsAppearOncePerProcess) {
  run(":$$SETVAR l[] *= x\n:$$SETVAR l[] += \n:$$SETVAR k[] ^\n:$$SETVAR k[] -= \"\"\n");
  EXPECT_EQ(output(),
            " **WARNING  Expecting operator '+=' or '-=' or EOL after $SETVAR l[] ... :$$SETVAR "
            "l[] *= x\n"
            " **WARNING  Value missing after $SETVAR l[] += :$$SETVAR l[] += \n");
  clear_output();
  run(":$$SETVAR l[] *= x\n:$$SETVAR l[] -=\n");
  EXPECT_EQ(output(), "");
}

TEST_F(DirectivesTest, ClearvarRemovesEachForm) {
  const char* tem =
      ":$$SETGVAR v 1\n:$$SETVAR l[] += a\n:$$SETVAR t{k} b\n"
      ":$$CLEARVAR   v  \n:$$CLEARVAR l[]\n:$$CLEARVAR t {}\n:$$CLEARVAR\n:$$CLEARVAR none\n"
      ":<v> <t{k}>\n.each_var_item l\n:?\n.end\n";
  EXPECT_EQ(run(tem), "<v> <t{k}>\n");
  EXPECT_EQ(output(), "");
}

TEST_F(DirectivesTest, EditvarOperations) {
  const struct {
    const char* value;
    const char* edit;
    const char* expected;
  } cases[] = {
      {"abcdef", "substr 2", "cdef"},     {"abcdef", "substr 1 3", "bcd"},
      {"abcdef", "substr 9", ""},          {"abcdef", "substr 4 99", "ef"},
      {"abcdef", "substr 1 x", "abcdef"},  {"abc", "left 10", "abc"},
      {"abcdef", "left 2", "ab"},          {"abcdef", "left x", "abcdef"},
      {"abcdef", "left", "abcdef"},        {"abcdef", "right 2", "ef"},
      {"abcdef", "right 99999999999999999999999", "abcdef"},
      {"abcdef", "left -1", "abcdef"},     {"MiXed", "lowercase", "mixed"},
      {"MiXed", "uppercase", "MIXED"},     {"abc", "reverse", "abc"},
  };
  for (const auto& c : cases) {
    reset_output_file();
    std::string tem = std::string(":$$SETVAR v ") + c.value + "\n:$$EDITVAR v " + c.edit +
                      "\n:$$EDITVAR\n:$$EDITVAR missing left 1\n:[<v>]\n";
    EXPECT_EQ(run(tem), std::string("[") + c.expected + "]\n") << c.value << " " << c.edit;
  }
  EXPECT_EQ(output(), "");
}

TEST_F(DirectivesTest, SearchvarSetsItsFourResults) {
  const struct {
    const char* value;
    const char* pattern;
    const char* expected;  // found pos len rest
  } cases[] = {
      {"xab", "ab", "true 1 2 3"},      {"xab", "^ab", "false 0 0 0"},
      {"abab", "ab^", "true 2 2 4"},    {"abx", "ab^", "false 0 0 0"},
      {"abab", "^ab", "true 0 2 2"},    {"x^", "x\\\\^", "true 0 2 2"},
      {"aaa", "a*", "true 0 3 3"},      {"abc", "", "false 0 0 0"},
      {"abc", "^", "false 0 0 0"},      {"abc", "[", "false 0 0 0"},
  };
  for (const auto& c : cases) {
    reset_output_file();
    std::string tem = std::string(":$$SETVAR v ") + c.value + "\n:$$SEARCHVAR v " + c.pattern +
                      "\n:<search.found> <search.pos> <search.len> <search.rest>\n";
    EXPECT_EQ(run(tem), std::string(c.expected) + "\n") << c.value << " " << c.pattern;
  }
  reset_output_file();
  EXPECT_EQ(run(":$$SEARCHVAR missing a\n:$$SEARCHVAR\n:<search.found>\n"), "<search.found>\n");
}

TEST_F(DirectivesTest, SetcticSetsACharacteristicOfACurrentElement) {
  const Case cases[] = {
      {".each_object <obj.name=A>\n:$$SETCTIC obj color dark red \n:<obj.color>|\n.end\n",
       "dark red |\n", ""},
      {":$$SETCTIC dsm flavour sweet\n:<dsm.flavour>\n", "sweet\n", ""},
      // The model's list is the run's outermost scope: what the template set
      // there stays, and the characteristic's row replaces a variable of its name.
      {":$$SETVAR kept yes\n:$$SETVAR dsm.flavour set\n:$$SETCTIC dsm flavour sweet\n"
       ":<kept> <dsm.flavour>\n",
       "yes sweet\n", ""},
      {":$$SETCTIC obj color red\n", "",
       "***ERROR    $$SETCTIC directive error - objtype not recognized or named scope not "
       "current - $$SETCTIC obj color red\n"},
      {":$$SETCTIC thing color red\n", "",
       "***ERROR    $$SETCTIC directive error - objtype not recognized or named scope not "
       "current - $$SETCTIC thing color red\n"},
      {":$$SETCTIC  obj color\n", "",
       "***ERROR    $$SETCTIC directive error - need: objtype name value - found $$SETCTIC obj "
       "color\n"},
  };
  check(cases);
}

TEST_F(DirectivesTest, ExecmoduleSplitsItsArguments) {
  const char* modules =
      ".module show a:var b:var c:var\n:[<a>] [<b>] [<c>]\n.end\n"
      ".module none\n:none ran\n.end\n";
  const Case cases[] = {
      {":$$SETVAR w word\n:$$EXECMODULE show \"two words\" w \"q\\\\\"x\"\n", "[two words] [word] [q\"x]\n",
       ""},
      {":$$EXECMODULE   none   \n", "none ran\n", ""},
      {":$$EXECMODULE show \"open ended\n", "",
       "***ERROR    Call to module show with wrong number of parameters. Actual 1, Formal 3\n"},
      {":$$EXECMODULE \"x\"\n", "$$EXECMODULE encountered with no module name.\n",
       "***ERROR    $$EXECMODULE encountered with no module name.\n"},
  };
  for (const Case& c : cases) {
    clear_output();
    reset_output_file();
    EXPECT_EQ(run(std::string(c.tem) + modules), c.expected) << c.tem;
    EXPECT_EQ(output(), c.messages) << c.tem;
  }
}

// Changes the working directory for the life of the object.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string& dir) : saved_(platform::current_directory()) {
    platform::change_directory(dir);
  }
  ~WorkingDirectory() { platform::change_directory(saved_); }

 private:
  std::string saved_;
};

TEST_F(DirectivesTest, ExistenceTestsUseTheWorkingDirectory) {
  write("work/here.txt", "x");
  write("gen/there.txt", "x");
  settings().set("CGenOutdir", dir_ + "/gen");
  WorkingDirectory cwd(dir_ + "/work");
  std::string out = run(
      ":$$FILEEXISTS here.txt\n:<file.exists>\n:$$FILEEXISTS there.txt\n:<file.exists>\n"
      ":$$FILEEXISTS  ..\\\\gen\\\\there.txt\n:<file.exists>\n:$$FILEEXISTS ..\n:<file.exists>\n"
      ":$$DIREXISTS   ..\\\\gen\n:<dir.exists>\n:$$DIREXISTS here.txt\n:<dir.exists>\n");
  EXPECT_EQ(read(dir_ + "/gen/out.txt"), "true\nfalse\ntrue\nfalse\ntrue\nfalse\n");
  (void)out;
}

TEST_F(DirectivesTest, IncludeCopiesTheFileItTested) {
  write("work/inc.txt", "from work\r\nline 2\n");
  write("gen/inc.txt", "from gen\n");
  settings().set("CGenOutdir", dir_ + "/gen");
  WorkingDirectory cwd(dir_ + "/work");
  run(":$$INCLUDE inc.txt\n:$$INCLUDE  " + dir_ + "/gen/inc.txt\n:$$INCLUDE nowhere.txt\n");
  EXPECT_EQ(read(dir_ + "/gen/out.txt"), "from work\nline 2\nfrom gen\n");
  EXPECT_EQ(output(), "***ERROR    The file 'nowhere.txt' was not included (couldn't be opened)\n");
}

TEST_F(DirectivesTest, SetdirAndNewdirChangeTheOutputDirectory) {
  write("sub/keep", "");
  write("afile", "");
  const Case cases[] = {
      {":$$SETDIR sub\n:$$NEWFILE in_sub.txt\n", "", ""},
      {":$$NEWDIR  made\\\\deep\n:$$NEWFILE in_deep.txt\n:<dsm.outdir>\n", "", ""},
      {":$$NEWDIR afile/x\n", "",
       "***ERROR    $$NEWDIR directive translated 'afile/x' to '<dir>/afile/x' (which\n"
       "            seems like a valid name), but errors occurred during the create "
       "operation.\n"},
  };
  for (const Case& c : cases) {
    clear_output();
    reset_output_file();
    settings().set("CGenOutdir", dir_);
    EXPECT_EQ(run(c.tem), c.expected) << c.tem;
    std::string messages = c.messages;
    for (size_t at; (at = messages.find("<dir>")) != std::string::npos;) messages.replace(at, 5, dir_);
    EXPECT_EQ(output(), messages) << c.tem;
  }
  EXPECT_TRUE(platform::is_regular_file(dir_ + "/sub/in_sub.txt"));
  EXPECT_EQ(read(dir_ + "/made/deep/in_deep.txt"), dir_ + "/made/deep\n");
}

TEST_F(DirectivesTest, RelativeDirectoriesWithoutAnOutputDirectoryStayInTheWorkingDirectory) {
  WorkingDirectory cwd(dir_);
  settings().set("CGenOutdir", "");
  GenerationRun run;
  std::string line = "$$NEWDIR rel";
  process_directive(run, line);
  EXPECT_TRUE(platform::is_directory(dir_ + "/rel"));
  EXPECT_EQ(settings().get("CGenOutdir"), "rel");
  settings().set("CGenOutdir", "");
  line = "$$SETDIR rel";
  process_directive(run, line);
  EXPECT_EQ(settings().get("CGenOutdir"), "rel");
  EXPECT_EQ(output(), "");
}

// An empty section name would make the target's first two lines the markers.
TEST_F(DirectivesTest, InsertfileWithoutASectionNameLeavesTheTargetAlone) {
  write("target.txt", "a\nb\nc\n");
  write("piece.txt", "new\n");
  EXPECT_EQ(run(":$$INSERTFILE target.txt piece.txt\n:<file.insert_ok>\n"), "false\n");
  EXPECT_EQ(read(dir_ + "/target.txt"), "a\nb\nc\n");
  EXPECT_EQ(output(),
            "***ERROR    $$INSERTFILE directive failed - file: 'target.txt'  file-to-insert: "
            "'piece.txt'  section-name: '%s'\n");
}

TEST_F(DirectivesTest, ShellcmdReportsACommandThatCannotStart) {
  EXPECT_EQ(run(":$$SHELLCMD no_such_command_here 2>/dev/null\n:$$SHELLCMD true\n"), "");
  EXPECT_EQ(output(),
            "***ERROR    $$SHELLCMD could not start the command: no_such_command_here 2>/dev/null\n");
}

// Odd argument texts are reported or ignored; generation always goes on.
TEST_F(DirectivesTest, NoArgumentTextStopsTheRun) {
  const char* keywords[] = {"**ERROR", "**WARNING", "$$SYMDUMP", "$$SETVAR", "$$SETCTIC",
                            "$$SETGVAR", "$$CLEARVAR", "$$EDITVAR", "$$SEARCHVAR", "$$INCLUDE",
                            "$$EXECMODULE", "$$FILEEXISTS", "$$DIREXISTS", "$$NEWFILE",
                            "$$NEWDIR", "$$SETDIR", "$$APPENDFILE", "$$INSERTFILE"};
  const char* args[] = {"", " ", "{", "[", "]", "}", "\"", " \"\\\"", "x{", "x[", "x{k", "x{}",
                        "x[] +=", "x[] -=", "x +", "x -99999999999999999999999999",
                        "x substr 99999999999999999999 99999999999999999999", "x left",
                        "x ^", "x ^^", "x \\\\^", "x (", "x [a-", "%s %s", "\t\v\f"};
  std::string tem = ":$$SETVAR x 12345\n";
  for (const char* keyword : keywords) {
    for (const char* arg : args) tem += std::string(":") + keyword + arg + "\n";
  }
  tem += ":done\n";
  std::string out = run(tem);
  EXPECT_EQ(out.substr(out.size() - 5), "done\n");
}

}  // namespace
}  // namespace quill
