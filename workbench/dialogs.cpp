#include "workbench/dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

namespace quill {

namespace {

struct BoxRow {
  BoxKind kind;
  const char* caption;
  QMessageBox::Icon icon;
};

constexpr BoxRow kBoxes[] = {
    {BoxKind::error, "-- Error --", QMessageBox::Critical},
    {BoxKind::warning, "-- Warning --", QMessageBox::Warning},
    {BoxKind::information, "-- Information --", QMessageBox::Information},
    {BoxKind::question, "-- Question --", QMessageBox::Question},
};

const BoxRow& row_of(BoxKind kind) {
  for (const BoxRow& row : kBoxes) {
    if (row.kind == kind) return row;
  }
  return kBoxes[0];
}

}  // namespace

QString box_caption(BoxKind kind) { return QString::fromLatin1(row_of(kind).caption); }

QString editor_command(const QString& editor, const QString& path) {
  return editor + " \"" + path + "\"";
}

bool QtDialogs::show_box(BoxKind kind, const QString& text) {
  QApplication::beep();
  QMessageBox box(row_of(kind).icon, box_caption(kind), text, QMessageBox::NoButton, parent_);
  box.setTextFormat(Qt::PlainText);  // line feeds become line breaks, nothing else is markup
  if (kind == BoxKind::question) {
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return true;
}

SaveChoice QtDialogs::ask_save_changes(const QString& document_name) {
  auto answer = QMessageBox::question(
      parent_, QStringLiteral("Quillwork"), QStringLiteral("Save changes to %1?").arg(document_name),
      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
  if (answer == QMessageBox::Save) return SaveChoice::save;
  return answer == QMessageBox::Discard ? SaveChoice::discard : SaveChoice::cancel;
}

QString QtDialogs::open_file_name(const QString& title, const QString& filter) {
  return QFileDialog::getOpenFileName(parent_, title, QString(), filter);
}

QString QtDialogs::save_file_name(const QString& title, const QString& filter,
                                  const QString& suggested) {
  return QFileDialog::getSaveFileName(parent_, title, suggested, filter);
}

QString QtDialogs::folder_name(const QString& title, const QString& start) {
  return QFileDialog::getExistingDirectory(parent_, title, start);
}

bool QtDialogs::run_dialog(QDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

bool QtDialogs::launch(const QString& command_line) {
  QStringList words = QProcess::splitCommand(command_line);
  if (words.isEmpty()) return false;
  QString program = words.takeFirst();
  return QProcess::startDetached(program, words);
}

bool QtDialogs::open_with_system(const QString& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString QtDialogs::choose_item(const QString& title, const QString& label, const QStringList& items) {
  bool ok = false;
  QString item = QInputDialog::getItem(parent_, title, label, items, 0, false, &ok);
  return ok ? item : QString();
}

}  // namespace quill
