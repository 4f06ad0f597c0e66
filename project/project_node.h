// The project tree: a Project at the root, Subsystems inside, GenerationRules
// as leaves. A rule names its model and template through two child nodes
// whose names are the file paths. Output settings that a node does not hold
// itself are taken from its parent (the inherit flag, "deferUpward").
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace quill {

class ProjectArchive;

// The type identifiers written before every child in a project file.
enum class NodeType : int {
  project = 0,
  subsystem = 1,
  generation_rule = 2,
  model_file = 3,
  template_file = 4,
};

class ProjectNode {
 public:
  ProjectNode(const ProjectNode&) = delete;
  ProjectNode& operator=(const ProjectNode&) = delete;

  // Writes or reads this node's fields and its children, in file order.
  virtual void serialize(ProjectArchive& archive, int version);
  virtual ~ProjectNode();
  virtual NodeType type_id() const = 0;
  // Generates every rule below this node in tree order; false stops the run.
  virtual bool generate();

  // "Project", "Subsystem", "Generation Rule", ...: how messages name the kind.
  const char* kind_label() const;

  const std::string& name() const { return name_; }
  void set_name(std::string name) { name_ = std::move(name); }
  const std::string& description() const { return description_; }
  void set_description(std::string text) { description_ = std::move(text); }
  const std::string& output_dir() const { return output_dir_; }
  void set_output_dir(std::string dir) { output_dir_ = std::move(dir); }

  // The node's own flags (see the effective_ functions for inherited values).
  bool inherits() const { return inherit_; }
  void set_inherits(bool on) { inherit_ = on; }
  bool trace_tem() const { return trace_tem_; }
  void set_trace_tem(bool on) { trace_tem_ = on; }
  bool show_summary() const { return show_summary_; }
  void set_show_summary(bool on) { show_summary_ = on; }
  bool show_gen_files() const { return show_gen_files_; }
  void set_show_gen_files(bool on) { show_gen_files_ = on; }
  bool save_hist() const { return save_hist_; }
  void set_save_hist(bool on) { save_hist_ = on; }
  bool emit_unix_eol() const { return emit_unix_eol_; }
  void set_emit_unix_eol(bool on) { emit_unix_eol_ = on; }

  // The node whose own values are the effective inheritable settings of this
  // one: the parent's source when the inherit flag is set and there is a
  // parent, else this node.
  const ProjectNode& settings_source() const;
  const std::string& effective_output_dir() const { return settings_source().output_dir_; }
  bool effective_trace_tem() const { return settings_source().trace_tem_; }
  bool effective_show_summary() const { return settings_source().show_summary_; }
  bool effective_show_gen_files() const { return settings_source().show_gen_files_; }
  bool effective_emit_unix_eol() const { return settings_source().emit_unix_eol_; }

  ProjectNode* parent() const { return parent_; }
  size_t child_count() const { return children_.size(); }
  ProjectNode& child(size_t index) const { return *children_[index]; }

  // Appends a node that has no parent yet as the last child; returns it.
  ProjectNode& adopt(std::unique_ptr<ProjectNode> node);
  // Moves this node from its parent to the end of new_parent's children.
  // Refused (false) when new_parent is this node or lies below it.
  bool attach_to(ProjectNode& new_parent);
  // Takes this node out of its parent's children and hands it to the caller
  // (null when it has no parent).
  std::unique_ptr<ProjectNode> detach();

 protected:
  explicit ProjectNode(NodeType type);

 private:
  void serialize_children(ProjectArchive& archive, int version);

  std::string name_;
  std::string description_;
  std::vector<std::unique_ptr<ProjectNode>> children_;
  ProjectNode* parent_ = nullptr;
  std::string output_dir_;
  bool inherit_ = false;
  bool trace_tem_ = false;
  bool show_summary_ = true;
  bool show_gen_files_ = true;
  bool save_hist_ = false;
  bool emit_unix_eol_ = false;
};

class Project : public ProjectNode {
 public:
  explicit Project(std::string name = "New Project");
  NodeType type_id() const override { return NodeType::project; }
};

class Subsystem : public ProjectNode {
 public:
  Subsystem();
  NodeType type_id() const override { return NodeType::subsystem; }
};

// The model file of a rule; its name is the file path. Writes nothing itself.
class ModelFileNode : public ProjectNode {
 public:
  ModelFileNode();
  NodeType type_id() const override { return NodeType::model_file; }
  void serialize(ProjectArchive&, int) override {}
};

// The template file of a rule; its name is the file path. Writes nothing itself.
class TemplateFileNode : public ProjectNode {
 public:
  TemplateFileNode();
  NodeType type_id() const override { return NodeType::template_file; }
  void serialize(ProjectArchive&, int) override {}
};

class GenerationRule : public ProjectNode {
 public:
  GenerationRule();
  NodeType type_id() const override { return NodeType::generation_rule; }
  // The node's fields and children, then the model and template paths.
  void serialize(ProjectArchive& archive, int version) override;
  // Compiles the rule's model and generates from it with its settings.
  bool generate() override;

  // The file nodes, created (as the last child) on first use.
  ModelFileNode& model_file();
  TemplateFileNode& template_file();
  // The file nodes when they exist, else null.
  const ModelFileNode* find_model_file() const;
  const TemplateFileNode* find_template_file() const;
  // The file paths, "" when the node does not exist.
  std::string model_path() const;
  std::string template_path() const;
};

// The initial name of a node kind ("New Subsystem", "<not set>", ...).
const char* initial_name(NodeType type);

// A new node for a child type identifier read from a file or clipboard:
// a Subsystem for 1, a GenerationRule for 2, null for anything else.
std::unique_ptr<ProjectNode> make_child_node(long long type_id);

}  // namespace quill
