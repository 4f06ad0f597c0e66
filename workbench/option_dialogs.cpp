#include "workbench/option_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "foundation/platform.h"
#include "foundation/settings.h"
#include "workbench/dialogs.h"
#include "workbench/template_catalog.h"

namespace quill {

namespace {

QString setting(const char* key) { return QString::fromStdString(settings().get(key)); }

QCheckBox* switch_box(const char* text, const char* key, QWidget* parent) {
  auto* box = new QCheckBox(QString::fromLatin1(text), parent);
  box->setChecked(settings().get(key) == "true");
  return box;
}

void store_switch(const char* key, const QCheckBox& box) {
  settings().set(key, box.isChecked() ? "true" : "false");
}

QDialogButtonBox* ok_cancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

// A line edit with a button beside it.
QHBoxLayout* field_row(QLineEdit* field, std::initializer_list<QPushButton*> buttons) {
  auto* row = new QHBoxLayout;
  row->addWidget(field, 1);
  for (QPushButton* b : buttons) row->addWidget(b);
  return row;
}

}  // namespace

bool acceptable_output_dir(const QString& dir, Dialogs& dialogs) {
  if (!QFileInfo(dir).isDir()) {
    dialogs.show_box(BoxKind::error, QStringLiteral("Folder path %1 not found.").arg(dir));
    return false;
  }
  if (!platform::is_writable_directory(dir.toStdString())) {
    dialogs.show_box(BoxKind::error, QStringLiteral("Folder must be writable"));
    return false;
  }
  return true;
}

// --- Code Generation Options ------------------------------------------------

GenerationOptionsDialog::GenerationOptionsDialog(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Code Generation Options..."));
  template_ = new QLineEdit(setting("CGenTemplate"), this);
  output_dir_ = new QLineEdit(setting("CGenOutdir"), this);
  trace_ = switch_box("Trace Lines", "TraceTemLines", this);
  show_files_ = switch_box("Show Filenames As They Are Generated", "ShowFileNames", this);
  show_summary_ = switch_box("Show Generated File Summary", "ShowGenSummary", this);
  unix_eol_ = switch_box("Emit UNIX Style End-of-line Chars (LF only)", "StripReturns", this);

  auto* browse_template = new QPushButton(QStringLiteral("Browse..."), this);
  auto* info = new QPushButton(QStringLiteral("View Template Info"), this);
  auto* browse_dir = new QPushButton(QStringLiteral("Browse..."), this);
  auto* defaults = new QPushButton(QStringLiteral("Set Defaults"), this);
  connect(browse_template, &QPushButton::clicked, this, [this] {
    QString path = dialogs_.open_file_name(QString::fromLatin1(kTemplateFileTitle),
                                           QString::fromLatin1(kTemplateFileFilter));
    if (!path.isEmpty()) template_->setText(QFileInfo(path).absoluteFilePath());
  });
  connect(info, &QPushButton::clicked, this, &GenerationOptionsDialog::view_template_info);
  connect(browse_dir, &QPushButton::clicked, this, [this] {
    QString dir = dialogs_.folder_name(QStringLiteral("Choose Folder"), output_dir_->text());
    if (!dir.isEmpty() && acceptable_output_dir(dir, dialogs_)) output_dir_->setText(dir);
  });
  connect(defaults, &QPushButton::clicked, this, &GenerationOptionsDialog::set_defaults);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Template"), field_row(template_, {browse_template, info}));
  form->addRow(QStringLiteral("Output Directory"), field_row(output_dir_, {browse_dir}));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  for (QCheckBox* box : {trace_, show_files_, show_summary_, unix_eol_}) layout->addWidget(box);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(defaults);
  bottom->addStretch();
  bottom->addWidget(ok_cancel(this));
  layout->addLayout(bottom);
  resize(620, 0);
}

void GenerationOptionsDialog::set_defaults() {
  template_->setText(setting("CGenTemplateDefault"));
  output_dir_->setText(setting("CGenOutdirDefault"));
}

void GenerationOptionsDialog::view_template_info() {
  quill::view_template_info(template_->text().trimmed(), dialogs_, InfoTexts::view_template_info);
}

void GenerationOptionsDialog::accept() {
  if (acceptable_output_dir(output_dir_->text().trimmed(), dialogs_)) QDialog::accept();
}

bool GenerationOptionsDialog::apply() {
  const QString dir = output_dir_->text().trimmed();
  if (dir != setting("CGenOutdir") && !acceptable_output_dir(dir, dialogs_)) return false;
  settings().set("CGenTemplate", template_->text().trimmed().toStdString());
  settings().set("CGenOutdir", dir.toStdString());
  store_switch("TraceTemLines", *trace_);
  store_switch("ShowFileNames", *show_files_);
  store_switch("ShowGenSummary", *show_summary_);
  store_switch("StripReturns", *unix_eol_);
  return true;
}

// --- DSM Input Options ------------------------------------------------------

DsmInputOptionsDialog::DsmInputOptionsDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Select DSM Input Options..."));
  no_cxx_ = switch_box("Disallow C++ Keywords", "NoCxxKeywords", this);
  no_ada_ = switch_box("Disallow Ada Keywords", "NoAdaKeywords", this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(no_cxx_);
  layout->addWidget(no_ada_);
  layout->addWidget(ok_cancel(this));
}

void DsmInputOptionsDialog::apply() {
  store_switch("NoCxxKeywords", *no_cxx_);
  store_switch("NoAdaKeywords", *no_ada_);
}

// --- Editor tool -------------------------------------------------------------

EditorToolsDialog::EditorToolsDialog(Dialogs& dialogs, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Specify Editor Tools ..."));
  editor_ = new QLineEdit(setting("Editor"), this);
  auto* browse = new QPushButton(QStringLiteral("Browse..."), this);
  connect(browse, &QPushButton::clicked, this, [this, &dialogs] {
    QString program = dialogs.open_file_name(QStringLiteral("Select File Viewing Editor..."),
                                             QStringLiteral("Exe Files (*.exe);;All Files (*)"));
    if (!program.isEmpty()) editor_->setText(program);
  });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Program used to view generated files:"), this));
  layout->addLayout(field_row(editor_, {browse}));
  layout->addWidget(ok_cancel(this));
  resize(480, 0);
}

void EditorToolsDialog::apply() { settings().set("Editor", editor_->text().trimmed().toStdString()); }

}  // namespace quill
