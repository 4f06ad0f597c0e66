// The "Generating Files..." window: lists every file that generation
// announces, and opens the chosen one in the user's editor.
#pragma once

#include <QDialog>

class QListWidget;

namespace quill {

class Dialogs;

class GeneratedFilesWindow : public QDialog {
  Q_OBJECT

 public:
  GeneratedFilesWindow(Dialogs& dialogs, QWidget* parent);

  // Empties the list and shows the window afresh.
  void restart();
  // Adds an announced file (showing the window when it is hidden).
  void add_file(const QString& path);
  QStringList files() const;
  // Selects the row of the list (for keyboard-less callers and tests).
  void select_row(int row);

  // Runs Editor with the selected file; reports an empty Editor.
  void open_selected_file();

 private:
  Dialogs& dialogs_;
  QListWidget* list_;
};

}  // namespace quill
