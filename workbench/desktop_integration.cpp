#include "workbench/desktop_integration.h"

#include <QMimeDatabase>
#include <QStringList>

#include "foundation/settings.h"
#include "workbench/dialogs.h"
#include "workbench/document_kind.h"

namespace quill {

QString file_types_command(const std::function<bool(const QString&)>& is_known) {
  if (settings().get("SetQuillFileTypes") != "true") return {};
  QStringList types;
  for (DocKind kind : kAllKinds) {
    const QString type = QString::fromLatin1(kind_row(kind).mime_type);
    if (is_known(type)) types << type;
  }
  if (types.isEmpty()) return {};
  return QStringLiteral("xdg-mime default ") + kDesktopFile + " " + types.join(QLatin1Char(' '));
}

void set_file_types(Dialogs& dialogs) {
  const QMimeDatabase database;
  const QString command = file_types_command(
      [&database](const QString& type) { return database.mimeTypeForName(type).isValid(); });
  if (!command.isEmpty()) dialogs.launch(command);
}

}  // namespace quill
