#include "workbench/generated_files_window.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "foundation/settings.h"
#include "workbench/dialogs.h"

namespace quill {

GeneratedFilesWindow::GeneratedFilesWindow(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), list_(new QListWidget(this)) {
  setWindowTitle(QStringLiteral("Generating Files..."));
  setModal(false);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* open = buttons->addButton(QStringLiteral("Open Selected File"),
                                         QDialogButtonBox::ActionRole);
  QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
  connect(open, &QPushButton::clicked, this, &GeneratedFilesWindow::open_selected_file);
  connect(close, &QPushButton::clicked, this, &QDialog::hide);
  connect(list_, &QListWidget::itemDoubleClicked, this, &GeneratedFilesWindow::open_selected_file);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addWidget(buttons);
  resize(520, 300);
}

void GeneratedFilesWindow::restart() {
  list_->clear();
  show();
}

void GeneratedFilesWindow::add_file(const QString& path) {
  list_->addItem(path);
  list_->scrollToBottom();
  if (!isVisible()) show();
}

QStringList GeneratedFilesWindow::files() const {
  QStringList out;
  for (int i = 0; i < list_->count(); ++i) out << list_->item(i)->text();
  return out;
}

void GeneratedFilesWindow::select_row(int row) { list_->setCurrentRow(row); }

void GeneratedFilesWindow::open_selected_file() {
  QListWidgetItem* item = list_->currentItem();
  if (!item) return;
  QString editor = QString::fromStdString(settings().get("Editor"));
  if (editor.isEmpty()) {
    dialogs_.show_box(BoxKind::error, QStringLiteral("No 'Editor' variable defined in .INI file."));
    return;
  }
  dialogs_.launch(editor_command(editor, item->text()));
}

}  // namespace quill
