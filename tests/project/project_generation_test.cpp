#include "project/project_generation.h"

#include <gtest/gtest.h>

#include <map>

#include "foundation/commands.h"
#include "foundation/settings.h"
#include "project/project_file.h"
#include "project/project_node.h"
#include "project/project_road.h"
#include "tests/support/test_support.h"

// The engine is faked here; whole runs of quillb over hand-written project
// files belong with the golden cases once the engine generates.
namespace quill {
namespace {

// Stands in for the engine: records the settings each compile sees and
// answers with the status chosen for the model.
struct FakeEngine {
  std::map<std::string, std::string> status;  // model -> CompileStatus, "ok" when absent
  std::vector<std::string> log;
  GenerationCounts counts;
};
FakeEngine* engine = nullptr;

void fake_compile() {
  auto& s = settings();
  std::string model = s.get("ModelName");
  engine->log.push_back("compile " + model + " out=" + s.get("CGenOutdir") + " tem=" + s.get("CGenTemplate") +
                        " files=" + s.get("ShowFileNames") + " strip=" + s.get("StripReturns") +
                        " trace=" + s.get("TraceTemLines") + " batch=" + s.get("DoingBatchGen"));
  auto found = engine->status.find(model);
  s.set("CompileStatus", found == engine->status.end() ? "ok" : found->second);
  s.set("BadFile", model);
  s.set("BadTokenLine", "3");
}

void fake_generate() {
  engine->log.push_back("generate " + settings().get("ModelName"));
  engine->counts.files += 1;
  engine->counts.lines += 10;
}

class ProjectGenerationTest : public testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    engine = &fake_;
    bind_command("CompileObjDefs", fake_compile);
    bind_command("GenerateCode", fake_generate);
    settings().set("CGenOutdir", "before");
    settings().set("ModelName", "last.dsm");
  }
  void TearDown() override {
    bind_command("CompileObjDefs", nullptr);
    bind_command("GenerateCode", nullptr);
    engine = nullptr;
    EngineTest::TearDown();
  }

  GenerationRule& add_rule(ProjectNode& parent, const std::string& model) {
    auto rule = std::make_unique<GenerationRule>();
    rule->set_name("rule " + model);
    rule->model_file().set_name(model);
    rule->template_file().set_name("cpp.tem");
    return static_cast<GenerationRule&>(parent.adopt(std::move(rule)));
  }
  // The texts of the messages received, one per line.
  std::string messages() const {
    std::string out;
    for (const auto& entry : sink_->entries) out += entry.text + "\n";
    return out;
  }
  CountsSource counts() {
    return [this] { return fake_.counts; };
  }

  FakeEngine fake_;
};

TEST_F(ProjectGenerationTest, RulesRunWithTheirOwnAndInheritedSettings) {
  Project root("Shop");
  root.set_output_dir("gen");
  add_rule(root, "a.dsm").set_trace_tem(true);  // ignored: the rule inherits
  ProjectNode& sub = root.adopt(std::make_unique<Subsystem>());
  GenerationRule& b = add_rule(sub, "b.dsm");
  b.set_inherits(false);
  b.set_output_dir("out/b");
  b.set_show_gen_files(false);
  b.set_trace_tem(true);
  sub.set_inherits(false);
  sub.set_output_dir("out/sub");
  add_rule(sub, "c.dsm");
  sub.set_emit_unix_eol(true);
  EXPECT_TRUE(root.generate());
  const std::vector<std::string> expected = {
      "compile a.dsm out=gen tem=cpp.tem files=true strip=false trace=false batch=",
      "generate a.dsm",
      "compile b.dsm out=out/b tem=cpp.tem files=false strip=false trace=true batch=",
      "generate b.dsm",
      "compile c.dsm out=out/sub tem=cpp.tem files=true strip=true trace=false batch=",
      "generate c.dsm",
  };
  EXPECT_EQ(fake_.log, expected);
  EXPECT_EQ(settings().get("CGenOutdir"), "before");
  EXPECT_EQ(settings().get("ModelName"), "last.dsm");
  EXPECT_EQ(settings().get("StripReturns"), "");
}

TEST_F(ProjectGenerationTest, CompileVerdictDecidesWhetherTheRunGoesOn) {
  struct Row {
    std::string second_status;
    bool result;
    std::vector<std::string> generated;
    std::string messages;
  };
  const Row rows[] = {
      {"semantic-error", true, {"generate a.dsm", "generate c.dsm"}, ""},
      {"syntax-error", false, {"generate a.dsm"}, "Syntax error in obj model b.dsm (line 3)\n"},
  };
  for (const Row& row : rows) {
    fake_.log.clear();
    clear_output();
    fake_.status = {{"b.dsm", row.second_status}};
    Project root("Shop");
    root.set_output_dir("gen");
    for (const char* model : {"a.dsm", "b.dsm", "c.dsm"}) add_rule(root, model);
    EXPECT_EQ(root.generate(), row.result) << row.second_status;
    std::vector<std::string> generated;
    for (const auto& line : fake_.log) {
      if (line.rfind("generate", 0) == 0) generated.push_back(line);
    }
    EXPECT_EQ(generated, row.generated) << row.second_status;
    EXPECT_EQ(messages(), row.messages) << row.second_status;
    EXPECT_EQ(settings().get("ModelName"), "last.dsm") << row.second_status;
  }
}

TEST_F(ProjectGenerationTest, MissingRuleSettingsStopTheRun) {
  struct Row {
    const char* what;
    bool under_subsystem;
    std::string model, templ, outdir;
    std::string message;
  };
  const Row rows[] = {
      {"no outdir below the project", false, "m.dsm", "t.tem", "",
       "Project 'Shop' needs an \nOutput Directory to be specified"},
      {"no outdir below a subsystem", true, "m.dsm", "t.tem", "",
       "Subsystem 'Back' (or one of its parents) needs an \nOutput Directory to be specified"},
      {"model not set", false, "<not set>", "t.tem", "gen",
       "GenerationRule 'R' needs a Model \nfile (DSM) to be specified"},
      {"empty model", true, "", "t.tem", "gen", "GenerationRule 'R' needs a Model \nfile (DSM) to be specified"},
      {"template not set", false, "m.dsm", "<not set>", "gen",
       "GenerationRule 'R' needs a Template \nfile (TEM) to be specified"},
  };
  for (const Row& row : rows) {
    clear_output();
    fake_.log.clear();
    Project root("Shop");
    root.set_output_dir(row.outdir);
    ProjectNode& parent = row.under_subsystem ? root.adopt(std::make_unique<Subsystem>()) : root;
    parent.set_name(row.under_subsystem ? "Back" : "Shop");
    GenerationRule& rule = add_rule(parent, row.model);
    rule.set_name("R");
    rule.template_file().set_name(row.templ);
    add_rule(root, "never.dsm");
    EXPECT_FALSE(root.generate()) << row.what;
    EXPECT_EQ(messages(), row.message + "\n") << row.what;
    EXPECT_TRUE(fake_.log.empty()) << row.what;
    EXPECT_EQ(settings().get("CGenOutdir"), "before") << row.what;
    EXPECT_EQ(settings().get("ModelName"), "last.dsm") << row.what;
  }
}

TEST_F(ProjectGenerationTest, BatchSummaryCountsThisRunOnly) {
  fake_.counts = {4, 100};  // left over from an earlier generation
  settings().set("ShowGenSummary", "false");
  Project root("Shop");
  root.set_output_dir("gen");
  ProjectNode& sub = root.adopt(std::make_unique<Subsystem>());
  sub.set_name("Back");
  add_rule(sub, "a.dsm");
  add_rule(sub, "b.dsm");
  EXPECT_TRUE(generate_batch(sub, counts()));
  EXPECT_EQ(messages(), "Subsystem: Back\n\nCode Generation Is Finished.\n\nFiles:  2\n\nLines:  20\n");
  EXPECT_EQ(fake_.log[0].substr(fake_.log[0].size() - 10), "batch=true");
  EXPECT_EQ(settings().get("ShowGenSummary"), "false");
  EXPECT_EQ(settings().get("DoingBatchGen"), "");
}

TEST_F(ProjectGenerationTest, ProjectRoadLoadsFillsGeneratesAndSums) {
  Project sample("Shop");
  sample.set_output_dir("gen");
  add_rule(sample, "a.dsm");
  add_rule(sample, "b.dsm");
  std::string path = dir_ + "/shop.qpj";
  ASSERT_TRUE(save_project(path, sample));
  ProjectRoadHooks hooks;
  hooks.fill_settings = [] {
    settings().set("LanguageTarget", "c++");
    settings().set("ShowGenSummary", "false");  // the project's own flag wins
  };
  hooks.counts = counts();
  EXPECT_EQ(run_project_road(path, hooks), 0);
  EXPECT_EQ(messages(), "Project: Shop\n\nCode Generation Is Finished.\n\nFiles:  2\n\nLines:  20\n");
  EXPECT_EQ(settings().get("LanguageTarget"), "c++");
  EXPECT_EQ(settings().get("DoingBatchGen"), "true");
  EXPECT_EQ(settings().get("ShowGenSummary"), "true");
}

TEST_F(ProjectGenerationTest, ProjectRoadRefusesWhatItCannotLoad) {
  bool filled = false;
  ProjectRoadHooks hooks;
  hooks.fill_settings = [&filled] { filled = true; };
  EXPECT_EQ(run_project_road(write("p.qpj", "dbVersion=2 \r\n"), hooks), 2);
  EXPECT_EQ(run_project_road(dir_ + "/none.qpj", hooks), 2);
  EXPECT_EQ(messages(), "Unexpected Project File Version ID ... Exiting...\n"
                        "Can't open project file '" + dir_ + "/none.qpj' ... Exiting...\n");
  EXPECT_FALSE(filled);
  EXPECT_TRUE(fake_.log.empty());
}

}  // namespace
}  // namespace quill
