#include "workbench/template_catalog.h"

#include <QDir>
#include <QFileInfo>
#include <string>
#include <vector>

#include "foundation/platform.h"
#include "foundation/settings.h"
#include "workbench/dialogs.h"

namespace quill {

namespace {

constexpr const char* kCatalogName = "template.tbl";

struct InfoTextRow {
  InfoTexts texts;
  const char* no_editor;
  const char* no_file;
};

constexpr InfoTextRow kInfoTexts[] = {
    {InfoTexts::view_template_info, "Need 'Editor' variable defined in QUILL.INI file.",
     "Need .HLP or .DOC file to describe '%1'"},
    {InfoTexts::more_info, "Need an 'Editor' variable defined in the QUILL.INI file.",
     "Need a .HLP or .DOC file to describe '%1'"},
};

const InfoTextRow& info_texts(InfoTexts texts) {
  return texts == InfoTexts::more_info ? kInfoTexts[1] : kInfoTexts[0];
}

// The description file with this extension, in capitals as on the original
// host or in lower case as usual here; "" when neither exists.
QString existing_description(const QString& template_path, const char* extension) {
  for (const QString& ext : {QString::fromLatin1(extension), QString::fromLatin1(extension).toLower()}) {
    const QString path = with_extension(template_path, ext);
    if (QFileInfo(path).isFile()) return path;
  }
  return {};
}

}  // namespace

QList<CatalogEntry> parse_catalog(const QStringList& lines) {
  QList<CatalogEntry> entries;
  for (const QString& line : lines) {
    if (line.startsWith(QLatin1Char(' ')) || line.startsWith(QLatin1Char('#'))) continue;
    const QStringList fields = line.split(QLatin1Char('|'));
    if (fields.size() != 3) continue;
    entries.append({fields[0].trimmed(), fields[1].trimmed(), fields[2].trimmed()});
  }
  return entries;
}

CatalogRead read_template_catalog(QList<CatalogEntry>& entries, QString& path) {
  entries.clear();
  const QString dirs[] = {QString::fromStdString(platform::get_env("QUILLTLIB")),
                          QString::fromStdString(settings().get("QUILL_Dir")), QStringLiteral(".")};
  QString found_dir;
  for (const QString& dir : dirs) {
    if (dir.isEmpty()) continue;
    path = QDir(dir).filePath(QString::fromLatin1(kCatalogName));
    if (QFileInfo::exists(path)) {
      found_dir = dir;
      break;
    }
  }
  if (found_dir.isEmpty()) return CatalogRead::missing;
  settings().set("QUILL_TemLibDir", found_dir.toStdString());
  std::vector<std::string> lines;
  if (!platform::read_lines(path.toStdString(), lines)) return CatalogRead::unreadable;
  QStringList text;
  for (const std::string& line : lines) text << QString::fromStdString(line);
  entries = parse_catalog(text);
  return entries.isEmpty() ? CatalogRead::no_entries : CatalogRead::ok;
}

QString catalog_failure_text(CatalogRead result, const QString& path) {
  switch (result) {
    case CatalogRead::ok: return {};
    case CatalogRead::missing:
      return QStringLiteral("The template description file '%1' was not found").arg(path);
    case CatalogRead::unreadable:
      return QStringLiteral("The template description file '%1' exists but cannot be opened").arg(path);
    case CatalogRead::no_entries:
      return QStringLiteral("The template description file '%1' has no valid entries").arg(path);
  }
  return {};
}

QString with_extension(const QString& path, const QString& extension) {
  const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
  const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
  return (dot > slash ? path.left(dot) : path) + extension;
}

bool view_template_info(const QString& template_path, Dialogs& dialogs, InfoTexts texts) {
  const InfoTextRow& row = info_texts(texts);
  const QString help = existing_description(template_path, ".HLP");
  if (!help.isEmpty()) return dialogs.open_with_system(help);
  const QString doc = existing_description(template_path, ".DOC");
  if (doc.isEmpty()) {
    dialogs.show_box(BoxKind::error, QString::fromLatin1(row.no_file).arg(template_path));
    return false;
  }
  const QString editor = QString::fromStdString(settings().get("Editor"));
  if (editor.isEmpty()) {
    dialogs.show_box(BoxKind::error, QString::fromLatin1(row.no_editor));
    return false;
  }
  return dialogs.launch(editor_command(editor, doc));
}

}  // namespace quill
