// The three kinds of workbench document and the facts that tell them apart.
#pragma once

#include <QString>

namespace quill {

enum class DocKind { model, template_, project };

struct DocKindRow {
  DocKind kind;
  const char* extension;   // with the dot
  const char* type_name;   // the desktop file type
  const char* filter;      // for file dialogs
  const char* new_text;    // what a new text document starts with
  const char* untitled;    // base of the names of unsaved documents
  const char* mime_type;   // the desktop's name of the file type
};

const DocKindRow& kind_row(DocKind kind);
// The three kinds in the order model, template, project.
inline constexpr DocKind kAllKinds[] = {DocKind::model, DocKind::template_, DocKind::project};

// The kind whose extension the path ends with (any case); false for none.
bool kind_of_path(const QString& path, DocKind& kind);

// All three filters and "All Files (*)", in Qt's ";;" form, the kind's own first.
QString open_filter();
QString save_filter(DocKind kind);

}  // namespace quill
