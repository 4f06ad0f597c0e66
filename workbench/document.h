// A workbench document and its view in one widget: the file it was read from
// or written to, its kind, and whether it holds unsaved changes. The widget's
// window title is the file name with Qt's "[*]" modified marker.
#pragma once

#include <QWidget>

#include "workbench/document_kind.h"

namespace quill {

class Document : public QWidget {
  Q_OBJECT

 public:
  // number names an unsaved document ("model1.dsm", ...).
  Document(DocKind kind, int number, QWidget* parent = nullptr);

  DocKind kind() const { return kind_; }
  // The absolute path, "" while the document was never saved.
  const QString& path() const { return path_; }
  // The file name, or the name of a never-saved document.
  QString display_name() const;

  // Reads the file into the document. False (with the document unchanged and
  // the reason in error_text) when it cannot be read or holds no document.
  bool load(const QString& path, QString& error_text);
  // Writes the document to path and makes it the document's path.
  bool save_as(const QString& path, QString& error_text);

  virtual bool is_modified() const = 0;
  virtual void set_modified(bool modified) = 0;

 signals:
  void modification_changed(bool modified);

 protected:
  virtual bool read_file(const QString& path, QString& error_text) = 0;
  virtual bool write_file(const QString& path, QString& error_text) = 0;
  // Called whenever the modified state changes.
  void refresh_title();

 private:
  DocKind kind_;
  QString path_;
  QString untitled_;
};

}  // namespace quill
