#include "project/project_file.h"

#include <gtest/gtest.h>

#include "project/project_archive.h"
#include "project/project_node.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

// One line per node: kind, quoted texts, the six flags, then its children indented.
void dump(const ProjectNode& node, std::string& out, int depth = 0) {
  out += std::string(depth * 2, ' ') + std::to_string(static_cast<int>(node.type_id())) + " '" +
         node.name() + "' '" + node.description() + "' '" + node.output_dir() + "' ";
  for (bool flag : {node.inherits(), node.trace_tem(), node.show_summary(), node.show_gen_files(),
                    node.save_hist(), node.emit_unix_eol()}) {
    out += flag ? '1' : '0';
  }
  out += '\n';
  for (size_t i = 0; i < node.child_count(); ++i) dump(node.child(i), out, depth + 1);
}

std::string dump(const ProjectNode& node) {
  std::string out;
  dump(node, out);
  return out;
}

// A project with a subsystem holding two rules and a rule directly below the root.
void build_sample(Project& root) {
  root.set_description("Shop = orders + stock");
  root.set_output_dir("gen");
  root.set_save_hist(true);
  ProjectNode& sub = root.adopt(std::make_unique<Subsystem>());
  sub.set_name("Back office");
  sub.set_inherits(false);
  sub.set_output_dir("gen/back");
  sub.set_emit_unix_eol(true);
  auto first = std::make_unique<GenerationRule>();
  first->set_name("Orders");
  first->model_file().set_name("models/orders.dsm");
  first->template_file().set_name("cpp.tem");
  first->set_trace_tem(true);
  sub.adopt(std::move(first));
  auto second = std::make_unique<GenerationRule>();
  second->set_name("Stock");
  second->set_show_gen_files(false);
  second->set_show_summary(false);
  second->model_file().set_name("stock.dsm");
  second->template_file().set_name("C:\\lib\\ada.tem");
  sub.adopt(std::move(second));
  root.adopt(std::make_unique<GenerationRule>());
}

class ProjectFileTest : public testing::EngineTest {};

TEST_F(ProjectFileTest, NewNodesStartWithTheirKindsSettings) {
  Project root;
  Subsystem sub;
  GenerationRule rule;
  EXPECT_EQ(dump(root), "0 'New Project' '' '' 001100\n");
  EXPECT_EQ(dump(sub), "1 'New Subsystem' '' '' 101100\n");
  EXPECT_EQ(dump(rule), "2 'New Generation Rule' '' '' 101100\n");
  EXPECT_EQ(dump(rule.model_file()), "3 '<not set>' '' '' 101100\n");
  EXPECT_EQ(dump(rule.template_file()), "4 '<not set>' '' '' 101100\n");
}

TEST_F(ProjectFileTest, WrittenTreeReadsBackTheSame) {
  Project root("Shop");
  build_sample(root);
  std::string path = dir_ + "/shop.qpj";
  ASSERT_TRUE(save_project(path, root));
  Project copy("New Project");
  ASSERT_EQ(load_project(path, copy), ProjectLoad::ok);
  // The rule below the root had no file nodes; it comes back with empty ones.
  auto& bare = static_cast<GenerationRule&>(root.child(1));
  EXPECT_EQ(bare.find_model_file(), nullptr);
  bare.model_file().set_name("");
  bare.template_file().set_name("");
  EXPECT_EQ(dump(copy), dump(root));
}

TEST_F(ProjectFileTest, FileLayoutFollowsTheFieldOrder) {
  Project root("P");
  auto rule = std::make_unique<GenerationRule>();
  rule->set_name("R");
  rule->model_file().set_name("m.dsm");
  root.adopt(std::move(rule));
  const char* expected =
      "dbVersion=1 \r\nnameLength=1 \r\nname=P\r\ndescLength=0 \r\noutDirLength=0 \r\n"
      "traceTem=0 \r\nshowSummary=1 \r\nshowGenFiles=1 \r\nsaveHist=0 \r\nemitUnixEol=0 \r\n"
      "deferUpward=0 \r\nnChildren=1 \r\ntypeID=2 \r\n"
      "nameLength=1 \r\nname=R\r\ndescLength=0 \r\noutDirLength=0 \r\n"
      "traceTem=0 \r\nshowSummary=1 \r\nshowGenFiles=1 \r\nsaveHist=0 \r\nemitUnixEol=0 \r\n"
      "deferUpward=1 \r\nnChildren=1 \r\ntypeID=3 \r\n"
      "dsmPathLength=5 \r\ndsmPath=m.dsm\r\ntemPathLength=0 \r\n";
  EXPECT_EQ(write_project(root), expected);
}

TEST_F(ProjectFileTest, UnknownChildTypesAreSkipped) {
  Project root("P");
  std::string file =
      "dbVersion=1 \nnameLength=1 \nname=P\ndescLength=0 \noutDirLength=0 \n"
      "traceTem=0 \nshowSummary=1 \nshowGenFiles=1 \nsaveHist=0 \nemitUnixEol=0 \ndeferUpward=0 \n"
      "nChildren=3 \ntypeID=7 \ntypeID=0 \ntypeID=1 \n"
      "nameLength=1 \nname=S\ndescLength=0 \noutDirLength=0 \ntraceTem=0 \nshowSummary=0 \n"
      "showGenFiles=0 \nsaveHist=0 \nemitUnixEol=5 \ndeferUpward=1 \nnChildren=0 \n";
  ASSERT_EQ(read_project(file, root), ProjectLoad::ok);
  EXPECT_EQ(dump(root), "0 'P' '' '' 001100\n  1 'S' '' '' 100001\n");
}

TEST_F(ProjectFileTest, DamagedFilesEndWithAnError) {
  Project sample("Shop");
  build_sample(sample);
  std::string good = write_project(sample);
  struct Row {
    std::string content;
    ProjectLoad expected;
  };
  const Row rows[] = {
      {"", ProjectLoad::bad_version},
      {"[LastCodegenSettings]\nShowFileNames=true\n", ProjectLoad::bad_version},
      {"dbVersion=2 \r\n" + good.substr(14), ProjectLoad::bad_version},
      {good.substr(0, good.size() / 2), ProjectLoad::incomplete},
      {"dbVersion=1 \r\nname=x\r\n", ProjectLoad::incomplete},
  };
  for (const Row& row : rows) {
    Project root;
    EXPECT_EQ(read_project(row.content, root), row.expected) << row.content;
  }
}

// A project file whose root holds a chain of subsystems, depth nodes in all.
std::string nested_project(int depth) {
  std::string file = "dbVersion=1 \n";
  for (int i = 0; i < depth; ++i) {
    if (i > 0) file += "typeID=1 \n";
    file += "nameLength=0 \ndescLength=0 \noutDirLength=0 \ntraceTem=0 \nshowSummary=0 \n"
            "showGenFiles=0 \nsaveHist=0 \nemitUnixEol=0 \ndeferUpward=1 \n";
    file += i + 1 < depth ? "nChildren=1 \n" : "nChildren=0 \n";
  }
  return file;
}

TEST_F(ProjectFileTest, ExcessiveNestingIsRefused) {
  Project deep;
  EXPECT_EQ(read_project(nested_project(ProjectArchive::kMaxDepth), deep), ProjectLoad::ok);
  Project too_deep;
  EXPECT_EQ(read_project(nested_project(ProjectArchive::kMaxDepth + 1), too_deep), ProjectLoad::incomplete);
}

TEST_F(ProjectFileTest, ClipboardEntryCarriesTheWholeSubtree) {
  Project root("Shop");
  build_sample(root);
  std::string entry = write_subtree(root.child(0));
  EXPECT_EQ(entry.substr(0, 11), "typeID=1 \r\n");
  std::unique_ptr<ProjectNode> pasted = read_subtree(entry);
  ASSERT_NE(pasted, nullptr);
  EXPECT_EQ(dump(*pasted), dump(root.child(0)));
  EXPECT_EQ(read_subtree(write_subtree(root)), nullptr);  // a project is never pasted
  EXPECT_EQ(read_subtree(entry.substr(0, entry.size() / 2)), nullptr);
}

TEST_F(ProjectFileTest, AttachingMovesANodeAndKeepsTheTreeAcyclic) {
  Project root("P");
  build_sample(root);
  ProjectNode& sub = root.child(0);
  ProjectNode& rule = root.child(1);
  ASSERT_TRUE(rule.attach_to(sub));
  EXPECT_EQ(root.child_count(), 1u);
  EXPECT_EQ(&sub.child(2), &rule);
  EXPECT_FALSE(sub.attach_to(rule));
  EXPECT_FALSE(sub.attach_to(sub));
}

TEST_F(ProjectFileTest, InheritedSettingsComeFromTheNearestNonInheritingAncestor) {
  Project root("P");
  build_sample(root);
  ProjectNode& orders = root.child(0).child(0);
  EXPECT_EQ(orders.effective_output_dir(), "gen/back");
  root.child(0).set_inherits(true);
  EXPECT_EQ(orders.effective_output_dir(), "gen");
  root.set_inherits(true);  // the root has no parent to take settings from
  EXPECT_EQ(orders.effective_output_dir(), "gen");
}

}  // namespace
}  // namespace quill
