// The dialogs of the Options and Tools menus: Advanced Generation Options,
// DSM Input Options and the editor tool. Each shows the current settings
// and changes them only in apply(), after its own checks.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace quill {

class Dialogs;

// True when dir is an existing, writable folder; otherwise a box says why
// ("Folder path %s not found.", "Folder must be writable").
bool acceptable_output_dir(const QString& dir, Dialogs& dialogs);

// "Code Generation Options...": template, output directory and four switches.
class GenerationOptionsDialog : public QDialog {
  Q_OBJECT

 public:
  GenerationOptionsDialog(Dialogs& dialogs, QWidget* parent = nullptr);

  // Writes the fields into the settings; false (nothing written) when the
  // output directory is refused.
  bool apply();
  // Set Defaults: the default template and output directory.
  void set_defaults();
  // View Template Info of the template field.
  void view_template_info();

  QLineEdit& template_edit() const { return *template_; }
  QLineEdit& output_dir_edit() const { return *output_dir_; }
  QCheckBox& trace_box() const { return *trace_; }
  QCheckBox& show_files_box() const { return *show_files_; }
  QCheckBox& show_summary_box() const { return *show_summary_; }
  QCheckBox& unix_eol_box() const { return *unix_eol_; }

  void accept() override;

 private:
  Dialogs& dialogs_;
  QLineEdit* template_;
  QLineEdit* output_dir_;
  QCheckBox* trace_;
  QCheckBox* show_files_;
  QCheckBox* show_summary_;
  QCheckBox* unix_eol_;
};

// "Select DSM Input Options...": the reserved words a model may not use.
class DsmInputOptionsDialog : public QDialog {
  Q_OBJECT

 public:
  DsmInputOptionsDialog(QWidget* parent = nullptr);
  void apply();

  QCheckBox& no_cxx_box() const { return *no_cxx_; }
  QCheckBox& no_ada_box() const { return *no_ada_; }

 private:
  QCheckBox* no_cxx_;
  QCheckBox* no_ada_;
};

// "Specify Editor Tools ...": the program that shows generated files.
class EditorToolsDialog : public QDialog {
  Q_OBJECT

 public:
  EditorToolsDialog(Dialogs& dialogs, QWidget* parent = nullptr);
  void apply();

  QLineEdit& editor_edit() const { return *editor_; }

 private:
  QLineEdit* editor_;
};

// File dialog titles and filters of these dialogs.
inline constexpr const char* kTemplateFileTitle = "Select Codegen Template File...";
inline constexpr const char* kTemplateFileFilter = "Template Files (*.tem);;All Files (*)";

}  // namespace quill
