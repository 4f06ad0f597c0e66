#include "project/project_node.h"

#include <algorithm>
#include <iterator>

#include "project/project_archive.h"

namespace quill {

namespace {

struct NodeKind {
  NodeType type;
  const char* initial_name;  // the Project's is chosen by its creator
  bool inherits;
  const char* label;
};

// Indexed by NodeType.
constexpr NodeKind kNodeKinds[] = {
    {NodeType::project, "New Project", false, "Project"},
    {NodeType::subsystem, "New Subsystem", true, "Subsystem"},
    {NodeType::generation_rule, "New Generation Rule", true, "Generation Rule"},
    {NodeType::model_file, "<not set>", true, "Model File"},
    {NodeType::template_file, "<not set>", true, "Template File"},
};

static_assert(std::size(kNodeKinds) == static_cast<size_t>(NodeType::template_file) + 1);

const NodeKind& kind_of(NodeType type) { return kNodeKinds[static_cast<int>(type)]; }

// Counts one level of nesting in the archive for as long as a node is read.
class NestingGuard {
 public:
  explicit NestingGuard(ProjectArchive& archive) : archive_(archive), ok_(archive.enter()) {}
  ~NestingGuard() { archive_.leave(); }
  bool ok() const { return ok_; }

 private:
  ProjectArchive& archive_;
  bool ok_;
};

}  // namespace

const char* initial_name(NodeType type) { return kind_of(type).initial_name; }

std::unique_ptr<ProjectNode> make_child_node(long long type_id) {
  if (type_id == static_cast<int>(NodeType::subsystem)) return std::make_unique<Subsystem>();
  if (type_id == static_cast<int>(NodeType::generation_rule)) return std::make_unique<GenerationRule>();
  return nullptr;
}

ProjectNode::ProjectNode(NodeType type)
    : name_(kind_of(type).initial_name), inherit_(kind_of(type).inherits) {}

ProjectNode::~ProjectNode() = default;

const char* ProjectNode::kind_label() const { return kind_of(type_id()).label; }

const ProjectNode& ProjectNode::settings_source() const {
  const ProjectNode* node = this;
  while (node->inherit_ && node->parent_) node = node->parent_;
  return *node;
}

ProjectNode& ProjectNode::adopt(std::unique_ptr<ProjectNode> node) {
  node->parent_ = this;
  children_.push_back(std::move(node));
  return *children_.back();
}

std::unique_ptr<ProjectNode> ProjectNode::detach() {
  if (!parent_) return nullptr;
  auto& siblings = parent_->children_;
  auto it = std::find_if(siblings.begin(), siblings.end(),
                         [this](const std::unique_ptr<ProjectNode>& p) { return p.get() == this; });
  std::unique_ptr<ProjectNode> self = std::move(*it);
  siblings.erase(it);
  parent_ = nullptr;
  return self;
}

bool ProjectNode::attach_to(ProjectNode& new_parent) {
  for (const ProjectNode* n = &new_parent; n; n = n->parent_) {
    if (n == this) return false;
  }
  std::unique_ptr<ProjectNode> self = detach();
  if (!self) {
    // A node without a parent is owned elsewhere; only adopt() may take it.
    return false;
  }
  new_parent.adopt(std::move(self));
  return true;
}

void ProjectNode::serialize(ProjectArchive& archive, int version) {
  NestingGuard nesting(archive);
  if (!nesting.ok()) return;
  archive.transfer(name_, "name");
  archive.transfer(description_, "desc");
  archive.transfer(output_dir_, "outDir");
  archive.transfer(trace_tem_, "traceTem");
  archive.transfer(show_summary_, "showSummary");
  archive.transfer(show_gen_files_, "showGenFiles");
  archive.transfer(save_hist_, "saveHist");
  archive.transfer(emit_unix_eol_, "emitUnixEol");
  archive.transfer(inherit_, "deferUpward");
  serialize_children(archive, version);
}

// Children are written as their type identifier followed by their own
// fields. A reader keeps subsystems and rules and skips every other type
// (its file nodes are rebuilt from the paths a rule writes after them).
void ProjectNode::serialize_children(ProjectArchive& archive, int version) {
  if (archive.is_writing()) {
    archive.write_integer(static_cast<long long>(children_.size()), "nChildren");
    for (auto& child : children_) {
      archive.write_integer(static_cast<int>(child->type_id()), "typeID");
      child->serialize(archive, version);
    }
    return;
  }
  long long count = archive.read_integer();
  for (long long i = 0; i < count && !archive.failed(); ++i) {
    std::unique_ptr<ProjectNode> child = make_child_node(archive.read_integer());
    if (child) adopt(std::move(child)).serialize(archive, version);
  }
}

bool ProjectNode::generate() {
  for (auto& child : children_) {
    if (!child->generate()) return false;
  }
  return true;
}

Project::Project(std::string name) : ProjectNode(NodeType::project) { set_name(std::move(name)); }
Subsystem::Subsystem() : ProjectNode(NodeType::subsystem) {}
ModelFileNode::ModelFileNode() : ProjectNode(NodeType::model_file) {}
TemplateFileNode::TemplateFileNode() : ProjectNode(NodeType::template_file) {}
GenerationRule::GenerationRule() : ProjectNode(NodeType::generation_rule) {}

namespace {

template <class Node>
const Node* find_child(const ProjectNode& parent, NodeType type) {
  for (size_t i = 0; i < parent.child_count(); ++i) {
    if (parent.child(i).type_id() == type) return static_cast<const Node*>(&parent.child(i));
  }
  return nullptr;
}

}  // namespace

const ModelFileNode* GenerationRule::find_model_file() const {
  return find_child<ModelFileNode>(*this, NodeType::model_file);
}

const TemplateFileNode* GenerationRule::find_template_file() const {
  return find_child<TemplateFileNode>(*this, NodeType::template_file);
}

ModelFileNode& GenerationRule::model_file() {
  if (const ModelFileNode* found = find_model_file()) return const_cast<ModelFileNode&>(*found);
  return static_cast<ModelFileNode&>(adopt(std::make_unique<ModelFileNode>()));
}

TemplateFileNode& GenerationRule::template_file() {
  if (const TemplateFileNode* found = find_template_file()) return const_cast<TemplateFileNode&>(*found);
  return static_cast<TemplateFileNode&>(adopt(std::make_unique<TemplateFileNode>()));
}

std::string GenerationRule::model_path() const {
  const ModelFileNode* node = find_model_file();
  return node ? node->name() : std::string();
}

std::string GenerationRule::template_path() const {
  const TemplateFileNode* node = find_template_file();
  return node ? node->name() : std::string();
}

void GenerationRule::serialize(ProjectArchive& archive, int version) {
  ProjectNode::serialize(archive, version);
  std::string model = model_path();
  std::string templ = template_path();
  archive.transfer(model, "dsmPath");
  archive.transfer(templ, "temPath");
  if (archive.is_writing()) return;
  model_file().set_name(std::move(model));
  template_file().set_name(std::move(templ));
}

}  // namespace quill
