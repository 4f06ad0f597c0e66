// The directives that test, open, create and combine files and directories.
// Their argument is prepared as a path first (prepare_path). Existence tests
// and $$INCLUDE take a relative name from the working directory; the output
// directory (the setting CGenOutdir) is where $$NEWFILE and $$APPENDFILE
// open their files and under which $$NEWDIR and $$SETDIR place a relative
// directory.
#include <string>
#include <string_view>

#include "foundation/char_set.h"
#include "foundation/messages.h"
#include "foundation/paths.h"
#include "foundation/platform.h"
#include "foundation/settings.h"
#include "output/check_run.h"
#include "output/output_file.h"
#include "template/directive_handlers.h"
#include "template/generation_run.h"

namespace quill {

namespace {

constexpr std::string_view kNotIncluded = "The file '%s' was not included (couldn't be opened)";
constexpr std::string_view kNewfileBad =
    "$$NEWFILE directive translated '%s' to '%s' (which\nis NG).  File not opened.";
constexpr std::string_view kAppendfileBad =
    "$$APPENDFILE directive translated '%s' to '%s' (which\nis NG).  File not opened.";
constexpr std::string_view kSetdirMissing =
    "$$SETDIR directive translated '%s' to '%s' (which\ndoes not exist).  Output directory not "
    "changed.";
constexpr std::string_view kNewdirBad =
    "$$NEWDIR directive translated '%s' to '%s' (which\nis NG as a directory name).  Directory not "
    "created.";
constexpr std::string_view kNewdirFailed =
    "$$NEWDIR directive translated '%s' to '%s' (which\nseems like a valid name), but errors "
    "occurred during the create operation.";
constexpr std::string_view kInsertFailed =
    "$$INSERTFILE directive failed - file: '%s'  file-to-insert: '%s'  section-name: '%s'";

const InternedName& outfile_variable() {
  static const InternedName name("dsm.outfile");
  return name;
}

const InternedName& outdir_variable() {
  static const InternedName name("dsm.outdir");
  return name;
}

bool has_separator(std::string_view path) { return path.find_first_of("\\/") != std::string_view::npos; }

// A name that the output file's join leaves as it is: a bare name is made
// explicitly relative to the working directory.
std::string working_directory_name(const std::string& path) {
  return has_separator(path) ? path : join_path(".", path);
}

// The directory a $$NEWDIR or $$SETDIR text names: the text itself when it
// is absolute (or names a drive), else the text under the output directory,
// or under the working directory when no output directory is set.
std::string directory_path(const std::string& text) {
  if ((!text.empty() && (text[0] == '\\' || text[0] == '/')) ||
      text.find(':') != std::string::npos) {
    return text;
  }
  const std::string& outdir = settings().get("CGenOutdir");
  // "." names the output directory itself; joining it would only add "/." to
  // every file name announced from then on.
  if (text == "." && !outdir.empty()) return outdir;
  if (!outdir.empty() && has_separator(outdir.substr(outdir.size() - 1))) return outdir + text;
  return join_path(outdir, text);
}

void make_output_directory(GenerationRun& run, const std::string& path) {
  settings().set("CGenOutdir", path);
  run.symbols.set(outdir_variable(), path, true);
}

void note_output_file(GenerationRun& run, const std::string& name) {
  run.symbols.set(outfile_variable(), name, true);
  run.symbols.set(outdir_variable(), settings().get("CGenOutdir"), true);
}

// The text split at single blanks; a missing field is empty.
std::string_view next_field(std::string_view& text) {
  size_t end = text.find(' ');
  std::string_view field = text.substr(0, end);
  text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  return field;
}

}  // namespace

void include_directive(GenerationRun& /*run*/, const DirectiveCall& call) {
  std::string path = prepare_path(call.args);
  if (!platform::is_regular_file(path)) {
    error(kNotIncluded, path);
    return;
  }
  output_file().copy_in(working_directory_name(path));
}

void fileexists_directive(GenerationRun& run, const DirectiveCall& call) {
  static const InternedName kResult("file.exists");
  assign_variable(run, kResult, bool_text(platform::is_regular_file(prepare_path(call.args))));
}

void direxists_directive(GenerationRun& run, const DirectiveCall& call) {
  static const InternedName kResult("dir.exists");
  std::string path = prepare_path(call.args, /*squeeze_white=*/false);
  assign_variable(run, kResult, bool_text(platform::is_directory(path)));
}

void newfile_directive(GenerationRun& run, const DirectiveCall& call) {
  std::string name = prepare_path(call.args);
  if (!is_valid_file_name(name)) {
    error(kNewfileBad, name, name);
    return;
  }
  output_file().open(name);
  note_output_file(run, name);
}

void appendfile_directive(GenerationRun& run, const DirectiveCall& call) {
  std::string name = prepare_path(call.args);
  if (!is_valid_file_name(name)) {
    error(kAppendfileBad, name, name);
    return;
  }
  output_file().open_append(name);
  note_output_file(run, name);
}

void setdir_directive(GenerationRun& run, const DirectiveCall& call) {
  std::string text = prepare_path(call.args);
  std::string path = directory_path(text);
  if (!platform::is_directory(path)) {
    error(kSetdirMissing, text, path);
    return;
  }
  make_output_directory(run, path);
}

void newdir_directive(GenerationRun& run, const DirectiveCall& call) {
  std::string text = prepare_path(call.args);
  std::string path = directory_path(text);
  if (!is_valid_path(path)) {
    error(kNewdirBad, text, path);
    return;
  }
  if (!platform::is_directory(path) && !make_output_dirs(path)) {
    error(kNewdirFailed, text, path);
    return;
  }
  make_output_directory(run, path);
}

void insertfile_directive(GenerationRun& run, const DirectiveCall& call) {
  static const InternedName kResult("file.insert_ok");
  std::string text = prepare_path(call.args);
  std::string_view rest = text;
  std::string_view target = next_field(rest);
  std::string_view source = next_field(rest);
  std::string_view section = next_field(rest);
  bool ok = true;
  // An empty section name would take the target's first two lines as the
  // markers and overwrite the text between them.
  if (section.empty()) {
    ok = false;
  } else {
    output_file().insert_between(target, source, section, ok);
  }
  if (!ok) error(kInsertFailed, target, source, section);
  assign_variable(run, kResult, bool_text(ok));
}

}  // namespace quill
