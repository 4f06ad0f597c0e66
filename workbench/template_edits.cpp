#include "workbench/template_edits.h"

#include <QTextBlock>
#include <QTextCursor>
#include <functional>

#include "workbench/code_editor.h"

namespace quill {

namespace {

constexpr const char* kWrapperNames[] = {
    "block",          "each_obj",        "each_attr",       "each_function",  "each_parameter",
    "each_event",     "each_state",      "each_instance",   "each_assignment", "each_parent",
    "each_ancestor",  "each_used_object", "each_using_attr", "each_process",   "each_flow",
    "each_transition", "each_pragma_value", "each_foreign_type", "each_literal", "each_var_item",
    "module",
};

constexpr int kIndentWidth = 4;

// Runs edit on every block the selection touches, as one undoable step. A
// selection that ends at the very start of a line does not touch that line.
// The selection afterwards spans the whole edited lines.
void for_each_selected_line(CodeEditor& editor, const std::function<void(QTextCursor&)>& edit) {
  QTextCursor selection = editor.textCursor();
  QTextDocument* document = editor.document();
  const int first = document->findBlock(selection.selectionStart()).blockNumber();
  QTextBlock last_block = document->findBlock(selection.selectionEnd());
  if (selection.hasSelection() && last_block.position() == selection.selectionEnd() &&
      last_block.blockNumber() > first)
    last_block = last_block.previous();
  const int last = last_block.blockNumber();
  QTextCursor cursor(document);
  cursor.beginEditBlock();
  for (int n = first; n <= last; ++n) {
    cursor.setPosition(document->findBlockByNumber(n).position());
    edit(cursor);
  }
  cursor.endEditBlock();
  QTextBlock end = document->findBlockByNumber(last);
  cursor.setPosition(document->findBlockByNumber(first).position());
  cursor.setPosition(end.position() + end.length() - 1, QTextCursor::KeepAnchor);
  editor.setTextCursor(cursor);
}

}  // namespace

QStringList wrapper_names() {
  QStringList names;
  for (const char* name : kWrapperNames) names << QString::fromLatin1(name);
  return names;
}

void apply_wrapper(CodeEditor& editor, const QString& name) {
  QTextCursor cursor = editor.textCursor();
  QString selected = cursor.selectedText();
  selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  // The statements must stand on lines of their own, whatever the selection's ends.
  const int start = cursor.selectionStart();
  const bool mid_line = start != cursor.document()->findBlock(start).position();
  QString text = mid_line ? QStringLiteral("\n") : QString();
  text += "." + name + "\n" + selected;
  if (!selected.isEmpty() && !selected.endsWith(QLatin1Char('\n'))) text += "\n";
  text += ".end " + name + "\n";
  cursor.insertText(text);
  editor.setTextCursor(cursor);
}

void indent_lines(CodeEditor& editor) {
  const QString spaces(kIndentWidth, QLatin1Char(' '));
  for_each_selected_line(editor, [&spaces](QTextCursor& cursor) { cursor.insertText(spaces); });
}

void undent_lines(CodeEditor& editor) {
  const QString spaces(kIndentWidth, QLatin1Char(' '));
  for_each_selected_line(editor, [&spaces](QTextCursor& cursor) {
    if (!cursor.block().text().startsWith(spaces)) return;
    cursor.setPosition(cursor.position() + kIndentWidth, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
  });
}

void transform_lines(CodeEditor& editor) {
  for_each_selected_line(editor, [](QTextCursor& cursor) { cursor.insertText(QStringLiteral("    :")); });
}

void escape_chars(CodeEditor& editor) {
  QTextCursor cursor = editor.textCursor();
  if (!cursor.hasSelection()) return;
  const QString selected = cursor.selectedText();
  QString escaped;
  escaped.reserve(selected.size() * 2);
  for (QChar c : selected) {
    if (c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('\\')) escaped += QLatin1Char('\\');
    escaped += c == QChar::ParagraphSeparator ? QChar(QLatin1Char('\n')) : c;
  }
  const int start = cursor.selectionStart();
  cursor.insertText(escaped);
  cursor.setPosition(start);
  cursor.setPosition(start + static_cast<int>(escaped.size()), QTextCursor::KeepAnchor);
  editor.setTextCursor(cursor);
}

void insert_text(CodeEditor& editor, const QString& text) {
  QTextCursor cursor = editor.textCursor();
  cursor.insertText(text);
  editor.setTextCursor(cursor);
}

}  // namespace quill
