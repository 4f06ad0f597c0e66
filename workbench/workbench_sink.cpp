#include "workbench/workbench_sink.h"

#include "foundation/settings.h"
#include "workbench/dialogs.h"
#include "workbench/generated_files_window.h"

namespace quill {

namespace {

constexpr std::string_view kNewRun = "-NEW-";

BoxKind box_of(Severity severity) {
  if (severity == Severity::error) return BoxKind::error;
  if (severity == Severity::warning) return BoxKind::warning;
  if (severity == kQuestion) return BoxKind::question;
  return BoxKind::information;
}

}  // namespace

QString box_text(std::string_view text) {
  QString out = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  out.remove(QLatin1Char('\r'));
  return out;
}

WorkbenchSink::WorkbenchSink(Dialogs& dialogs, GeneratedFilesWindow* files)
    : dialogs_(dialogs), files_(files) {}

void WorkbenchSink::message(Severity severity, std::string_view text) {
  bool accepted = dialogs_.show_box(box_of(severity), box_text(text));
  if (severity == kQuestion) settings().set("continue_tx", accepted ? "true" : "false");
}

void WorkbenchSink::error_list(std::string_view message, std::string_view list) {
  std::string text(message);
  text += "\n";
  text += list;
  dialogs_.show_box(BoxKind::error, box_text(text));
}

void WorkbenchSink::file_created(std::string_view path) {
  if (!files_) return;
  if (path == kNewRun) {
    files_->restart();
  } else if (!path.empty()) {
    files_->add_file(box_text(path));
  }
}

bool ask_question(std::string_view text) {
  settings().set("continue_tx", "false");
  sink().message(kQuestion, text);
  return settings().is_true("continue_tx");
}

}  // namespace quill
