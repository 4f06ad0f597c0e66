#include "workbench/file_index.h"

#include <QDir>
#include <QFileInfo>
#include <string>
#include <vector>

#include "foundation/platform.h"
#include "foundation/settings.h"
#include "workbench/profile.h"

namespace quill {

namespace {

QString escaped(const QString& field) {
  QString out;
  out.reserve(field.size());
  for (QChar c : field) {
    switch (c.unicode()) {
      case '\\': out += QLatin1String("\\\\"); break;
      case '\t': out += QLatin1String("\\t"); break;
      case '\r': out += QLatin1String("\\r"); break;
      case '\n': out += QLatin1String("\\n"); break;
      default: out += c;
    }
  }
  return out;
}

QString unescaped(const QString& field) {
  QString out;
  out.reserve(field.size());
  for (qsizetype i = 0; i < field.size(); ++i) {
    if (field[i] != QLatin1Char('\\') || i + 1 == field.size()) {
      out += field[i];
      continue;
    }
    const QChar next = field[++i];
    if (next == QLatin1Char('t'))
      out += QLatin1Char('\t');
    else if (next == QLatin1Char('r'))
      out += QLatin1Char('\r');
    else if (next == QLatin1Char('n'))
      out += QLatin1Char('\n');
    else
      out += next;
  }
  return out;
}

const char* index_name(DocKind kind) { return kind == DocKind::model ? "dsms.tbl" : "tems.tbl"; }

}  // namespace

FileTitle read_file_title(const QString& path, const QString& prefix) {
  FileTitle result;
  std::vector<std::string> lines;
  if (!platform::read_lines(path.toStdString(), lines) || lines.empty()) return result;
  const std::string head = prefix.toStdString();
  if (lines[0].compare(0, head.size(), head) != 0) return result;
  result.title = QString::fromStdString(lines[0].substr(head.size()));
  for (size_t i = 1; i < lines.size() && lines[i].compare(0, head.size(), head) == 0; ++i) {
    result.description += QString::fromStdString(lines[i].substr(head.size())) + "\r\n";
  }
  return result;
}

QString title_prefix(DocKind kind) {
  return kind == DocKind::model ? QStringLiteral("-- ") : QStringLiteral("# ");
}

QString index_path(DocKind kind) {
  const std::string program_dir = settings().get("QUILL_Dir");
  QString dir = QString::fromStdString(program_dir);
  if (program_dir.empty() || !platform::is_writable_directory(program_dir))
    dir = QString::fromStdString(profile_directory());
  return QDir(dir).filePath(QString::fromLatin1(index_name(kind)));
}

QList<IndexEntry> scan_directory(const QString& dir, DocKind kind,
                                 const std::function<void(const QString&)>& status) {
  QList<IndexEntry> entries;
  const QString extension = QString::fromLatin1(kind_row(kind).extension);
  const QString prefix = title_prefix(kind);
  QStringList pending{QDir(dir).absolutePath()};
  while (!pending.isEmpty()) {
    const QString current = pending.takeFirst();
    if (status) status(QStringLiteral("Scanning: ") + current);
    const QFileInfoList found = QDir(current).entryInfoList(
        QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable, QDir::Name);
    QStringList subdirs;
    for (const QFileInfo& info : found) {
      if (info.isDir()) {
        if (!info.isSymLink()) subdirs << info.absoluteFilePath();
      } else if (info.fileName().endsWith(extension, Qt::CaseInsensitive)) {
        const FileTitle title = read_file_title(info.absoluteFilePath(), prefix);
        entries.append({info.absoluteFilePath(), title.title, title.description});
      }
    }
    pending = subdirs + pending;  // depth first, in name order
  }
  if (status) status(QStringLiteral("Scan complete."));
  return entries;
}

QString index_text(const QList<IndexEntry>& entries) {
  QString text;
  for (const IndexEntry& e : entries)
    text += escaped(e.path) + '\t' + escaped(e.title) + '\t' + escaped(e.description) + '\n';
  return text;
}

QList<IndexEntry> parse_index(const QString& text) {
  QList<IndexEntry> entries;
  for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    const QStringList fields = line.split(QLatin1Char('\t'));
    if (fields.size() != 3) continue;
    entries.append({unescaped(fields[0]), unescaped(fields[1]), unescaped(fields[2])});
  }
  return entries;
}

bool rebuild_index(const QString& dir, DocKind kind, QList<IndexEntry>& entries,
                   const std::function<void(const QString&)>& status) {
  entries = scan_directory(dir, kind, status);
  const QString path = index_path(kind);
  QDir().mkpath(QFileInfo(path).absolutePath());
  return platform::write_file(path.toStdString(), index_text(entries).toStdString());
}

QList<IndexEntry> read_index(DocKind kind) {
  std::string bytes;
  if (!platform::read_file(index_path(kind).toStdString(), bytes)) return {};
  return parse_index(QString::fromStdString(bytes));
}

}  // namespace quill
