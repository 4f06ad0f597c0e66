#include "workbench/generation_commands.h"

#include <QFileInfo>
#include <string>

#include "foundation/commands.h"
#include "foundation/messages.h"
#include "foundation/settings.h"
#include "engine/held_model.h"
#include "output/output_file.h"
#include "project/project_generation.h"
#include "workbench/characteristics.h"
#include "workbench/code_editor.h"
#include "workbench/project_document.h"
#include "workbench/text_document.h"
#include "workbench/workbench_sink.h"

namespace quill {

namespace {

enum class Compiled { refused, ok, failed };

std::string std_path(const QString& path) { return path.toStdString(); }

// Saves a modified document after the question; false when the user declined
// or the file could not be written.
bool save_after_question(TextDocument& doc, const char* question) {
  if (!doc.is_modified()) return true;
  if (!ask_question(question)) return false;
  QString error_text;
  if (doc.save_as(doc.path(), error_text)) return true;
  error(error_text.toStdString());
  return false;
}

// True when the path names the same file as BadFile.
bool is_bad_file(const QString& path) {
  const std::string bad = settings().get("BadFile");
  if (bad.empty()) return true;
  return QFileInfo(QString::fromStdString(bad)).absoluteFilePath() == path;
}

// After a syntax error: select the bad token when it is in this editor,
// else name the file that holds it.
void show_syntax_error(TextDocument* model) {
  if (!model || !is_bad_file(model->path())) {
    error(kSyntaxErrorIn, settings().get("BadFile"));
    return;
  }
  auto number = [](const char* name) { return std::atol(settings().get(name).c_str()); };
  model->editor().select_bytes(number("BadTokenLine"), number("BadTokenOffset"),
                               number("BadTokenLength"));
  model->editor().setFocus();
}

// Compiles ModelName; true on "ok". The editor shows a syntax error.
bool compile(TextDocument* model) {
  process_cmd("CompileObjDefs");
  const std::string status = settings().get("CompileStatus");
  if (status == "ok") return true;
  if (status == "syntax-error") show_syntax_error(model);
  return false;
}

// The refusals, the question and the compile of Code Generation and DSM Syntax.
Compiled compile_model(TextDocument& model, const char* not_a_model = kNotAModel) {
  if (settings().get("CGenTemplate").empty()) {
    info(kNoTemplate);
    return Compiled::refused;
  }
  if (model.path().isEmpty()) {
    info(kModelNeverSaved);
    return Compiled::refused;
  }
  if (!model.path().contains(QLatin1String(".dsm")) && !model.path().contains(QLatin1String(".DSM"))) {
    info(not_a_model);
    return Compiled::refused;
  }
  if (!save_after_question(model, kUnsavedModel)) return Compiled::refused;
  settings().set("ModelName", std_path(model.path()));
  return compile(&model) ? Compiled::ok : Compiled::failed;
}

// Resets the generated-files window and runs the generation.
void generate() {
  notify_file_created("-NEW-");
  process_cmd("GenerateCode");
}

}  // namespace

void format_model(TextDocument& model) {
  settings().set("ObjText", model.text().toStdString());
  process_cmd("FormatObjText");
  QString formatted = QString::fromStdString(settings().get("ObjText"));
  formatted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  model.replace_text(formatted);
  model.set_modified(true);
}

void generate_from_model(TextDocument& model) {
  if (compile_model(model) == Compiled::ok) generate();
}

void check_model_syntax(TextDocument& model) {
  if (compile_model(model) == Compiled::ok) info(kSyntaxCorrect);
}

void check_compatibility(TextDocument& model) {
  if (compile_model(model, kNeedsAModel) != Compiled::ok || !held_model()) return;
  const QStringList defined = model_characteristics(*held_model());
  const std::string tem = settings().get("CGenTemplate");
  QStringList used;
  if (!scan_template_characteristics(QString::fromStdString(tem), used)) {
    error(kCantScan, tem);
    return;
  }
  const QStringList missing = missing_characteristics(defined, used);
  if (missing.isEmpty())
    info(kAllRecognized);
  else
    info(not_used_text(missing).toStdString());
}

void generate_from_model_file(const QString& path) {
  if (settings().get("CGenTemplate").empty()) {
    info(kNoTemplate);
    return;
  }
  if (!path.contains(QLatin1String(".dsm")) && !path.contains(QLatin1String(".DSM"))) {
    info(kNotAModel);
    return;
  }
  settings().set("ModelName", std_path(QFileInfo(path).absoluteFilePath()));
  if (compile(nullptr)) generate();
}

void set_active_template(TextDocument& tem) {
  if (tem.path().isEmpty()) {
    info(kTemplateNeverSaved);
    return;
  }
  settings().set("CGenTemplate", std_path(tem.path()));
}

void generate_from_template(TextDocument& tem) {
  if (tem.path().isEmpty()) {
    info(kTemplateNeverSaved);
    return;
  }
  if (!save_after_question(tem, kUnsavedTemplate)) return;
  settings().set("CGenTemplate", std_path(tem.path()));
  if (settings().get("ModelName").empty()) {
    info(kNoModel);
    return;
  }
  if (compile(nullptr)) generate();
}

void generate_project_node(ProjectDocument& project) {
  notify_file_created("-NEW-");
  generate_batch(project.selected_node(), [] {
    return GenerationCounts{output_file().file_count(), output_file().line_count()};
  });
}

}  // namespace quill
