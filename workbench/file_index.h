// The indexes of models and templates (dsms.tbl, tems.tbl) that the Model
// and Template pages of a generation rule list: every file of the kind's
// extension below a chosen directory, with its title and description.
#pragma once

#include <QList>
#include <QString>
#include <functional>

#include "workbench/document_kind.h"

namespace quill {

// The title and description of a model or template file: the first line
// when it begins with prefix ("-- " or "# "), and the following lines that
// begin with it, each without the prefix and ended by CR LF.
struct FileTitle {
  QString title;
  QString description;
};
FileTitle read_file_title(const QString& path, const QString& prefix);
// The title prefix of the kind: "-- " for models, "# " for templates.
QString title_prefix(DocKind kind);

struct IndexEntry {
  QString path;
  QString title;
  QString description;
};

// Where the kind's index lives: beside the program (QUILL_Dir) when that
// directory is writable, else in the per-user configuration directory.
QString index_path(DocKind kind);

// Scans dir and, recursively, its subdirectories (symbolic links to
// directories are not followed) for files of the kind, reporting
// "Scanning: " + directory for each directory and "Scan complete." at the end.
QList<IndexEntry> scan_directory(const QString& dir, DocKind kind,
                                 const std::function<void(const QString&)>& status);

// The index file's text: one entry per line, fields separated by tabs, with
// backslash, tab, CR and LF escaped.
QString index_text(const QList<IndexEntry>& entries);
QList<IndexEntry> parse_index(const QString& text);

// Scans dir and writes the kind's index; false when it cannot be written.
bool rebuild_index(const QString& dir, DocKind kind, QList<IndexEntry>& entries,
                   const std::function<void(const QString&)>& status);
// The kind's index as last written (empty when there is none).
QList<IndexEntry> read_index(DocKind kind);

}  // namespace quill
