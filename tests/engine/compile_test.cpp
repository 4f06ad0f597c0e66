#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/commands.h"
#include "engine/engine.h"
#include "engine/held_model.h"
#include "foundation/commands.h"
#include "foundation/settings.h"
#include "model/elements.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

class CompileTest : public testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    bind_engine_commands();
    discard_held_model();
    settings().set("LanguageTarget", "c++");
  }
  void TearDown() override {
    discard_held_model();
    EngineTest::TearDown();
  }

  // Compiles the file through the command interface.
  void compile(const std::string& model_name) {
    process_cmd("CompileObjDefs", {"ModelName", model_name});
  }
  std::string positions() const {
    const SettingsStore& s = settings();
    return s.get("BadTokenOffset") + "|" + s.get("BadTokenLength") + "|" + s.get("BadTokenLine") +
           "|" + s.get("BadFile");
  }
};

TEST_F(CompileTest, GoodModelIsHeldNamedAndLinked) {
  settings().set("BadFile", "stale");
  compile(write("sub/bank.old.dsm", "object A x : B; end; object B end;"));
  EXPECT_EQ(settings().get("CompileStatus"), "ok");
  EXPECT_EQ(positions(), "|||");
  ASSERT_NE(held_model(), nullptr);
  EXPECT_EQ(held_model()->name, "bank.old");
  EXPECT_EQ(held_model()->substitutions.size(), 10u);  // the c++ built-in types
  EXPECT_TRUE(held_model()->objects[0]->attributes[0]->resolved);
  EXPECT_EQ(current_model(), held_model());
  EXPECT_EQ(output(), "");
}

TEST_F(CompileTest, FailuresLeaveTheirPosition) {
  struct Case {
    const char* content;  // nullptr: the file does not exist
    const char* status;
    const char* positions;  // $ stands for the file name
    bool holds_model;
  } cases[] = {
      {"object A\n  x : integer\n  end;", "syntax-error", "2|3|3|$", false},
      {nullptr, "file-error", "0|0|0|$", false},
      {"object A end; object A end;", "semantic-error", "0|0|0|", true},
  };
  for (const Case& c : cases) {
    replace_held_model(std::make_unique<Model>("previous"));
    std::string file = dir_ + "/m.dsm";
    if (c.content != nullptr) write("m.dsm", c.content);
    compile(file);
    std::string expected = c.positions;
    if (expected.back() == '$') expected.replace(expected.size() - 1, 1, file);
    EXPECT_EQ(settings().get("CompileStatus"), c.status) << c.status;
    EXPECT_EQ(positions(), expected) << c.status;
    EXPECT_EQ(held_model() != nullptr, c.holds_model) << c.status;
    if (held_model() != nullptr) {
      EXPECT_NE(held_model()->name, "previous");
    }
    std::remove(file.c_str());
  }
}

TEST_F(CompileTest, MessagesOfEachFailure) {
  compile(write("a.dsm", "object A x : integer end;"));
  EXPECT_EQ(
      output(),
      "***ERROR    Expecting one of [equal, left_bracket, semi], but found 'end' (type = end) "
      "on line 1.\n");
  clear_output();
  compile(dir_ + "/none.dsm");
  EXPECT_EQ(output(), "***ERROR    The file '" + dir_ + "/none.dsm' cannot be loaded.\n");
  clear_output();
  compile(write("s.dsm", "object A A : t; end;"));
  EXPECT_EQ(output(),
            "***ERROR    Attributes must have names that differ from their object's name.  These "
            "attribute names need to be changed.\n            A.A\n            \n");
}

TEST_F(CompileTest, InternalRecompilesTheHeldModel) {
  compile("internal");
  EXPECT_EQ(settings().get("CompileStatus"), "file-error");
  EXPECT_EQ(settings().get("BadFile"), "internal");

  auto model = std::make_unique<Model>("kept");
  model->objects.push_back(std::make_unique<ModelObject>("A"));
  replace_held_model(std::move(model));
  settings().set("LanguageTarget", "ada");
  compile("internal");
  EXPECT_EQ(settings().get("CompileStatus"), "ok");
  EXPECT_EQ(held_model()->name, "kept");
  EXPECT_EQ(held_model()->substitutions.size(), 5u);
}

TEST_F(CompileTest, FormatObjText) {
  process_cmd("FormatObjText", {"ObjText", ""});
  EXPECT_EQ(settings().get("ObjText"), "");
  process_cmd("FormatObjText", {"ObjText", "class a end;"});
  EXPECT_EQ(settings().get("ObjText"), "\r\n\r\nobject a\r\nend ;");
}

}  // namespace
}  // namespace quill
