// The Properties dialog of a project node: General and Output pages for
// every node, Model and Template pages for a generation rule. The fields are
// copied into the node only by apply().
#pragma once

#include <QDialog>
#include <functional>

#include "workbench/file_index.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace quill {

class Dialogs;
class ProjectNode;

class NodePropertiesDialog : public QDialog {
  Q_OBJECT

 public:
  NodePropertiesDialog(ProjectNode& node, Dialogs& dialogs, QWidget* parent = nullptr);

  // Copies the fields into the node.
  void apply();
  // Where Rebuild Index reports its progress (the main window's status bar).
  void set_status(std::function<void(const QString&)> status) { status_ = std::move(status); }

  // The fields, for callers that fill the dialog themselves.
  QLineEdit* name_edit() const { return name_; }
  QPlainTextEdit* description_edit() const { return description_; }
  QCheckBox* inherit_box() const { return inherit_; }
  QLineEdit* output_dir_edit() const { return output_dir_; }
  QCheckBox* show_files_box() const { return show_files_; }
  QCheckBox* show_summary_box() const { return show_summary_; }
  QCheckBox* save_history_box() const { return save_hist_; }
  QCheckBox* unix_eol_box() const { return unix_eol_; }
  QCheckBox* trace_box() const { return trace_; }
  QLineEdit* model_file_edit() const { return model_file_; }      // null unless a rule
  QLineEdit* template_file_edit() const { return template_file_; }  // null unless a rule
  // The index lists of the Model and Template pages (null unless a rule).
  QListWidget* index_list(DocKind kind) const { return kind == DocKind::model ? model_index_ : template_index_; }
  // Rebuild Index of the kind's page: asks for a directory, scans it and
  // writes the index; the page then lists the new index.
  void rebuild_index_of(DocKind kind);

 private:
  QWidget* general_page();
  QWidget* output_page();
  QWidget* file_page(DocKind kind, QLineEdit*& filename, QListWidget*& index);
  void show_index(QListWidget& list, const QList<IndexEntry>& entries);
  void browse_output_dir();
  void edit_file(const QLineEdit* filename);

  ProjectNode& node_;
  Dialogs& dialogs_;
  QLineEdit* name_ = nullptr;
  QPlainTextEdit* description_ = nullptr;
  QCheckBox* inherit_ = nullptr;
  QLineEdit* output_dir_ = nullptr;
  QCheckBox* show_files_ = nullptr;
  QCheckBox* show_summary_ = nullptr;
  QCheckBox* save_hist_ = nullptr;
  QCheckBox* unix_eol_ = nullptr;
  QCheckBox* trace_ = nullptr;
  QLineEdit* model_file_ = nullptr;
  QLineEdit* template_file_ = nullptr;
  QListWidget* model_index_ = nullptr;
  QListWidget* template_index_ = nullptr;
  std::function<void(const QString&)> status_;
};

}  // namespace quill
