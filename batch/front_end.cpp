#include "batch/front_end.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "batch/command_line.h"
#include "batch/output_options.h"
#include "foundation/char_set.h"
#include "foundation/commands.h"
#include "foundation/ini_reader.h"
#include "foundation/messages.h"
#include "foundation/paths.h"
#include "foundation/platform.h"
#include "foundation/settings.h"
#include "output/file_record.h"

namespace quill {

namespace {

constexpr const char* kVersion = "QUILLB 1.0.001";
constexpr const char* kIniFile = "quill.ini";
constexpr const char* kIniSection = "LastCodegenSettings";
constexpr const char* kSearchVariable = "ZZZQUILLSRCHZZZ";

// The options in the order the synopsis lists them.
constexpr const char* kSynopsisOptions[] = {
    "ver",    "help",   "homedir", "showfiles", "showsummary", "nokwada", "nokwcxx",
    "rstrip", "ttrace", "makebak", "bakext",    "lang",        "setvar",
};

constexpr const char* kUsageLines[] = {
    "        ver = (no arg) cites version and exits",
    "        help = (no arg) display help",
    "        homedir = (string) where Quillwork is installed",
    "        showfiles = (true|false) show files as they are generated",
    "        showsummary = (true|false) show generation summary",
    "        nokwada = (true|false) forbid ada keywords",
    "        nokwcxx = (true|false) forbid c++ keywords",
    "        rstrip = (true|false) strip returns (DOS/Windows)",
    "        ttrace = (true|false) trace template lines",
    "        makebak = (true|false) make backups of generated files",
    "        bakext = (string) file,backup file ext. pairs",
    "        lang = (string) c++|ada - defines builtin types",
    "        dsmpath = (string) - the path to search for included dsm files",
    "        tempath = (string) - the path to search for included tem files",
    "        setvar = (string) a varname and its value",
};

// A setting filled from an option, else from quill.ini, else its default.
struct SettingRow {
  const char* option;
  const char* setting;  // also the quill.ini key
  const char* default_value;
  bool ini_always_read;  // the file is read even when the option is given
};

constexpr SettingRow kSettingRows[] = {
    {"showfiles", "ShowFileNames", "true", true},
    {"showsummary", "ShowGenSummary", "true", true},
    {"nokwada", "NoAdaKeywords", "true", true},
    {"nokwcxx", "NoCxxKeywords", "true", true},
    {"rstrip", "StripReturns", "false", true},
    {"ttrace", "TraceTemLines", "false", true},
    {"makebak", "MakeBackupFiles", "true", true},
    {"bakext", "BackupFileMap", "h bkh hxx bkh cpp bkc cxx bkc c bkc", true},
    {"lang", "LanguageTarget", "c++", true},
    {"dsmpath", "DsmSearchPath", "", false},
    {"tempath", "TemSearchPath", "", false},
};

bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// Reports a command line error, prints the usage text and gives the exit code.
int usage_error(std::string_view message, std::string_view argument = {}) {
  if (argument.empty())
    error(message);
  else
    error(message, argument);
  print_usage();
  return kExitFailure;
}

// Checks the positional arguments; returns kExitOk when a road may start.
int check_arguments(const CommandLine& line) {
  const std::string* first = line.positional(1);
  const std::string* second = line.positional(2);
  if (!first)
    return usage_error(
        "The first arg is required, and must be a .dsm or .qpj file (object model or project).\n");
  std::string first_lower = lower_copy(*first);
  bool is_model = contains(first_lower, ".dsm");
  bool is_project = contains(first_lower, ".qpj");
  if (!is_model && !is_project)
    return usage_error(
        "First arg (%s) must be an object model (.dsm file) or a project (.qpj file).\n", *first);
  if (is_model && !second)
    return usage_error(
        "When the 1st arg is an object model (.dsm file), the 2nd arg must be a template (.tem "
        "file).\n");
  if (is_model && !contains(lower_copy(*second), ".tem"))
    return usage_error(
        "When the 1st arg is a object model (.dsm file), the 2nd arg (%s) must be a template "
        "(.tem) file.\n",
        *second);
  if (is_project && second)
    return usage_error("When the 1st arg is a .qpj file (project), there is no 2nd arg.\n");
  return kExitOk;
}

void fill_settings(const CommandLine& line, const std::string& ini_dir) {
  for (const SettingRow& row : kSettingRows) {
    const std::string* option = line.option(row.option);
    if (option && !row.ini_always_read) {
      settings().set(row.setting, *option);
      continue;
    }
    std::string value = ini_read(ini_dir, kIniFile, kIniSection, row.setting, row.default_value);
    settings().set(row.setting, option ? *option : value);
  }
  for (size_t n = 1; const std::string* value = line.option("setvar", n); ++n)
    settings().set("setvar" + int_text(static_cast<long long>(n)), *value);
}

// Notes an input of the run for the dependency file, when it exists.
void note_input(const std::string& path) {
  if (file_exists(path)) note_file_read(path);
}

// Compiles the model and generates code from it with the template.
int run_model_road(const CommandLine& line, const std::string& ini_dir) {
  const std::string* out_dir = line.positional(3);
  settings().set("ModelName", resolve_argument(*line.positional(1)));
  settings().set("CGenTemplate", resolve_argument(*line.positional(2)));
  settings().set("CGenOutdir", out_dir ? *out_dir : ".");
  note_input(settings().get("ModelName"));
  note_input(settings().get("CGenTemplate"));
  fill_settings(line, ini_dir);
  process_cmd("CompileObjDefs");
  const std::string status = settings().get("CompileStatus");
  if (status == "ok") {
    process_cmd("GenerateCode");
  } else if (status == "syntax-error") {
    error("Syntax error in model %s (line %s)", settings().get("BadFile"),
          settings().get("BadTokenLine"));
    return kExitFailure;
  }
  return kExitOk;
}

std::string usage_synopsis() {
  std::string text = "    quillb {<dsm_file> <tem_file> | <prj_file>} <out_dir> [";
  for (const char* option : kSynopsisOptions) {
    std::string_view name = option;
    text += "/";
    text += name;
    text += name == "setvar" ? "]" : name == "nokwada" ? "] \n          [" : "] [";
  }
  return text;
}

}  // namespace

std::optional<std::uint64_t> model_file_size(const std::vector<std::string>& args) {
  std::uint64_t largest = 0;
  for (const std::string& arg : args) {
    if (contains(lower_copy(arg), ".qpj")) return std::nullopt;
    largest = std::max(largest, platform::regular_file_size(arg));
  }
  return largest;
}

bool is_large_run(std::optional<std::uint64_t> model_size) {
  // From about 200 objects on (some 200 KB of model text) huge pages save
  // several times what the restart costs; a model of a few objects saves
  // nothing and pays the restart.
  constexpr std::uint64_t kLargeModel = 64 << 10;
  return !model_size || *model_size >= kLargeModel;
}

std::size_t expected_model_memory(std::optional<std::uint64_t> model_size) {
  constexpr std::uint64_t kPerByteOfModel = 12;
  return model_size ? static_cast<std::size_t>(*model_size * kPerByteOfModel) : 0;
}

void print_usage() {
  info("Command line:");
  info("%s\n", usage_synopsis());
  for (const char* line : kUsageLines) info(line);
}

void fill_settings_from_ini(const std::string& ini_dir) {
  fill_settings(CommandLine(std::vector<std::string>{}), ini_dir);
}

std::string resolve_argument(const std::string& arg) {
  platform::set_env(kSearchVariable, ".");
  if (file_exists(arg)) return platform::absolute_path(arg);
  SearchResult found = search_path(platform::get_env(kSearchVariable), arg);
  return found.found ? platform::absolute_path(found.path) : arg;
}

int run_batch(const std::vector<std::string>& args) {
  CommandLine line(args);
  if (line.has_option("ver")) {
    info(kVersion);
    return kExitOk;
  }
  if (line.has_option("help")) {
    print_usage();
    return kExitOk;
  }
  if (int code = check_arguments(line); code != kExitOk) return code;
  IniReadScope ini_scope;  // quill.ini is read once for the whole run
  OutputOptions options;
  if (!read_output_options(line, options)) {
    print_usage();
    return kExitFailure;
  }
  std::string ini_dir = ini_directory();
  start_output_options(line, options, ini_dir);
  int code = kExitOk;
  if (contains(lower_copy(*line.positional(1)), ".dsm")) {
    code = run_model_road(line, ini_dir);
    // A model that does not compile cannot be checked: that is no "up to date".
    if (options.check && code == kExitOk && settings().get("CompileStatus") != "ok")
      code = kExitFailure;
  } else {
    note_input(*line.positional(1));
    code = run_project_file(*line.positional(1), ini_dir);
  }
  return finish_output_options(options, code);
}

}  // namespace quill
