// Running loaded templates over a parsed model: iterators and their position
// variables, filters and separators, .select, modules and the run start.
#include <functional>
#include <memory>
#include <string>

#include "foundation/settings.h"
#include "model/builtin_types.h"
#include "model/elements.h"
#include "model/link.h"
#include "model/parser.h"
#include "output/output_file.h"
#include "template/builder.h"
#include "template/generation_run.h"
#include "template/modules.h"
#include "template/statements.h"
#include "tests/template/model_run_test.h"

namespace quill {
namespace {

constexpr const char* kModel = R"(
object A
  x : int ;
  y : B ;
  f(p : int, q : B) : int ;
  state S
    action : act {{ go(); }} ;
    e => S ;
  end ;
  state T
  end ;
end [ k = "1" ] ;
object B
  z : int ;
end ;
top() ;
)";

class ExecutionTest : public testing::ModelRunTest {
 protected:
  ExecutionTest() : ModelRunTest(kModel) {}

  // Loads and runs the template text through run_template.
  std::string run_whole(const std::string& body) {
    settings().set("CGenTemplate", write("t.tem", ".file out.txt\n" + body));
    Template loaded = load_template(settings().get("CGenTemplate"));
    if (!loaded.root) return "<load failed>";
    run_template(loaded, *model_);
    return read(dir_ + "/out.txt");
  }
};

struct Case {
  const char* name;
  const char* tem;
  const char* expected;
};

TEST_F(ExecutionTest, IteratorsPositionsFiltersAndSeparators) {
  const Case cases[] = {
      {"empty list runs neither children nor separator",
       ".each_process\n.separator\n:SEP\n.end\n:<proc.name>\n.end\n", ""},
      {"separator only between passing elements, in the following element's scope",
       ".each_object\n.separator\n:-<obj.name>\n.end\n:<obj.name>\n.end\n", "A\n-B\nB\n"},
      {"first and last refer to the whole list; l_pos counts rejected elements",
       ".each_object <obj.name=A>\n.each_attribute <attr.name=y>\n.separator\n:,\n.end\n"
       ":<attr.name> <attr.is_1st> <attr.is_nth> <attr.is_only> <attr.l_pos>\n.end\n.end\n",
       "y false true false 1\n"},
      {"single element list",
       ".each_object <obj.name=B>\n.each_attribute\n"
       ":<attr.name> <attr.is_1st> <attr.is_nth> <attr.is_only> <attr.l_pos>\n.end\n.end\n",
       "z true true true 0\n"},
      {"functions of the object inside .each_object, of the model outside",
       ".each_object <obj.name=A>\n.each_function\n:in <ftn.name>\n.end\n.end\n"
       ".each_function\n:top <ftn.name>\n.end\n",
       "in f\ntop top\n"},
      {"parameters with a separator",
       ".each_object <obj.name=A>\n.each_function\n.each_parameter\n.separator\n:, \\\n.end\n"
       ":<param.name>\\\n.end\n:\n.end\n.end\n",
       "p, q\n"},
      {"a state action joins without hiding the state's names",
       ".each_object <obj.name=A>\n.each_state\n"
       ":<state.name> <state_action.name|-> <state_action.has_body|->\n.end\n.end\n",
       "S act true\nT - -\n"},
      {"an inner loop under the same name leaves the outer positions alone",
       ".each_object o\n.each_used_object o\n:  <o.name> <o.l_pos>\n.end\n"
       ":<o.name> <o.l_pos> <o.is_nth>\n.end\n",
       "  B 0\nA 0 false\nB 1 true\n"},
      {"refd_obj makes the attribute's type current",
       ".each_object <obj.name=A>\n.each_attribute\n.refd_obj\n:<attr.name> -> <obj.name>\n"
       ".end\n.end\n:after <obj.name>\n.end\n",
       "y -> B\nafter A\n"},
      {"characteristics of the current element",
       ".each_object\n.each_characteristic c\n:<obj.name> <c.name>=<c.value> <c.is_only>\n.end\n"
       ".end\n",
       "A k=1 true\n"},
      {"tokens", ".each_token w \"[a-z]+\" one two\n.separator\n:|\n.end\n:<w.value>\n.end\n",
       "one\n|\ntwo\n"},
      {"nested objects name their positions from the depth",
       ".each_object\n:<obj.name> <obj.is_1st>\n.end\n", "A true\nB false\n"},
  };
  for (const Case& c : cases) {
    reset_output_file();
    EXPECT_EQ(run(c.tem), c.expected) << c.name << "\n" << output();
  }
}

TEST_F(ExecutionTest, SelectRunsAtMostOneBranch) {
  const Case cases[] = {
      {"second and third true: only the second",
       ".select\n<x>:one\n:two\n:three\n.default\n:dflt\n.end\n.end\n", "two\n"},
      {"a block alternative", ".select\n.block <dsm.has_objects>\n:b1\n:b2\n.end\n:t\n.end\n",
       "b1\nb2\n"},
      {"none true, default", ".select\n<x>:one\n.default\n:dflt\n.end\n.end\n", "dflt\n"},
      {"none true, no default", ".select\n<x>:one\n.end\n:after\n", "after\n"},
      {"the select's own condition", ".select <x>\n:one\n.default\n:dflt\n.end\n.end\n", ""},
  };
  for (const Case& c : cases) {
    reset_output_file();
    EXPECT_EQ(run(c.tem), c.expected) << c.name;
  }
}

TEST_F(ExecutionTest, VarItemsWalkArraysAndKeyedVariables) {
  const char* tem =
      ".each_var_item a\n:<a.value> <a.is_1st> <a.is_nth> <a.l_pos>\n.end\n"
      ".each_var_item m\n:<m.key>=<m.value> <m.is_1st> <m.is_nth>\n.end\n"
      ".each_var_item none\n:never\n.end\n";
  std::string out = run(tem, [](GenerationRun& r) {
    StringSet& a = r.arrays.get("a");
    a.add("");
    a.add("p");
    a.add("q");
    StringMap& m = r.keyed.get("m");
    m.value("k1") = "v1";
    m.value("k2") = "";
  });
  EXPECT_EQ(out, "p false false 0\nq false true 1\nk1=v1 true false\nk2= false true\n");
}

TEST_F(ExecutionTest, MalformedTokenArgumentsAreReported) {
  EXPECT_EQ(run(".each_token w ab\n:never\n.end\n"), "");
  EXPECT_NE(output().find("Malformed args to .each_token statement at template line 2"),
            std::string::npos)
      << output();
}

TEST_F(ExecutionTest, RunStartSetsCommandLineVariables) {
  const struct {
    const char* setvar1;
    const char* setvar2;
    const char* expected;
  } cases[] = {
      {"x", "y 1", "true 1 <n>\n"},
      {"n two words", "", "<x> <y> two words\n"},
      {"", "y 1", "<x> <y> <n>\n"},
  };
  for (const auto& c : cases) {
    reset_output_file();
    settings().set("setvar1", c.setvar1);
    settings().set("setvar2", c.setvar2);
    // The model's list keeps the variables set at run start: rebuild it.
    model_->rebuild_variables();
    EXPECT_EQ(run_whole(":<x> <y> <n>\n"), c.expected) << c.setvar1 << " / " << c.setvar2;
  }
  reset_output_file();
  EXPECT_NE(run_whole(":<template.path> <date.year>\n").find("t.tem 1"), std::string::npos);
}

// A stand-in for the directive processor: "$$EXECMODULE name arg ..." with
// arguments separated by single blanks.
bool exec_module_only(GenerationRun& run, std::string& text) {
  const std::string keyword = "$$EXECMODULE ";
  if (text.rfind(keyword, 0) != 0) return true;
  std::vector<std::string> words;
  size_t start = keyword.size();
  while (start <= text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) words.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  if (words.empty()) return false;
  const std::string name = words.front();
  words.erase(words.begin());
  call_module(run, name, words);
  return false;
}

TEST_F(ExecutionTest, ModulesBindTheirParameters) {
  directive_handler() = exec_module_only;
  const char* tem =
      ":$$SETNOTHING\n"
      ".each_object <obj.name=A>\n"
      ":$$EXECMODULE show \"hi\" obj.name unknown -\n"
      ":<obj.name> after\n"
      ".each_attribute\n"
      ":$$EXECMODULE one\n"
      ".end\n"
      ".end\n"
      ".module show g:var n:var u:var o:obj\n"
      ":<g> <n> <u> <o.name>\n"
      ".end\n"
      ".module one a:attr b:var\n"
      ":never\n"
      ".end\n";
  EXPECT_EQ(run(tem), "$$SETNOTHING\nhi A unknown A\nA after\n");
  EXPECT_NE(output().find("Call to module one with wrong number of parameters. Actual 0, Formal 2"),
            std::string::npos)
      << output();
}

TEST_F(ExecutionTest, RunawayModuleRecursionIsStoppedAndReported) {
  directive_handler() = exec_module_only;
  // A module calling itself twice would make 2^64 calls if every level went
  // on after the refusal: the whole chain ends at the first one instead.
  const char* rows[] = {
      ":$$EXECMODULE rec\n:done\n.module rec\n:$$EXECMODULE rec\n.end\n",
      ":$$EXECMODULE rec\n:done\n.module rec\n:$$EXECMODULE rec\n:$$EXECMODULE rec\n:never\n.end\n",
  };
  const std::string message = "Module 'rec' not run: module calls are nested more than 64 deep.";
  for (const char* tem : rows) {
    clear_output();
    EXPECT_EQ(run(tem), "done\n") << tem;
    size_t first = output().find(message);
    EXPECT_NE(first, std::string::npos) << output();
    EXPECT_EQ(output().find(message, first + 1), std::string::npos) << "reported once: " << tem;
  }
}

TEST_F(ExecutionTest, CallModuleReportsAnUnknownModuleToItsCaller) {
  Template loaded = load_template(write("t.tem", ".module m\n:x\n.end\n"));
  ASSERT_TRUE(loaded.root);
  GenerationRun run;
  run.root = loaded.root.get();
  run.model = model_.get();
  EXPECT_FALSE(call_module(run, "nope", {}));
  EXPECT_EQ(run.module_arguments, nullptr);
}

}  // namespace
}  // namespace quill
