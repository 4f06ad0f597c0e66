#include "workbench/project_document.h"

#include <QTreeWidget>
#include <QVBoxLayout>

#include "project/project_file.h"
#include "project/project_node.h"

namespace quill {

namespace {

constexpr int kNodeRole = Qt::UserRole + 1;

// How each kind of node is shown: a prefix for the file nodes of a rule.
QString label_of(const ProjectNode& node) {
  QString name = QString::fromStdString(node.name());
  switch (node.type_id()) {
    case NodeType::model_file: return QStringLiteral("Model: ") + name;
    case NodeType::template_file: return QStringLiteral("Template: ") + name;
    default: return name;
  }
}

// The console's texts end the program; here the document is simply not opened.
QString load_failure_text(ProjectLoad status, const QString& path) {
  switch (status) {
    case ProjectLoad::cannot_open: return QStringLiteral("Can't open project file '%1'.").arg(path);
    case ProjectLoad::bad_version:
      return QStringLiteral("'%1' is not a project file:\nunexpected project file version.").arg(path);
    default:
      return QStringLiteral("Project file '%1' ends before the whole\nproject is read.").arg(path);
  }
}

bool is_below(const QTreeWidgetItem* item, const QTreeWidgetItem* ancestor) {
  for (const QTreeWidgetItem* up = item->parent(); up; up = up->parent()) {
    if (up == ancestor) return true;
  }
  return false;
}

}  // namespace

ProjectDocument::ProjectDocument(int number, QWidget* parent)
    : Document(DocKind::project, number, parent),
      root_(std::make_unique<Project>("New Project")),
      tree_(new QTreeWidget(this)) {
  tree_->setHeaderHidden(true);
  tree_->setColumnCount(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(tree_);
  rebuild();
  refresh_title();
}

ProjectDocument::~ProjectDocument() = default;

ProjectNode* ProjectDocument::node_of(const QTreeWidgetItem* item) {
  if (!item) return nullptr;
  return static_cast<ProjectNode*>(item->data(0, kNodeRole).value<void*>());
}

void ProjectDocument::show_node(QTreeWidgetItem& item, const ProjectNode& node) {
  item.setText(0, label_of(node));
  item.setToolTip(0, QString::fromStdString(node.description()));
}

QTreeWidgetItem* ProjectDocument::add_item(QTreeWidgetItem* parent, ProjectNode& node) {
  auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
  item->setData(0, kNodeRole, QVariant::fromValue(static_cast<void*>(&node)));
  show_node(*item, node);
  for (size_t i = 0; i < node.child_count(); ++i) add_item(item, node.child(i));
  return item;
}

void ProjectDocument::rebuild() {
  tree_->clear();
  add_item(nullptr, *root_);
  tree_->expandAll();
  tree_->setCurrentItem(tree_->topLevelItem(0));
}

QTreeWidgetItem* ProjectDocument::item_of(const ProjectNode& node) const {
  for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
    if (node_of(*it) == &node) return *it;
  }
  return nullptr;
}

ProjectNode& ProjectDocument::selected_node() const {
  ProjectNode* node = node_of(tree_->currentItem());
  return node ? *node : *root_;
}

void ProjectDocument::select_node(const ProjectNode& node) {
  if (QTreeWidgetItem* item = item_of(node)) tree_->setCurrentItem(item);
}

bool ProjectDocument::can_hold_children(const ProjectNode& node) {
  return node.type_id() == NodeType::project || node.type_id() == NodeType::subsystem;
}

ProjectNode* ProjectDocument::add_child(std::unique_ptr<ProjectNode> node) {
  ProjectNode& parent = selected_node();
  if (!node || !can_hold_children(parent)) return nullptr;
  ProjectNode& added = parent.adopt(std::move(node));
  QTreeWidgetItem* item = add_item(item_of(parent), added);
  item->parent()->setExpanded(true);
  tree_->setCurrentItem(item);
  set_modified(true);
  return &added;
}

ProjectNode* ProjectDocument::add_subsystem() { return add_child(std::make_unique<Subsystem>()); }

ProjectNode* ProjectDocument::add_generation_rule() {
  auto rule = std::make_unique<GenerationRule>();
  rule->set_name(kNewRuleName);
  return add_child(std::move(rule));
}

ProjectNode* ProjectDocument::paste_node(std::unique_ptr<ProjectNode> node) {
  ProjectNode& parent = selected_node();
  ProjectNode* added = add_child(std::move(node));
  if (!added) return nullptr;
  QTreeWidgetItem* parent_item = item_of(parent);
  parent_item->sortChildren(0, Qt::AscendingOrder);
  for (int i = 0; i < parent_item->childCount(); ++i) parent_item->child(i)->setExpanded(true);
  return added;
}

bool ProjectDocument::delete_selected() {
  ProjectNode& node = selected_node();
  const NodeType type = node.type_id();
  if (type != NodeType::subsystem && type != NodeType::generation_rule) return false;
  QTreeWidgetItem* item = item_of(node);
  QTreeWidgetItem* parent_item = item->parent();
  delete item;
  node.detach();  // the returned owner destroys the node and its subtree
  tree_->setCurrentItem(parent_item);
  set_modified(true);
  return true;
}

void ProjectDocument::node_changed(const ProjectNode& node) {
  QTreeWidgetItem* item = item_of(node);
  if (!item) return;
  // A rule may have gained its file nodes.
  while (item->childCount() > 0) delete item->takeChild(0);
  for (size_t i = 0; i < node.child_count(); ++i) add_item(item, node.child(i));
  show_node(*item, node);
  for (QTreeWidgetItemIterator it(item); *it && (*it == item || is_below(*it, item)); ++it)
    (*it)->setExpanded(true);
  set_modified(true);
}

void ProjectDocument::set_modified(bool modified) {
  modified_ = modified;
  refresh_title();
}

bool ProjectDocument::read_file(const QString& path, QString& error_text) {
  auto loaded = std::make_unique<Project>("New Project");
  ProjectLoad status = load_project(path.toStdString(), *loaded);
  if (status != ProjectLoad::ok) {
    error_text = load_failure_text(status, path);
    return false;
  }
  root_ = std::move(loaded);
  rebuild();
  return true;
}

bool ProjectDocument::write_file(const QString& path, QString& error_text) {
  if (save_project(path.toStdString(), *root_)) return true;
  error_text = QStringLiteral("The file '%1' cannot be written.").arg(path);
  return false;
}

}  // namespace quill
