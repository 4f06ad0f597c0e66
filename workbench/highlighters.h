// Syntax colouring. Model text is coloured by the engine's own model lexer,
// one line at a time, with the block state remembering an open `{{` text
// block. Template lines are coloured by the engine's line classifier:
// statement lines, the condition before a text line's colon, references in
// angle brackets, `$` directives and `#` comments.
#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace quill {

class ModelHighlighter : public QSyntaxHighlighter {
  Q_OBJECT

 public:
  explicit ModelHighlighter(QTextDocument* document);

 protected:
  void highlightBlock(const QString& text) override;

 private:
  void colour_tokens(const QByteArray& line, int from, const QString& text);
};

class TemplateHighlighter : public QSyntaxHighlighter {
  Q_OBJECT

 public:
  explicit TemplateHighlighter(QTextDocument* document);

 protected:
  void highlightBlock(const QString& text) override;

 private:
  void colour_references(const QString& text, int from, int to);
};

// The formats both highlighters use, so that tests can compare against them.
enum class Style { keyword, comment, string, literal_text, punctuation, statement, condition,
                   reference, directive, unknown };
QTextCharFormat style_format(Style style);

}  // namespace quill
