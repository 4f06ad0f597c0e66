// Select Template by Title (the library catalog) and the Shortcut Code
// Generation dialog of the no-document window.
#pragma once

#include <QDialog>
#include <QList>

#include "workbench/template_catalog.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace quill {

class Dialogs;

// Offers the catalog's titles with their descriptions and the library's location.
class TemplateByTitleDialog : public QDialog {
  Q_OBJECT

 public:
  TemplateByTitleDialog(const QList<CatalogEntry>& entries, Dialogs& dialogs, QWidget* parent = nullptr);

  QListWidget& titles() const { return *titles_; }
  // The full path of the chosen template ("" when none is chosen).
  QString chosen_path() const;
  // More Info: the chosen template's description file.
  void more_info();

 private:
  void show_entry(int row);

  QList<CatalogEntry> entries_;
  Dialogs& dialogs_;
  QListWidget* titles_;
  QLabel* description_;
};

// "Shortcut Code Generation": a model, the template and the output
// directory, then Generate Code.
class ShortcutDialog : public QDialog {
  Q_OBJECT

 public:
  ShortcutDialog(Dialogs& dialogs, QWidget* parent = nullptr);

  QLineEdit& model_edit() const { return *model_; }
  QLineEdit& template_edit() const { return *template_; }
  QLineEdit& output_dir_edit() const { return *output_dir_; }
  // Takes the template and output directory into the settings and runs the
  // compile and generation of the model.
  void generate();
  // Output Options: the Code Generation Options dialog.
  void output_options();

 private:
  Dialogs& dialogs_;
  QLineEdit* model_;
  QLineEdit* template_;
  QLineEdit* output_dir_;
};

}  // namespace quill
