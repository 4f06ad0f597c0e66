#include "template/builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/platform.h"
#include "foundation/settings.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

class BuilderTest : public testing::EngineTest {
 protected:
  // The dump of the root's children, or "FAILED" when the load failed.
  std::string load_dump(const std::string& source) {
    Template loaded = load_template(write("main.tem", source));
    if (!loaded.root) return "FAILED";
    EXPECT_TRUE(loaded.ok);
    std::string out;
    for (const StatementPtr& child : loaded.root->children()) child->dump(out);
    return out;
  }
  // Every message text reported, one per line.
  std::string messages() const {
    std::string out;
    for (const auto& entry : sink_->entries) out += entry.text + "\n";
    return out;
  }
};

TEST_F(BuilderTest, BuildsTrees) {
  struct Row {
    const char* source;
    const char* dump;
  } rows[] = {
      {".each_object\n:<obj.name>\n.end\n",
       "stmt_each_obj@1 prefix(obj)\n"
       "  stmt_simple@2 text(ref(obj.name))\n"},
      {".end\n:ignored\n", ""},
      {"# comment\n: a::b\n  <a> <b> :  x  \n",
       "stmt_simple@2 text(\" a::b\")\n"
       "stmt_simple@3 if(ref(a) ref(b)) text(\"  x  \")\n"},
      {".file <obj.name>.h\n", "stmt_file@1 name(ref(obj.name) \".h\")\n"},
      {".each_object o <o.is_abstract> junk\n.end\n",
       "stmt_each_obj@1 prefix(o) filter(ref(o.is_abstract) \"junk\")\n"},
      {".select <a>\n"
       "<b>:one\n"
       ".block <c>\n"
       ":two\n"
       ".end\n"
       ".default <d>\n"
       ":three\n"
       ".end\n"
       "<e>:four\n"
       ".end\n",
       "stmt_multiblock@1 if(ref(a))\n"
       "  stmt_simple@2 if(ref(b)) text(\"one\")\n"
       "  stmt_block@3 if(ref(c))\n"
       "    stmt_simple@4 text(\"two\")\n"
       "  stmt_simple@9 if(ref(e)) text(\"four\")\n"
       "  default:\n"
       "    stmt_block@6 if(ref(d))\n"
       "      stmt_simple@7 text(\"three\")\n"},
      {".each_attribute a <a.is_key>\n"
       ".refd_obj r\n"
       ":<r.name>\n"
       ".end\n"
       ".separator\n"
       ":,\n"
       ".end\n"
       ".separator <x>\n"
       ":;\n"
       ".end\n"
       ".end\n",
       "stmt_each_attr@1 prefix(a) filter(ref(a.is_key))\n"
       "  stmt_refd_obj@2 prefix(r)\n"
       "    stmt_simple@3 text(ref(r.name))\n"
       "  separator:\n"
       "    stmt_block@8 if(ref(x))\n"
       "      stmt_simple@9 text(\";\")\n"},
      {".module emit_attr a:attr o : obj\n:x\n.end\n",
       "stmt_module@1 name(emit_attr) a:attr o:obj\n"
       "  stmt_simple@2 text(\"x\")\n"},
      {".module m\n.end\n:after\n",
       "stmt_module@1 name(m)\n"
       "stmt_simple@3 text(\"after\")\n"},
      {".each_token t \"[a-z]+\" <words> \n.end\n",
       R"(stmt_each_token@1 prefix(t) filter(""[a-z]+" " ref(words) " "))" "\n"},
      {".each_pragma_value options  \n.end\n.each_var_item list\n.end\n",
       "stmt_each_pragma_value@1 prefix(not-used) subject(options)\n"
       "stmt_each_var_item@3 prefix(not-used) subject(list)\n"},
      {".each_function\n.end\n.each_using_attr\n.end\n.each_foreign_type\n.end\n"
       ".each_substitution s\n.end\n.each_characteristic <c>\n.end\n",
       "stmt_each_function@1 prefix(ftn)\n"
       "stmt_each_using_attr@3 prefix(attr)\n"
       "stmt_each_substitution@5 prefix(foreign)\n"
       "stmt_each_substitution@7 prefix(s)\n"
       "stmt_each_ctic@9 prefix(ctic) filter(ref(c))\n"},
  };
  for (const Row& row : rows) {
    clear_output();
    EXPECT_EQ(load_dump(row.source), row.dump) << row.source;
    EXPECT_EQ(messages(), "") << row.source;
  }
}

TEST_F(BuilderTest, ToleratedHeaderFaults) {
  struct Row {
    const char* source;
    const char* dump;
    const char* message;  // %s stands for the template path
  } rows[] = {
      {".each_object o junk\n.end\n", "stmt_each_obj@1 prefix(o)\n",
       "Unexpected iterator parameters in template %s on line 1"},
      {".each_token t\n.end\n", "stmt_each_token@1 prefix(t)\n",
       "Unexpected iterator parameters in template %s on line 1"},
      {"\n.each_pragma_value \n.end\n", "stmt_each_pragma_value@2 prefix(not-used)\n",
       "Template line 2.  Pragma iterator lacks a pragma name (line 2)."},
      {".each_var_item\n.end\n", "stmt_each_var_item@1 prefix(not-used)\n",
       "Template line 1.  Var item iterator lacks a string array name."},
      {"# nothing\n", "", "The template file '%s' is empty."},
  };
  for (const Row& row : rows) {
    clear_output();
    EXPECT_EQ(load_dump(row.source), row.dump) << row.source;
    std::string expected = row.message;
    if (size_t at = expected.find("%s"); at != std::string::npos) {
      expected.replace(at, 2, dir_ + "/main.tem");
    }
    EXPECT_EQ(messages(), expected + "\n") << row.source;
  }
}

TEST_F(BuilderTest, StructuralErrors) {
  struct Row {
    const char* source;
    const char* messages;  // before the closing "Error(s) found ..." line
  } rows[] = {
      {".each_object\n:x\n",
       "Missing corresponding .end for .each_object starting on template line 1.\n"},
      {".select\n.default\n.end\n.default\n.end\n.end\n",
       "Template line 4.  This line does not close a corresponding .select:\n   '.default'\n"},
      {":a\n.default\n", "Template line 2.  This statement kind can only appear inside a "
                         ".select block:\n   '.default'\n"},
      {"junk\n", "Template line 1.  Can't determine statement type of:\n   'junk'\n"},
      {".refd_obj\n.end\n", "Template line 1.  Can't determine statement type of:\n   '.refd_obj'\n"},
      {".separator\n", "Template line 1.  Can't determine statement type of:\n   '.separator'\n"},
      {".file\n", "This .file statement has no filename part (line 1):\n  '.file'\n"},
      {".module\n.end\n", "Template line 1.  Module is missing a name.\n"},
      {".module m\n.end\n.module m\n.end\n",
       "Template line 3.  Module named 'm' already loaded.\n"},
      {".module m a:obj b:widget\n.end\n",
       "Template line 1.  Invalid type of module formal parameter 'b:widget'\n"},
      {".module m a\n.end\n",
       "Template line 1.  Module 'm' - Invalid parameter format\n    .module m a\n"},
      {"$$IMPORT \"\"\n",
       "Template line 1.  $$IMPORT directive found without a file name:\n   '$$IMPORT \"\"'\n"},
      {".block\n.default\n.end\n.end\n",
       "Template line 2.  This statement kind cannot appear inside a .block:\n   '.default'\n"},
      // After an error a container reads one more line; the end of the file
      // there adds its missing-.end message, for every open container.
      {".each_object\n.block\n.module m\n",
       "Template line 3.  This statement kind cannot appear inside a .block:\n   '.module m'\n"
       "Missing corresponding .end for .block starting on template line 2.\n"
       "Missing corresponding .end for .each_object starting on template line 1.\n"},
      {".block\n.separator\n.end\n.end\n",
       "Template line 2.  This statement kind cannot appear inside a .block:\n   '.separator'\n"},
      {".each_object\n.refd_obj\n.end\n.end\n",
       "Template line 2.  This statement kind cannot appear inside a .each_object:\n"
       "   '.refd_obj'\n"},
      {".each_object\n$$IMPORT x.tem\n.end\n",
       "Template line 2.  This statement kind cannot appear inside a .each_object:\n"
       "   '$$IMPORT x.tem'\n"},
      {".each_attribute\n.refd_obj\n.separator\n.end\n.end\n.end\n",
       "Template line 3.  This statement kind cannot appear inside a .refd_obj:\n"
       "   '.separator'\n"},
      {".module m\n.separator\n.end\n.end\n",
       "Template line 2.  This statement kind cannot appear inside a .module:\n   '.separator'\n"},
      {".module m\n.refd_obj\n.end\n.end\n",
       "Template line 2.  This statement kind cannot appear inside a .module:\n   '.refd_obj'\n"},
      {".select\n.each_object\n.end\n.end\n",
       "Template line 2.  This statement kind cannot appear inside a .select:\n"
       "   '.each_object'\n"},
      {".select\njunk\n.end\n",
       "Template line 2.  Can't determine statement type of:\n   'junk'\n"},
      {".select\n", "Missing corresponding .end for .select starting on template line 1.\n"},
      {".select\n.default\n",
       "Missing corresponding .end for .block starting on template line 2.\n"
       "Missing corresponding .end for .select starting on template line 1.\n"},
  };
  for (const Row& row : rows) {
    clear_output();
    EXPECT_EQ(load_dump(row.source), "FAILED") << row.source;
    EXPECT_EQ(messages(), std::string(row.messages) + "Error(s) found during load of template file '" +
                              dir_ + "/main.tem'\n")
        << row.source;
  }
}

TEST_F(BuilderTest, ContainerMessagesOfEveryIterator) {
  struct Row {
    const char* keyword;
    const char* inside;   // as the cannot-appear message names it
    const char* missing;  // as the missing-.end message names it
    const char* wording;  // "This statement kind" or "Statement"
  } rows[] = {
      {".each_object", ".each_object", ".each_object", "This statement kind"},
      {".each_parent", ".each_parent", ".each_parent", "This statement kind"},
      {".each_ancestor", ".each_ancestor", ".each_ancestor", "This statement kind"},
      {".each_used_object", ".each_used_obj", ".each_used_obj", "This statement kind"},
      {".each_attribute", ".each_attr", ".each_attribute", "This statement kind"},
      {".each_using_attr", ".each_using_attr", ".each_using_attr", "This statement kind"},
      {".each_function", ".each_function", ".each_function", "This statement kind"},
      {".each_parameter", ".each_param", ".each_parameter", "This statement kind"},
      {".each_state", ".each_state", ".each_state", "This statement kind"},
      {".each_transition", ".each_transition", ".each_transition", "This statement kind"},
      {".each_event", ".each_event", ".each_event", "Statement"},
      {".each_pragma_value p", ".each_pragma", ".each_pragma", "Statement"},
      {".each_var_item v", ".each_var_item", ".each_var_item", "Statement"},
      {".each_substitution", ".each_substitution", ".each_substitution", "This statement kind"},
      {".each_foreign_type", ".each_substitution", ".each_substitution", "This statement kind"},
      {".each_instance", ".each_instance", ".each_instance", "This statement kind"},
      {".each_assignment", ".each_assignment", ".each_assignment", "This statement kind"},
      {".each_literal", ".each_literal", ".each_literal", "This statement kind"},
      {".each_process", ".each_process", ".each_process", "This statement kind"},
      {".each_flow", ".each_flow", ".each_flow", "This statement kind"},
      {".each_token t a b", ".each_token", ".each_token", "This statement kind"},
      {".each_characteristic", ".each_characteristic", ".each_characteristic",
       "This statement kind"},
      {".block", ".block", ".block", "This statement kind"},
      {".module m", ".module", ".module", "This statement kind"},
  };
  const std::string failed =
      "Error(s) found during load of template file '" + dir_ + "/main.tem'\n";
  for (const Row& row : rows) {
    clear_output();
    EXPECT_EQ(load_dump(std::string(row.keyword) + "\n.default\n.end\n"), "FAILED");
    EXPECT_EQ(messages(), "Template line 2.  " + std::string(row.wording) +
                              " cannot appear inside a " + row.inside +
                              ":\n   '.default'\n" + failed)
        << row.keyword;
    clear_output();
    EXPECT_EQ(load_dump(std::string(row.keyword) + "\n:x\n"), "FAILED");
    EXPECT_EQ(messages(), "Missing corresponding .end for " + std::string(row.missing) +
                              " starting on template line 1.\n" + failed)
        << row.keyword;
  }
}

TEST_F(BuilderTest, DeepNestingFailsWithoutExhaustingTheStack) {
  std::string source;
  for (int i = 0; i < 100000; ++i) source += ".block\n";
  EXPECT_EQ(load_dump(source), "FAILED");
  ASSERT_FALSE(sink_->entries.empty());
  EXPECT_EQ(sink_->entries[0].text,
            "Template line 201.  Statements are nested too deeply:\n   '.block'");

  clear_output();
  source.clear();
  for (int i = 0; i < 95; ++i) source += ".each_object\n.block <x>\n";
  for (int i = 0; i < 190; ++i) source += ".end\n";
  Template loaded = load_template(write("main.tem", source));
  EXPECT_TRUE(loaded.root) << output();
}

TEST_F(BuilderTest, ImportsModulesOncePerFileIgnoringCase) {
  write("Lib.tem", "# library\n.module m\n:from lib\n.end\n$$IMPORT sub/more.tem\n");
  write("sub/more.tem", "$$IMPORT \"deeper.tem\"\n.module n\n.end\n");
  write("sub/deeper.tem", ".module o\n.end\n$$IMPORT DEEPER.TEM\n");
  std::string dump = load_dump(":first\n$$IMPORT \"Lib.tem\"\n$$IMPORT LIB.TEM  \n"
                               ".module local\n.end\n:last\n");
  EXPECT_EQ(dump,
            "stmt_simple@1 text(\"first\")\n"
            "stmt_module@4 name(local)\n"
            "stmt_simple@6 text(\"last\")\n"
            "stmt_module@2 name(m)\n"
            "  stmt_simple@3 text(\"from lib\")\n"
            "stmt_module@2 name(n)\n"
            "stmt_module@1 name(o)\n");
  EXPECT_EQ(messages(), "");
}

TEST_F(BuilderTest, ImportsAlongTheSearchPath) {
  write("inc/util.tem", ".module util\n.end\n");
  settings().set("TemSearchPath", dir_ + "/none;" + dir_ + "/inc");
  EXPECT_EQ(load_dump("$$IMPORT util.tem\n"), "stmt_module@1 name(util)\n");
  EXPECT_EQ(messages(), "");
}

TEST_F(BuilderTest, ImportsBesideARelativeMainFile) {
  write("t/lib.tem", ".module m\n.end\n");
  write("t/main.tem", "$$IMPORT lib.tem\n");
  std::string cwd = platform::current_directory();
  ASSERT_TRUE(platform::change_directory(dir_));
  Template loaded = load_template("t/main.tem");
  platform::change_directory(cwd);
  ASSERT_TRUE(loaded.root) << output();
  EXPECT_EQ(loaded.root->children().size(), 1u);
  EXPECT_EQ(loaded.path, "t/main.tem");
}

// A relative search path entry names a directory of the working directory;
// the file found there is read, not one beside the main template.
TEST_F(BuilderTest, ReadsTheFileFoundAlongARelativeSearchPath) {
  write("inc/util.tem", ".module util\n.end\n");
  write("t/main.tem", "$$IMPORT util.tem\n");
  settings().set("TemSearchPath", "inc");
  std::string cwd = platform::current_directory();
  ASSERT_TRUE(platform::change_directory(dir_));
  Template loaded = load_template(dir_ + "/t/main.tem");
  platform::change_directory(cwd);
  ASSERT_TRUE(loaded.root) << output();
  EXPECT_EQ(loaded.root->children().size(), 1u);
  EXPECT_EQ(messages(), "");
}

TEST_F(BuilderTest, ImportErrors) {
  std::string lib = write("lib.tem", ".module m\n.end\n:text\n");
  EXPECT_EQ(load_dump("$$IMPORT lib.tem\n"), "FAILED");
  EXPECT_EQ(messages(),
            "Template line 3.  Only .module blocks and other import directives can appear\n"
            "inside an imported .tem file:\n   ':text'\n"
            "Error(s) found during load of template file '" + lib + "'\n");

  clear_output();
  write("lib.tem", ".module m\n.end\n");
  EXPECT_EQ(load_dump(".module m\n.end\n$$IMPORT lib.tem\n"), "FAILED");
  EXPECT_EQ(messages(), "Template line 1.  Module named 'm' already loaded.\n"
                        "Error(s) found during load of template file '" + lib + "'\n");

  clear_output();
  std::string missing = dir_ + "/missing.tem";
  EXPECT_EQ(load_dump("$$IMPORT missing.tem\n"), "FAILED");
  EXPECT_EQ(messages(), "Error opening file '" + missing + "'.  Check that the file exists.\n"
                        "Error(s) found during load of template file '" + missing + "'\n");

  clear_output();
  EXPECT_FALSE(load_template(missing).root);
  EXPECT_EQ(messages(), "Error opening file '" + missing + "'.  Check that the file exists.\n"
                        "Error(s) found during load of template file '" + missing + "'\n");
}

TEST_F(BuilderTest, EveryLoadStartsWithAnEmptyModuleRegistry) {
  std::string path = write("main.tem", ".module m\n.end\n");
  EXPECT_TRUE(load_template(path).root);
  EXPECT_TRUE(load_template(path).root);
  EXPECT_EQ(messages(), "");
}

}  // namespace
}  // namespace quill
