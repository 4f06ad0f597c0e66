// A fixture for tests that run template text over a parsed and linked model:
// the model is written, parsed, linked and made current; the output file and
// the directive hook are reset around each test.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "foundation/settings.h"
#include "model/elements.h"
#include "model/link.h"
#include "model/parser.h"
#include "output/output_file.h"
#include "template/builder.h"
#include "template/generation_run.h"
#include "template/statements.h"
#include "tests/support/test_support.h"

namespace quill::testing {

class ModelRunTest : public EngineTest {
 protected:
  explicit ModelRunTest(const char* model_text) : model_text_(model_text) {}

  void SetUp() override {
    EngineTest::SetUp();
    reset_output_file();
    settings().set("CGenOutdir", dir_);
    settings().set("StripReturns", "true");
    settings().set("ModelName", write("m.dsm", model_text_));
    ModelParser::Result parsed = ModelParser().parse(settings().get("ModelName"));
    ASSERT_TRUE(parsed.model) << output();
    model_ = std::move(parsed.model);
    link_model(*model_);
    set_current_model(model_.get());
    saved_handler_ = directive_handler();
  }
  void TearDown() override {
    directive_handler() = saved_handler_;
    set_current_model(nullptr);
    reset_output_file();
    EngineTest::TearDown();
  }

  // Loads the template text (a .file line is put in front) and runs it with
  // a run of its own; returns what it wrote.
  std::string run(const std::string& body,
                  const std::function<void(GenerationRun&)>& setup = nullptr) {
    Template loaded = load_template(write("t.tem", ".file out.txt\n" + body));
    if (!loaded.root) return "<load failed>";
    GenerationRun run;
    run.symbols.push(model_->variables(""));
    run.root = loaded.root.get();
    run.model = model_.get();
    if (setup) setup(run);
    loaded.root->execute(run);
    output_file().close();
    run.symbols.pop();
    return read(dir_ + "/out.txt");
  }

  std::unique_ptr<Model> model_;
  DirectiveHandler saved_handler_ = nullptr;

 private:
  const char* model_text_;
};

}  // namespace quill::testing
