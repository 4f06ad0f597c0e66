// Add, Characteristics: the characteristic names the active template refers
// to, by element type. Double-clicking a name copies it to the clipboard;
// a name may also be dragged into a model editor.
#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;

namespace quill {

class Dialogs;

struct ElementTypeRow {
  const char* label;   // "Objects (obj.)"
  const char* prefix;  // "obj."
};

// The element types in the order offered.
const ElementTypeRow* element_types_begin();
const ElementTypeRow* element_types_end();

// The names that begin with prefix, without it; {"=> none <="} when there are none.
QStringList names_with_prefix(const QStringList& names, const QString& prefix);

inline constexpr const char* kNoNames = "=> none <=";

class CharacteristicsDialog : public QDialog {
  Q_OBJECT

 public:
  // Scans the active template (CGenTemplate); a box tells when it cannot be read.
  CharacteristicsDialog(Dialogs& dialogs, QWidget* parent = nullptr);

  QListWidget& types() const { return *types_; }
  QListWidget& names() const { return *names_; }
  // Copies the name to the clipboard and says so.
  void copy_name(const QString& name);

 private:
  void show_type(int row);

  Dialogs& dialogs_;
  QStringList found_;
  QLabel* path_;
  QListWidget* types_;
  QListWidget* names_;
};

}  // namespace quill
