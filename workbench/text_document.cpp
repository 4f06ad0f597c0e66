#include "workbench/text_document.h"

#include <QTextCursor>
#include <QVBoxLayout>

#include "foundation/platform.h"
#include "workbench/code_editor.h"
#include "workbench/highlighters.h"

namespace quill {

TextDocument::TextDocument(DocKind kind, int number, QWidget* parent)
    : Document(kind, number, parent), editor_(new CodeEditor(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(editor_);
  if (kind == DocKind::model)
    new ModelHighlighter(editor_->document());
  else
    new TemplateHighlighter(editor_->document());
  editor_->setPlainText(QString::fromLatin1(kind_row(kind).new_text));
  editor_->moveCursor(QTextCursor::End);
  connect(editor_->document(), &QTextDocument::modificationChanged, this,
          [this] { refresh_title(); });
  refresh_title();
}

QString TextDocument::text() const { return editor_->toPlainText(); }

void TextDocument::replace_text(const QString& text) {
  QTextCursor cursor(editor_->document());
  cursor.select(QTextCursor::Document);
  cursor.insertText(text);
}

bool TextDocument::is_modified() const { return editor_->document()->isModified(); }

void TextDocument::set_modified(bool modified) {
  editor_->document()->setModified(modified);
  refresh_title();
}

bool TextDocument::read_file(const QString& path, QString& error_text) {
  std::string bytes;
  if (!platform::read_file(path.toStdString(), bytes)) {
    error_text = QStringLiteral("The file '%1' cannot be opened.").arg(path);
    return false;
  }
  crlf_ = bytes.find("\r\n") != std::string::npos;
  QString content = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  content.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  editor_->setPlainText(content);
  return true;
}

bool TextDocument::write_file(const QString& path, QString& error_text) {
  QString content = text();
  if (crlf_) content.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  if (!platform::write_file(path.toStdString(), content.toStdString())) {
    error_text = QStringLiteral("The file '%1' cannot be written.").arg(path);
    return false;
  }
  return true;
}

}  // namespace quill
