// CompileObjDefs: parse the model named by ModelName (or reuse the held model
// when the name is "internal"), add the built-in types of LanguageTarget,
// check, link, and leave the verdict and the error position in the settings.
#include <string>
#include <utility>

#include "engine/commands.h"
#include "engine/held_model.h"
#include "foundation/char_set.h"
#include "foundation/messages.h"
#include "foundation/paths.h"
#include "foundation/settings.h"
#include "model/builtin_types.h"
#include "model/checks.h"
#include "model/elements.h"
#include "model/link.h"
#include "model/parser.h"
#include "output/file_record.h"

namespace quill {

namespace {

constexpr const char* kInternal = "internal";

struct Verdict {
  const char* status = "ok";
  long offset = 0;
  long length = 0;
  long line = 0;
  std::string bad_file;
};

// The file name without its directory and without its last extension.
std::string model_name_of(const std::string& path) {
  std::string name = file_name_of(path);
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

const char* status_text(ModelParser::Status status) {
  switch (status) {
    case ModelParser::Status::ok:
      return "ok";
    case ModelParser::Status::file_error:
      return "file-error";
    case ModelParser::Status::syntax_error:
      return "syntax-error";
  }
  return "syntax-error";
}

// Parses a new model into the engine's hands; false on a file or syntax error.
bool parse_model(const std::string& file, Verdict& verdict) {
  discard_held_model();
  ModelParser parser;
  ModelParser::Result result = parser.parse(file);
  // Every model file read is an input of the run, for the dependency file.
  for (const std::string& read : parser.files())
    if (file_exists(read)) note_file_read(read);
  verdict.status = status_text(result.status);
  if (result.status != ModelParser::Status::ok) {
    verdict.offset = result.offset;
    verdict.length = result.length;
    verdict.line = result.line;
    verdict.bad_file = result.bad_file;
    return false;
  }
  replace_held_model(std::move(result.model));
  return true;
}

// With "internal" the held model is compiled again; without one there is
// nothing to compile, which counts as a file that cannot be loaded.
bool reuse_model(Verdict& verdict) {
  if (held_model() != nullptr) return true;
  error(std::string("The file '") + kInternal + "' cannot be loaded.");
  verdict.status = "file-error";
  verdict.bad_file = kInternal;
  return false;
}

void write_verdict(const Verdict& verdict) {
  SettingsStore& s = settings();
  s.set("CompileStatus", verdict.status);
  bool ok = std::string_view(verdict.status) == "ok";
  s.set("BadTokenOffset", ok ? "" : int_text(verdict.offset));
  s.set("BadTokenLength", ok ? "" : int_text(verdict.length));
  s.set("BadTokenLine", ok ? "" : int_text(verdict.line));
  s.set("BadFile", ok ? "" : verdict.bad_file);
}

}  // namespace

void compile_obj_defs() {
  settings().set("CompileStatus", "ok");
  const std::string model_file = settings().get("ModelName");
  const bool internal = model_file == kInternal;
  Verdict verdict;
  if (internal ? reuse_model(verdict) : parse_model(model_file, verdict)) {
    Model& model = *held_model();
    add_builtin_types(model, settings().get("LanguageTarget"));
    if (check(model)) {
      link_model(model);
      if (!internal) model.name = model_name_of(model_file);
    } else {
      verdict.status = "semantic-error";
    }
  }
  write_verdict(verdict);
}

}  // namespace quill
