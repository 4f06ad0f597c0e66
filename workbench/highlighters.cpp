#include "workbench/highlighters.h"

#include <string>

#include "model/lexer.h"
#include "template/reader.h"

namespace quill {

namespace {

enum BlockState { kPlain = 0, kInsideTextBlock = 1 };

struct StyleRow {
  Style style;
  QColor colour;
  bool bold;
  bool italic;
};

const StyleRow kStyles[] = {
    {Style::keyword, QColor(0, 0, 160), true, false},
    {Style::comment, QColor(0, 128, 0), false, true},
    {Style::string, QColor(160, 0, 0), false, false},
    {Style::literal_text, QColor(110, 60, 0), false, false},
    {Style::punctuation, QColor(100, 0, 120), false, false},
    {Style::statement, QColor(0, 0, 160), true, false},
    {Style::condition, QColor(128, 80, 0), false, false},
    {Style::reference, QColor(0, 110, 150), true, false},
    {Style::directive, QColor(160, 0, 110), true, false},
    {Style::unknown, QColor(200, 0, 0), false, false},
};

// The style of a model token kind, false for plain text.
bool model_style(TokenKind kind, Style& style) {
  if (kind <= TokenKind::language_keyword) {
    style = Style::keyword;
  } else if (kind == TokenKind::line_comment || kind == TokenKind::margin_comment) {
    style = Style::comment;
  } else if (kind == TokenKind::str_literal) {
    style = Style::string;
  } else if (kind == TokenKind::multiline_text) {
    style = Style::literal_text;
  } else if (kind == TokenKind::double_l_brace || kind == TokenKind::double_r_brace ||
             kind == TokenKind::right_arrow) {
    style = Style::punctuation;
  } else if (kind == TokenKind::unknown) {
    style = Style::unknown;
  } else {
    return false;
  }
  return true;
}

// Character positions of a UTF-8 line, so that byte offsets map to the QString.
class Positions {
 public:
  explicit Positions(const QByteArray& utf8) : utf8_(utf8) {}
  int at(size_t bytes) const {
    return static_cast<int>(QString::fromUtf8(utf8_.left(static_cast<qsizetype>(bytes))).size());
  }

 private:
  const QByteArray& utf8_;
};

}  // namespace

QTextCharFormat style_format(Style style) {
  QTextCharFormat format;
  for (const StyleRow& row : kStyles) {
    if (row.style != style) continue;
    format.setForeground(row.colour);
    if (row.bold) format.setFontWeight(QFont::Bold);
    format.setFontItalic(row.italic);
  }
  return format;
}

// --- ModelHighlighter -------------------------------------------------------

ModelHighlighter::ModelHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {}

void ModelHighlighter::highlightBlock(const QString& text) {
  const QByteArray line = text.toUtf8();
  setCurrentBlockState(kPlain);
  int from = 0;
  if (previousBlockState() == kInsideTextBlock) {
    int close = line.indexOf("}}");
    Positions positions(line);
    if (close < 0) {
      setFormat(0, static_cast<int>(text.size()), style_format(Style::literal_text));
      setCurrentBlockState(kInsideTextBlock);
      return;
    }
    setFormat(0, positions.at(static_cast<size_t>(close)), style_format(Style::literal_text));
    from = close;
  }
  colour_tokens(line, from, text);
}

void ModelHighlighter::colour_tokens(const QByteArray& line, int from, const QString& text) {
  LexerOptions options;
  options.skip_comments = false;
  const std::string rest(line.constData() + from, static_cast<size_t>(line.size() - from));
  ModelLexer lexer(rest, options);
  Positions positions(line);
  TokenKind last = TokenKind::eof;
  for (TokenKind kind = lexer.next(); kind != TokenKind::eof; kind = lexer.next()) {
    last = kind;
    Style style;
    if (!model_style(kind, style)) continue;
    const size_t start = static_cast<size_t>(from) + lexer.offset();
    const int first = positions.at(start);
    setFormat(first, positions.at(start + lexer.length()) - first, style_format(style));
  }
  // A `{{` whose closing braces are on a later line: the rest is text.
  if (last == TokenKind::double_l_brace) {
    const int first = positions.at(static_cast<size_t>(from) + lexer.offset());
    setFormat(first, static_cast<int>(text.size()) - first, style_format(Style::literal_text));
    setCurrentBlockState(kInsideTextBlock);
  }
}

// --- TemplateHighlighter ----------------------------------------------------

TemplateHighlighter::TemplateHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {}

void TemplateHighlighter::highlightBlock(const QString& text) {
  int indent = 0;
  while (indent < text.size() && text[indent].isSpace()) ++indent;
  if (indent == text.size()) return;
  const int length = static_cast<int>(text.size());
  if (text[indent] == QLatin1Char('#')) {
    setFormat(indent, length - indent, style_format(Style::comment));
    return;
  }
  const StatementKind kind = classify_line(text.mid(indent).toStdString());
  if (kind == stmt_simple) {
    const int colon = static_cast<int>(text.indexOf(QLatin1Char(':'), indent));
    setFormat(indent, colon - indent, style_format(Style::condition));
    colour_references(text, indent, colon);
    int body = colon + 1;
    if (body < length && (text[body] == QLatin1Char('$') || text[body] == QLatin1Char('*'))) {
      int word_end = body;
      while (word_end < length && !text[word_end].isSpace()) ++word_end;
      setFormat(body, word_end - body, style_format(Style::directive));
    }
    colour_references(text, body, length);
  } else if (kind == stmt_unknown) {
    setFormat(indent, length - indent, style_format(Style::unknown));
  } else {
    int word_end = indent;
    while (word_end < length && !text[word_end].isSpace()) ++word_end;
    setFormat(indent, word_end - indent, style_format(Style::statement));
    setFormat(word_end, length - word_end, style_format(Style::condition));
    colour_references(text, word_end, length);
  }
}

// References run from a `<` to the `>` that closes it, nested brackets
// included; a backslash escapes the character after it.
void TemplateHighlighter::colour_references(const QString& text, int from, int to) {
  for (int i = from; i < to; ++i) {
    if (text[i] == QLatin1Char('\\')) {
      ++i;
      continue;
    }
    if (text[i] != QLatin1Char('<')) continue;
    int depth = 1;
    int j = i + 1;
    for (; j < to && depth > 0; ++j) {
      if (text[j] == QLatin1Char('\\')) ++j;
      else if (text[j] == QLatin1Char('<')) ++depth;
      else if (text[j] == QLatin1Char('>')) --depth;
      else if (text[j].isSpace() && depth == 1) break;
    }
    if (depth != 0) continue;
    setFormat(i, j - i, style_format(Style::reference));
    i = j - 1;
  }
}

}  // namespace quill
