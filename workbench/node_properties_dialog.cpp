#include "workbench/node_properties_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <vector>

#include "foundation/platform.h"
#include "foundation/settings.h"
#include "project/project_node.h"
#include "workbench/dialogs.h"
#include "workbench/document_kind.h"

namespace quill {

namespace {

constexpr const char* kNotSet = "<Not Set>";

QString dialog_title(const ProjectNode& node) {
  switch (node.type_id()) {
    case NodeType::project: return QStringLiteral("Project Properties");
    case NodeType::subsystem: return QStringLiteral("Subsystem Properties");
    default: return QStringLiteral("Generation Rule Properties");
  }
}

QCheckBox* check_box(const char* text, bool on, QWidget* parent) {
  auto* box = new QCheckBox(QString::fromLatin1(text), parent);
  box->setChecked(on);
  return box;
}

QString shown_path(const std::string& path) {
  return path.empty() || path == "<not set>" ? QString::fromLatin1(kNotSet)
                                             : QString::fromStdString(path);
}

std::string stored_path(const QString& shown) {
  QString text = shown.trimmed();
  return text.isEmpty() || text == QLatin1String(kNotSet) ? "<not set>" : text.toStdString();
}

}  // namespace

NodePropertiesDialog::NodePropertiesDialog(ProjectNode& node, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), node_(node), dialogs_(dialogs) {
  setWindowTitle(dialog_title(node));
  auto* tabs = new QTabWidget(this);
  tabs->addTab(general_page(), QStringLiteral("General"));
  tabs->addTab(output_page(), QStringLiteral("Output"));
  if (node.type_id() == NodeType::generation_rule) {
    tabs->addTab(file_page(DocKind::model, model_file_, model_index_), QStringLiteral("Model"));
    tabs->addTab(file_page(DocKind::template_, template_file_, template_index_),
                 QStringLiteral("Template"));
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs);
  layout->addWidget(buttons);
}

QWidget* NodePropertiesDialog::general_page() {
  auto* page = new QWidget;
  name_ = new QLineEdit(QString::fromStdString(node_.name()), page);
  description_ = new QPlainTextEdit(QString::fromStdString(node_.description()), page);
  auto* form = new QFormLayout(page);
  form->addRow(QStringLiteral("Thing name"), name_);
  form->addRow(QStringLiteral("Description"), description_);
  return page;
}

QWidget* NodePropertiesDialog::output_page() {
  auto* page = new QWidget;
  inherit_ = check_box("Take settings from parent subsystem/project", node_.inherits(), page);
  inherit_->setEnabled(node_.parent() != nullptr);
  output_dir_ = new QLineEdit(QString::fromStdString(node_.output_dir()), page);
  auto* browse = new QPushButton(QStringLiteral("Browse..."), page);
  connect(browse, &QPushButton::clicked, this, &NodePropertiesDialog::browse_output_dir);
  show_files_ = check_box("Show Generated Files", node_.show_gen_files(), page);
  show_summary_ = check_box("Show Generation Summary", node_.show_summary(), page);
  save_hist_ = check_box("Save Generation History", node_.save_hist(), page);
  unix_eol_ = check_box("Emit UNIX End-of-line Chars", node_.emit_unix_eol(), page);
  trace_ = check_box("Trace Template Lines", node_.trace_tem(), page);
  auto* dir_row = new QHBoxLayout;
  dir_row->addWidget(output_dir_);
  dir_row->addWidget(browse);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(inherit_);
  layout->addWidget(new QLabel(QStringLiteral("Output Directory"), page));
  layout->addLayout(dir_row);
  for (QCheckBox* box : {show_files_, show_summary_, save_hist_, unix_eol_, trace_})
    layout->addWidget(box);
  layout->addStretch();
  // Inherited settings are the parent's: the node's own values do not apply.
  auto follow_inherit = [this, browse] {
    const bool own = !(inherit_->isEnabled() && inherit_->isChecked());
    for (QWidget* w : std::initializer_list<QWidget*>{output_dir_, browse, show_files_,
                                                      show_summary_, unix_eol_, trace_})
      w->setEnabled(own);
  };
  connect(inherit_, &QCheckBox::toggled, this, follow_inherit);
  follow_inherit();
  return page;
}

QWidget* NodePropertiesDialog::file_page(DocKind kind, QLineEdit*& filename, QListWidget*& index) {
  auto& rule = static_cast<GenerationRule&>(node_);
  const bool model = kind == DocKind::model;
  const QString path = shown_path(model ? rule.model_path() : rule.template_path());
  const QString prefix = title_prefix(kind);
  auto* page = new QWidget;
  filename = new QLineEdit(path, page);
  index = new QListWidget(page);
  auto* title_label = new QLabel(page);
  auto* description_label = new QLabel(page);
  description_label->setWordWrap(true);
  auto* rebuild = new QPushButton(QStringLiteral("Rebuild Index"), page);
  auto* select = new QPushButton(QStringLiteral("Select File Directly"), page);
  auto* edit = new QPushButton(QStringLiteral("Edit File"), page);
  QLineEdit* field = filename;
  auto show_file = [field, title_label, description_label, prefix](const QString& chosen) {
    field->setText(chosen);
    FileTitle t = read_file_title(chosen, prefix);
    title_label->setText(t.title);
    description_label->setText(t.description.remove(QLatin1Char('\r')));
  };
  show_file(path);
  connect(index, &QListWidget::currentItemChanged, this, [show_file](QListWidgetItem* item) {
    if (item) show_file(item->data(Qt::UserRole).toString());
  });
  connect(rebuild, &QPushButton::clicked, this, [this, kind] { rebuild_index_of(kind); });
  connect(select, &QPushButton::clicked, this, [this, kind, model, show_file] {
    QString chosen = dialogs_.open_file_name(
        model ? QStringLiteral("Select Object Model...") : QStringLiteral("Select Template..."),
        save_filter(kind));
    if (!chosen.isEmpty()) show_file(chosen);
  });
  connect(edit, &QPushButton::clicked, this, [this, field] { edit_file(field); });
  auto* form = new QFormLayout(page);
  form->addRow(model ? QStringLiteral("Indexed models") : QStringLiteral("Indexed templates"), index);
  form->addRow(QStringLiteral("Title"), title_label);
  form->addRow(QStringLiteral("Description"), description_label);
  form->addRow(QStringLiteral("Filename"), filename);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {rebuild, select, edit}) buttons->addWidget(b);
  form->addRow(buttons);
  show_index(*index, read_index(kind));
  return page;
}

void NodePropertiesDialog::show_index(QListWidget& list, const QList<IndexEntry>& entries) {
  const QSignalBlocker quiet(list);  // listing is not choosing
  list.clear();
  for (const IndexEntry& entry : entries) {
    auto* item = new QListWidgetItem(entry.title.isEmpty() ? QFileInfo(entry.path).fileName() : entry.title, &list);
    item->setData(Qt::UserRole, entry.path);
    item->setToolTip(entry.path);
  }
}

void NodePropertiesDialog::rebuild_index_of(DocKind kind) {
  QListWidget* list = index_list(kind);
  const QLineEdit* field = kind == DocKind::model ? model_file_ : template_file_;
  if (!list || !field) return;
  QString start = QFileInfo(field->text()).absolutePath();
  const QString dir = dialogs_.folder_name(QStringLiteral("Choose Folder"), start);
  if (dir.isEmpty()) return;
  QList<IndexEntry> entries;
  if (!rebuild_index(dir, kind, entries, status_))
    dialogs_.show_box(BoxKind::error, QStringLiteral("Can't write the index file '%1'.").arg(index_path(kind)));
  show_index(*list, entries);
}

void NodePropertiesDialog::browse_output_dir() {
  QString dir = dialogs_.folder_name(QStringLiteral("Choose Folder"), output_dir_->text());
  if (!dir.isEmpty()) output_dir_->setText(dir);
}

void NodePropertiesDialog::edit_file(const QLineEdit* filename) {
  const QString path = filename->text().trimmed();
  if (path.isEmpty() || path == QLatin1String(kNotSet)) return;
  const QString editor = QString::fromStdString(settings().get("Editor"));
  if (editor.isEmpty()) {
    dialogs_.show_box(BoxKind::error,
                      QStringLiteral("Need Tools->Editor to be set to allow editor launch..."));
    return;
  }
  dialogs_.launch(editor_command(editor, path));
}

void NodePropertiesDialog::apply() {
  node_.set_name(name_->text().toStdString());
  node_.set_description(description_->toPlainText().toStdString());
  node_.set_inherits(inherit_->isChecked());
  node_.set_output_dir(output_dir_->text().trimmed().toStdString());
  node_.set_show_gen_files(show_files_->isChecked());
  node_.set_show_summary(show_summary_->isChecked());
  node_.set_save_hist(save_hist_->isChecked());
  node_.set_emit_unix_eol(unix_eol_->isChecked());
  node_.set_trace_tem(trace_->isChecked());
  if (node_.type_id() != NodeType::generation_rule) return;
  auto& rule = static_cast<GenerationRule&>(node_);
  rule.model_file().set_name(stored_path(model_file_->text()));
  rule.template_file().set_name(stored_path(template_file_->text()));
}

}  // namespace quill
