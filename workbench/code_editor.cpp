#include "workbench/code_editor.h"

#include <QFontDatabase>
#include <QMimeData>
#include <QPainter>
#include <QTextBlock>

namespace quill {

namespace {

class LineNumberMargin : public QWidget {
 public:
  explicit LineNumberMargin(CodeEditor* editor) : QWidget(editor), editor_(editor) {}
  QSize sizeHint() const override { return {editor_->line_number_width(), 0}; }

 protected:
  void paintEvent(QPaintEvent* event) override { editor_->paint_line_numbers(event); }

 private:
  CodeEditor* editor_;
};

// The QString position of a UTF-8 byte position within text.
int char_position(const QByteArray& utf8, long bytes) {
  bytes = std::clamp<long>(bytes, 0, utf8.size());
  return static_cast<int>(QString::fromUtf8(utf8.left(bytes)).size());
}

}  // namespace

CodeEditor::CodeEditor(QWidget* parent) : QPlainTextEdit(parent), margin_(new LineNumberMargin(this)) {
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  setFont(font);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setTabStopDistance(fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 4);
  connect(this, &QPlainTextEdit::blockCountChanged, this,
          [this] { setViewportMargins(line_number_width(), 0, 0, 0); });
  connect(this, &QPlainTextEdit::updateRequest, this, &CodeEditor::update_margin);
  setViewportMargins(line_number_width(), 0, 0, 0);
}

int CodeEditor::line_number_width() const {
  int digits = 1;
  for (int max = std::max(1, blockCount()); max >= 10; max /= 10) ++digits;
  return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(digits, 3);
}

void CodeEditor::update_margin(const QRect& rect, int dy) {
  if (dy)
    margin_->scroll(0, dy);
  else
    margin_->update(0, rect.y(), margin_->width(), rect.height());
}

void CodeEditor::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  QRect area = contentsRect();
  margin_->setGeometry(QRect(area.left(), area.top(), line_number_width(), area.height()));
}

void CodeEditor::paint_line_numbers(QPaintEvent* event) {
  QPainter painter(margin_);
  painter.fillRect(event->rect(), QColor(240, 240, 240));
  painter.setPen(QColor(130, 130, 130));
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  const int height = fontMetrics().height();
  while (block.isValid() && top <= event->rect().bottom()) {
    if (block.isVisible()) {
      painter.drawText(0, top, margin_->width() - 4, height, Qt::AlignRight,
                       QString::number(block.blockNumber() + 1));
    }
    top += qRound(blockBoundingRect(block).height());
    block = block.next();
  }
}

bool CodeEditor::canInsertFromMimeData(const QMimeData* source) const {
  return !source->hasUrls() && QPlainTextEdit::canInsertFromMimeData(source);
}

void CodeEditor::go_to_line(int line) {
  QTextBlock block = document()->findBlockByNumber(std::clamp(line, 1, blockCount()) - 1);
  QTextCursor cursor(block);
  setTextCursor(cursor);
  centerCursor();
  setFocus();
}

void CodeEditor::select_bytes(long line, long offset, long length) {
  const QByteArray utf8 = toPlainText().toUtf8();
  long start = 0;
  for (long n = 1; n < line; ++n) {
    long lf = utf8.indexOf('\n', start);
    if (lf < 0) break;
    start = lf + 1;
  }
  const long from = start + std::max(0L, offset);
  QTextCursor cursor(document());
  cursor.setPosition(char_position(utf8, from));
  cursor.setPosition(char_position(utf8, from + std::max(0L, length)), QTextCursor::KeepAnchor);
  setTextCursor(cursor);
  ensureCursorVisible();
}

}  // namespace quill
