// The workbench's message sink: every engine message becomes a message box
// captioned by its severity, and announced files go to the generated-files
// window.
#pragma once

#include <QPointer>
#include <string>

#include "foundation/messages.h"

namespace quill {

class Dialogs;
class GeneratedFilesWindow;

// A severity beyond the engine's own: a question whose answer goes to continue_tx.
inline constexpr Severity kQuestion = static_cast<Severity>(5);

class WorkbenchSink : public MessageSink {
 public:
  WorkbenchSink(Dialogs& dialogs, GeneratedFilesWindow* files);

  void message(Severity severity, std::string_view text) override;
  void error_list(std::string_view message, std::string_view list) override;
  void file_created(std::string_view path) override;

 private:
  Dialogs& dialogs_;
  QPointer<GeneratedFilesWindow> files_;
};

// The text of a box: carriage returns dropped, line feeds kept as line breaks.
QString box_text(std::string_view text);

// Asks a question through the installed sink; true when continue_tx became "true".
bool ask_question(std::string_view text);

}  // namespace quill
