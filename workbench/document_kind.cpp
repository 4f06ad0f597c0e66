#include "workbench/document_kind.h"

#include <QStringList>

namespace quill {

namespace {

constexpr DocKindRow kKinds[] = {
    {DocKind::model, ".dsm", "QUILLDSMFile", "Quillwork Obj Model (*.dsm)",
     "-- New DSM Title\n-- New DSM Description\n\n", "model", "application/x-quillwork-model"},
    {DocKind::template_, ".tem", "QUILLTemplate", "Quillwork Template (*.tem)",
     "# New Template Title\n# New Template Description\n\n", "template",
     "application/x-quillwork-template"},
    {DocKind::project, ".qpj", "QUILLProject", "Quillwork Project (*.qpj)", "", "project",
     "application/x-quillwork-project"},
};

constexpr const char* kAllFiles = "All Files (*)";

}  // namespace

const DocKindRow& kind_row(DocKind kind) {
  for (const DocKindRow& row : kKinds) {
    if (row.kind == kind) return row;
  }
  return kKinds[0];
}

bool kind_of_path(const QString& path, DocKind& kind) {
  for (const DocKindRow& row : kKinds) {
    if (path.endsWith(QLatin1String(row.extension), Qt::CaseInsensitive)) {
      kind = row.kind;
      return true;
    }
  }
  return false;
}

QString open_filter() {
  QStringList filters;
  for (const DocKindRow& row : kKinds) filters << QString::fromLatin1(row.filter);
  filters << QString::fromLatin1(kAllFiles);
  return filters.join(QStringLiteral(";;"));
}

QString save_filter(DocKind kind) {
  return QString::fromLatin1(kind_row(kind).filter) + ";;" + kAllFiles;
}

}  // namespace quill
