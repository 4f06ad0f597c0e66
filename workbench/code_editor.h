// The plain-text editor of model and template documents: a fixed-pitch
// font, line numbers in a margin, go-to-line, and selection by byte offsets
// as the engine reports them.
#pragma once

#include <QPlainTextEdit>

namespace quill {

class CodeEditor : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit CodeEditor(QWidget* parent = nullptr);

  // Moves the caret to the start of a 1-based line (clamped to the text).
  void go_to_line(int line);
  // Selects length bytes starting offset bytes after the start of a 1-based
  // line, counting in the UTF-8 text with line feeds as line ends.
  void select_bytes(long line, long offset, long length);

  int line_number_width() const;
  void paint_line_numbers(QPaintEvent* event);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // Dropped files are opened by the main window, not pasted as text.
  bool canInsertFromMimeData(const QMimeData* source) const override;

 private:
  void update_margin(const QRect& rect, int dy);
  QWidget* margin_;
};

}  // namespace quill
