// Model and template documents: a CodeEditor with the kind's colouring. The
// text is held with line feeds; a file is written back with the line ends it
// was read with (line feeds for a new document).
#pragma once

#include "workbench/document.h"

namespace quill {

class CodeEditor;

class TextDocument : public Document {
  Q_OBJECT

 public:
  // A new document holding the kind's starting text.
  TextDocument(DocKind kind, int number, QWidget* parent = nullptr);

  CodeEditor& editor() const { return *editor_; }
  // The text with line feeds only.
  QString text() const;
  // Replaces the whole text as one undoable edit (the document becomes modified).
  void replace_text(const QString& text);

  bool is_modified() const override;
  void set_modified(bool modified) override;

 protected:
  bool read_file(const QString& path, QString& error_text) override;
  bool write_file(const QString& path, QString& error_text) override;

 private:
  CodeEditor* editor_;
  bool crlf_ = false;
};

}  // namespace quill
