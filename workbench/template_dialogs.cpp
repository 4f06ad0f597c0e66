#include "workbench/template_dialogs.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "foundation/settings.h"
#include "workbench/dialogs.h"
#include "workbench/generation_commands.h"
#include "workbench/option_dialogs.h"

namespace quill {

namespace {

QString setting(const char* key) { return QString::fromStdString(settings().get(key)); }

QHBoxLayout* field_row(QLineEdit* field, QPushButton* button) {
  auto* row = new QHBoxLayout;
  row->addWidget(field, 1);
  row->addWidget(button);
  return row;
}

}  // namespace

// --- Select Template by Title -------------------------------------------------

TemplateByTitleDialog::TemplateByTitleDialog(const QList<CatalogEntry>& entries, Dialogs& dialogs,
                                             QWidget* parent)
    : QDialog(parent), entries_(entries), dialogs_(dialogs), titles_(new QListWidget(this)),
      description_(new QLabel(this)) {
  setWindowTitle(QStringLiteral("Select Template by Title"));
  for (const CatalogEntry& entry : entries_) titles_->addItem(entry.title);
  description_->setWordWrap(true);
  description_->setMinimumHeight(48);
  description_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* location = new QLabel(QStringLiteral("Template library: ") + setting("QUILL_TemLibDir"), this);
  auto* more = new QPushButton(QStringLiteral("More Info..."), this);
  connect(more, &QPushButton::clicked, this, &TemplateByTitleDialog::more_info);
  connect(titles_, &QListWidget::currentRowChanged, this, &TemplateByTitleDialog::show_entry);
  connect(titles_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->addButton(more, QDialogButtonBox::ActionRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(titles_);
  layout->addWidget(description_);
  layout->addWidget(location);
  layout->addWidget(buttons);
  if (!entries_.isEmpty()) titles_->setCurrentRow(0);
  resize(520, 360);
}

void TemplateByTitleDialog::show_entry(int row) {
  description_->setText(row >= 0 && row < entries_.size() ? entries_[row].description : QString());
}

QString TemplateByTitleDialog::chosen_path() const {
  const int row = titles_->currentRow();
  if (row < 0 || row >= entries_.size()) return {};
  return QDir(setting("QUILL_TemLibDir")).filePath(entries_[row].file);
}

void TemplateByTitleDialog::more_info() {
  const QString path = chosen_path();
  if (!path.isEmpty()) view_template_info(path, dialogs_, InfoTexts::more_info);
}

// --- Shortcut Code Generation -------------------------------------------------

ShortcutDialog::ShortcutDialog(Dialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Shortcut Code Generation"));
  model_ = new QLineEdit(setting("ModelName"), this);
  template_ = new QLineEdit(setting("CGenTemplate"), this);
  output_dir_ = new QLineEdit(setting("CGenOutdir"), this);
  auto* browse_model = new QPushButton(QStringLiteral("Browse..."), this);
  auto* browse_template = new QPushButton(QStringLiteral("Browse..."), this);
  auto* browse_dir = new QPushButton(QStringLiteral("Browse..."), this);
  connect(browse_model, &QPushButton::clicked, this, [this] {
    QString path = dialogs_.open_file_name(QStringLiteral("Select Object Model..."),
                                           QStringLiteral("Quillwork Obj Model (*.dsm);;All Files (*)"));
    if (!path.isEmpty()) model_->setText(QFileInfo(path).absoluteFilePath());
  });
  connect(browse_template, &QPushButton::clicked, this, [this] {
    QString path = dialogs_.open_file_name(QString::fromLatin1(kTemplateFileTitle),
                                           QString::fromLatin1(kTemplateFileFilter));
    if (!path.isEmpty()) template_->setText(QFileInfo(path).absoluteFilePath());
  });
  connect(browse_dir, &QPushButton::clicked, this, [this] {
    QString dir = dialogs_.folder_name(QStringLiteral("Choose Folder"), output_dir_->text());
    if (!dir.isEmpty() && acceptable_output_dir(dir, dialogs_)) output_dir_->setText(dir);
  });
  auto* options = new QPushButton(QStringLiteral("Output Options..."), this);
  auto* generate = new QPushButton(QStringLiteral("Generate Code"), this);
  generate->setDefault(true);
  connect(options, &QPushButton::clicked, this, &ShortcutDialog::output_options);
  connect(generate, &QPushButton::clicked, this, &ShortcutDialog::generate);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->addButton(options, QDialogButtonBox::ActionRole);
  buttons->addButton(generate, QDialogButtonBox::ActionRole);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Model"), field_row(model_, browse_model));
  form->addRow(QStringLiteral("Template"), field_row(template_, browse_template));
  form->addRow(QStringLiteral("Output Directory"), field_row(output_dir_, browse_dir));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  resize(620, 0);
}

void ShortcutDialog::output_options() {
  GenerationOptionsDialog dialog(dialogs_, this);
  dialog.template_edit().setText(template_->text().trimmed());
  dialog.output_dir_edit().setText(output_dir_->text().trimmed());
  if (!dialogs_.run_dialog(dialog) || !dialog.apply()) return;
  template_->setText(setting("CGenTemplate"));
  output_dir_->setText(setting("CGenOutdir"));
}

void ShortcutDialog::generate() {
  const QString dir = output_dir_->text().trimmed();
  if (!acceptable_output_dir(dir, dialogs_)) return;
  settings().set("CGenTemplate", template_->text().trimmed().toStdString());
  settings().set("CGenOutdir", dir.toStdString());
  generate_from_model_file(model_->text().trimmed());
}

}  // namespace quill
