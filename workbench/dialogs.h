// Everything the workbench asks of its user goes through one Dialogs object:
// message boxes, questions, file and folder choosers, modal dialogs and the
// launching of the editor. The program shows real dialogs; tests install
// their own Dialogs to record the boxes and script the answers, so no test
// ever waits for a click.
#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

namespace quill {

enum class BoxKind { error, warning, information, question };

// "-- Error --", "-- Warning --", "-- Information --", "-- Question --".
QString box_caption(BoxKind kind);

enum class SaveChoice { save, discard, cancel };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows a message box; for a question, true when the user accepted.
  virtual bool show_box(BoxKind kind, const QString& text) = 0;
  // Asks whether to save the changes of a document before it is closed.
  virtual SaveChoice ask_save_changes(const QString& document_name) = 0;
  // A file to open or to save ("" when cancelled); filter uses Qt's ";;" form.
  virtual QString open_file_name(const QString& title, const QString& filter) = 0;
  virtual QString save_file_name(const QString& title, const QString& filter,
                                 const QString& suggested) = 0;
  virtual QString folder_name(const QString& title, const QString& start) = 0;
  // Runs a modal dialog; true when it was accepted.
  virtual bool run_dialog(QDialog& dialog) = 0;
  // Starts a program from a command line without waiting; false when it cannot start.
  virtual bool launch(const QString& command_line) = 0;
  // Opens a file with the desktop's default handler; false when that fails.
  virtual bool open_with_system(const QString& path) = 0;
  // One of items chosen from a list ("" when cancelled).
  virtual QString choose_item(const QString& title, const QString& label, const QStringList& items) = 0;
};

// The real thing: Qt's message boxes (with a beep), file dialogs and processes.
class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent) : parent_(parent) {}
  bool show_box(BoxKind kind, const QString& text) override;
  SaveChoice ask_save_changes(const QString& document_name) override;
  QString open_file_name(const QString& title, const QString& filter) override;
  QString save_file_name(const QString& title, const QString& filter,
                         const QString& suggested) override;
  QString folder_name(const QString& title, const QString& start) override;
  bool run_dialog(QDialog& dialog) override;
  bool launch(const QString& command_line) override;
  bool open_with_system(const QString& path) override;
  QString choose_item(const QString& title, const QString& label, const QStringList& items) override;

 private:
  QWidget* parent_;
};

// The command line that shows a file in the editor: the editor, a blank and
// the path in double quotes.
QString editor_command(const QString& editor, const QString& path);

}  // namespace quill
