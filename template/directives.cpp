// The directive table and the directives that act on messages, the command
// processor, the symbol dump and module calls. Variables and files have
// their handlers in directive_variables.cpp and directive_files.cpp.
#include "template/directives.h"

#include <string>
#include <string_view>
#include <vector>

#include "foundation/char_set.h"
#include "foundation/messages.h"
#include "foundation/platform.h"
#include "model/items.h"
#include "output/check_run.h"
#include "output/output_file.h"
#include "template/directive_handlers.h"
#include "template/generation_run.h"
#include "template/modules.h"
#include "template/statements.h"

namespace quill {

namespace {

constexpr std::string_view kNoModuleName = "$$EXECMODULE encountered with no module name.";
constexpr std::string_view kModuleNotFound = "The module '%s' was not found";
constexpr std::string_view kCommandNotStarted = "$$SHELLCMD could not start the command: %s";
constexpr size_t kDumpRuleWidth = 35;

// The text after the keyword and one more character (the separating blank).
std::string_view after_separator(std::string_view args) {
  return args.empty() ? args : args.substr(1);
}

void error_directive(GenerationRun& /*run*/, const DirectiveCall& call) {
  error(after_separator(call.args));
}

void warning_directive(GenerationRun& /*run*/, const DirectiveCall& call) {
  warning(after_separator(call.args));
}

// Exit codes of the shell for a command it could not find or could not run.
bool shell_could_not_start(int status) { return status == -1 || status == 126 || status == 127; }

void shellcmd_directive(GenerationRun& /*run*/, const DirectiveCall& call) {
  std::string command(after_separator(call.args));
  if (skip_shell_command(command)) return;  // a check run changes nothing
  output_file().flush();  // the command may read what was generated so far
  if (shell_could_not_start(platform::run_command(command))) error(kCommandNotStarted, command);
}

void symdump_directive(GenerationRun& run, const DirectiveCall& /*call*/) {
  output_file().write(run.symbols.text(), false, 0);
  output_file().write(std::string(kDumpRuleWidth, '-'), true, 0);
}

// One argument of a module call: a quoted argument runs through the next
// quote that no backslash escapes (or to the end of the text when there is
// none) and keeps its quotes; any other runs to the next white space.
std::string_view next_module_argument(std::string_view& text) {
  size_t end = 0;
  if (text[0] == '"') {
    end = 1;
    while (end < text.size() && !(text[end] == '"' && text[end - 1] != '\\')) ++end;
    if (end < text.size()) ++end;  // the closing quote belongs to the argument
  } else {
    end = find_member(sets::white(), text);
  }
  std::string_view argument = text.substr(0, end);
  text.remove_prefix(end);
  return argument;
}

std::string unescape_quotes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '"') continue;
    out += text[i];
  }
  return out;
}

void execmodule_directive(GenerationRun& run, const DirectiveCall& call) {
  std::string_view rest = call.args;
  rest.remove_prefix(span(sets::white(), rest));
  if (rest.empty() || !sets::name_chars().contains(rest[0])) {
    output_file().write(kNoModuleName, true, 0);
    error(kNoModuleName);
    return;
  }
  std::string_view name = next_word(rest);
  std::vector<std::string> arguments;
  for (;;) {
    rest.remove_prefix(span(sets::white(), rest));
    if (rest.empty()) break;
    arguments.push_back(unescape_quotes(next_module_argument(rest)));
  }
  if (!call_module(run, name, arguments)) error(kModuleNotFound, name);
}

using DirectiveFunction = void (*)(GenerationRun& run, const DirectiveCall& call);

struct DirectiveRow {
  std::string_view keyword;
  DirectiveFunction handler;
  bool line_written;
};

// In the order of recognition: the first keyword the text starts with wins,
// so $$SETVAR must come before $$SETCTIC and $$SETGVAR.
constexpr DirectiveRow kDirectives[] = {
    {"**ERROR", error_directive, true},
    {"**WARNING", warning_directive, true},
    {"$$SHELLCMD", shellcmd_directive, false},
    {"$$SYMDUMP", symdump_directive, false},
    {"$$SETVAR", setvar_directive, false},
    {"$$SETCTIC", setctic_directive, false},
    {"$$SETGVAR", setgvar_directive, false},
    {"$$CLEARVAR", clearvar_directive, false},
    {"$$EDITVAR", editvar_directive, false},
    {"$$SEARCHVAR", searchvar_directive, false},
    {"$$INCLUDE", include_directive, false},
    {"$$EXECMODULE", execmodule_directive, false},
    {"$$FILEEXISTS", fileexists_directive, false},
    {"$$DIREXISTS", direxists_directive, false},
    {"$$NEWFILE", newfile_directive, false},
    {"$$NEWDIR", newdir_directive, false},
    {"$$SETDIR", setdir_directive, false},
    {"$$APPENDFILE", appendfile_directive, false},
    {"$$INSERTFILE", insertfile_directive, false},
};

}  // namespace

bool process_directive(GenerationRun& run, std::string& text) {
  for (const DirectiveRow& row : kDirectives) {
    if (text.compare(0, row.keyword.size(), row.keyword) != 0) continue;
    std::string_view line = text;
    row.handler(run, {line.substr(row.keyword.size()), line});
    return row.line_written;
  }
  return true;
}

void install_directive_processor() { directive_handler() = &process_directive; }

void assign_variable(GenerationRun& run, const InternedName& name, std::string_view value) {
  if (Variable* variable = run.symbols.find_to_change(name)) {
    variable->set_value(value);
  } else {
    run.symbols.set(name, value);
  }
}

std::string_view next_word(std::string_view& text) {
  text.remove_prefix(span(sets::white(), text));
  size_t end = find_member(sets::white(), text);
  std::string_view word = text.substr(0, end);
  text.remove_prefix(end);
  return word;
}

std::string prepare_path(std::string_view args, bool squeeze_white) {
  std::string path(args);
  if (squeeze_white) squeeze(path, sets::white());
  trim_left(path, sets::white());
  return platform::native_path(path);
}

}  // namespace quill
