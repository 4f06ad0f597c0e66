// The template catalog template.tbl: one line per library template with
// its file name (relative to the library directory), title and description.
// Also the description file of a template (.HLP or .DOC beside it).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace quill {

class Dialogs;

struct CatalogEntry {
  QString file;  // as written, relative to the library directory
  QString title;
  QString description;
};

// Lines that begin with a blank or "#" are skipped; every other line counts
// when it splits at "|" into exactly three fields (each trimmed).
QList<CatalogEntry> parse_catalog(const QStringList& lines);

enum class CatalogRead { ok, missing, unreadable, no_entries };

// Finds the catalog in QUILLTLIB, else QUILL_Dir, else "."; the directory
// that holds it becomes QUILL_TemLibDir. path receives the catalog's path
// (the last one tried when there is none).
CatalogRead read_template_catalog(QList<CatalogEntry>& entries, QString& path);

// The box text of a catalog that could not be used ("" for ok).
QString catalog_failure_text(CatalogRead result, const QString& path);

// Which texts the description commands report.
enum class InfoTexts { view_template_info, more_info };

// Opens the template's description: the .HLP file with the desktop's "open"
// action, else the .DOC file in the Editor program; a box when neither
// exists or the editor is not set. True when something was opened.
bool view_template_info(const QString& template_path, Dialogs& dialogs, InfoTexts texts);

// The path with its last extension replaced by extension (appended when it has none).
QString with_extension(const QString& path, const QString& extension);

}  // namespace quill
