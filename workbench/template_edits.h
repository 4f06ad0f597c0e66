// The template editing commands of the Edit menu. Each acts on the
// editor's selection as one undoable edit; the line commands act on every
// line the selection touches (the caret's line when nothing is selected).
#pragma once

#include <QStringList>

namespace quill {

class CodeEditor;

// The statement names Apply Wrapper offers, in the order offered.
QStringList wrapper_names();

// Replaces the selection by "." + name, the selected text and ".end " + name,
// each on lines of their own.
void apply_wrapper(CodeEditor& editor, const QString& name);
// Four spaces before every selected line.
void indent_lines(CodeEditor& editor);
// Four leading spaces off every selected line that has them.
void undent_lines(CodeEditor& editor);
// "    :" before every selected line: each becomes a plain text statement.
void transform_lines(CodeEditor& editor);
// A backslash before every "<", ">" and "\" of the selection.
void escape_chars(CodeEditor& editor);
// Inserts text at the caret (line feeds only).
void insert_text(CodeEditor& editor, const QString& text);

}  // namespace quill
