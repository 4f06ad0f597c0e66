#include "workbench/document.h"

#include <QFileInfo>

namespace quill {

Document::Document(DocKind kind, int number, QWidget* parent)
    : QWidget(parent),
      kind_(kind),
      untitled_(QString::fromLatin1(kind_row(kind).untitled) + QString::number(number) +
                QString::fromLatin1(kind_row(kind).extension)) {
  setAttribute(Qt::WA_DeleteOnClose);
}

QString Document::display_name() const {
  return path_.isEmpty() ? untitled_ : QFileInfo(path_).fileName();
}

bool Document::load(const QString& path, QString& error_text) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  if (!read_file(absolute, error_text)) return false;
  path_ = absolute;
  set_modified(false);
  refresh_title();
  return true;
}

bool Document::save_as(const QString& path, QString& error_text) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  if (!write_file(absolute, error_text)) return false;
  path_ = absolute;
  set_modified(false);
  refresh_title();
  return true;
}

void Document::refresh_title() {
  setWindowTitle(display_name() + QStringLiteral("[*]"));
  setWindowModified(is_modified());
  emit modification_changed(is_modified());
}

}  // namespace quill
