// Project documents: the project tree shown as a tree of items, one per
// node. Every edit goes to the ProjectNode tree; the items only show it.
#pragma once

#include <memory>

#include "workbench/document.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace quill {

class Project;
class ProjectNode;

class ProjectDocument : public Document {
  Q_OBJECT

 public:
  // A new project whose root is "New Project".
  ProjectDocument(int number, QWidget* parent = nullptr);
  ~ProjectDocument() override;

  Project& root() const { return *root_; }
  QTreeWidget& tree() const { return *tree_; }

  // The selected node, else the root.
  ProjectNode& selected_node() const;
  // Selects the item showing node.
  void select_node(const ProjectNode& node);

  // True when a subsystem or a rule may be added under node.
  static bool can_hold_children(const ProjectNode& node);
  // Adds a "New Subsystem" or a "New Gen Rule" under the selected node and
  // selects it; null when the selected node cannot hold children.
  ProjectNode* add_subsystem();
  ProjectNode* add_generation_rule();
  // Appends node (with its subtree) under the selected node, shows it, sorts
  // the shown children of the selected node by name and expands them.
  ProjectNode* paste_node(std::unique_ptr<ProjectNode> node);
  // Deletes the selected node and its subtree; false for the root or a file node.
  bool delete_selected();
  // Shows the node's fields again after they were edited.
  void node_changed(const ProjectNode& node);

  bool is_modified() const override { return modified_; }
  void set_modified(bool modified) override;

 protected:
  bool read_file(const QString& path, QString& error_text) override;
  bool write_file(const QString& path, QString& error_text) override;

 private:
  ProjectNode* add_child(std::unique_ptr<ProjectNode> node);
  void rebuild();
  QTreeWidgetItem* add_item(QTreeWidgetItem* parent, ProjectNode& node);
  QTreeWidgetItem* item_of(const ProjectNode& node) const;
  static ProjectNode* node_of(const QTreeWidgetItem* item);
  static void show_node(QTreeWidgetItem& item, const ProjectNode& node);

  std::unique_ptr<Project> root_;
  QTreeWidget* tree_;
  bool modified_ = false;
};

// The name of a rule added from the Add menu.
inline constexpr const char* kNewRuleName = "New Gen Rule";

}  // namespace quill
