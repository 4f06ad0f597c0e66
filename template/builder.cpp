// The structure builder reads a template file line by line through a
// TemplateReader and turns each statement line into a node. Container
// statements (.block, .select, .module, the iterators) read their own body
// up to the matching .end by calling back into build_statement, so the
// recursion depth follows the nesting of the template; it is capped at
// kMaxNesting so that no template can exhaust the stack.
//
// The first error ends the load. A container that meets an error inside it
// still reads one more line; when that is the end of the file it reports its
// missing .end as well, so a truncated file names every open statement.
#include "template/builder.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/char_set.h"
#include "foundation/messages.h"
#include "foundation/paths.h"
#include "foundation/settings.h"
#include "template/reader.h"

namespace quill {
namespace {

constexpr int kMaxNesting = 200;

constexpr std::string_view kUndetermined =
    "Template line %s.  Can't determine statement type of:\n   '%s'";
constexpr std::string_view kImportedFileOnly =
    "Template line %s.  Only .module blocks and other import directives can appear\n"
    "inside an imported .tem file:\n   '%s'";
constexpr std::string_view kSelectOnly =
    "Template line %s.  This statement kind can only appear inside a .select block:\n   '%s'";
constexpr std::string_view kSecondDefault =
    "Template line %s.  This line does not close a corresponding .select:\n   '%s'";
constexpr std::string_view kNestedTooDeeply =
    "Template line %s.  Statements are nested too deeply:\n   '%s'";
constexpr std::string_view kNoFileName =
    "This .file statement has no filename part (line %s):\n  '%s'";
constexpr std::string_view kImportWithoutName =
    "Template line %s.  $$IMPORT directive found without a file name:\n   '%s'";
constexpr std::string_view kModuleWithoutName = "Template line %s.  Module is missing a name.";
constexpr std::string_view kModuleLoaded = "Template line %s.  Module named '%s' already loaded.";
constexpr std::string_view kParameterType =
    "Template line %s.  Invalid type of module formal parameter '%s:%s'";
constexpr std::string_view kParameterFormat =
    "Template line %s.  Module '%s' - Invalid parameter format\n    %s";
constexpr std::string_view kUnexpectedParameters =
    "Unexpected iterator parameters in template %s on line %s";
constexpr std::string_view kNoPragmaName =
    "Template line %s.  Pragma iterator lacks a pragma name (line %s).";
constexpr std::string_view kNoArrayName =
    "Template line %s.  Var item iterator lacks a string array name.";
constexpr std::string_view kLoadFailed = "Error(s) found during load of template file '%s'";

// What a container says about a line that may not stand in it, and about a
// file that ends before its .end.
struct ContainerRow {
  StatementKind kind;
  std::string_view cannot_appear;
  std::string_view missing_end;
};

#define CANNOT(what) "Template line %s.  This statement kind cannot appear inside a " what ":\n   '%s'"
#define STATEMENT_CANNOT(what) "Template line %s.  Statement cannot appear inside a " what ":\n   '%s'"
#define MISSING(what) "Missing corresponding .end for " what " starting on template line %s."

constexpr ContainerRow kContainers[] = {
    {stmt_block, CANNOT(".block"), MISSING(".block")},
    {stmt_refd_obj, CANNOT(".refd_obj"), MISSING(".refd_obj")},
    {stmt_module, CANNOT(".module"), MISSING(".module")},
    {stmt_multiblock, CANNOT(".select"), MISSING(".select")},
    {stmt_each_obj, CANNOT(".each_object"), MISSING(".each_object")},
    {stmt_each_parent, CANNOT(".each_parent"), MISSING(".each_parent")},
    {stmt_each_ancestor, CANNOT(".each_ancestor"), MISSING(".each_ancestor")},
    {stmt_each_used_obj, CANNOT(".each_used_obj"), MISSING(".each_used_obj")},
    {stmt_each_attr, CANNOT(".each_attr"), MISSING(".each_attribute")},
    {stmt_each_using_attr, CANNOT(".each_using_attr"), MISSING(".each_using_attr")},
    {stmt_each_function, CANNOT(".each_function"), MISSING(".each_function")},
    {stmt_each_param, CANNOT(".each_param"), MISSING(".each_parameter")},
    {stmt_each_state, CANNOT(".each_state"), MISSING(".each_state")},
    {stmt_each_transition, CANNOT(".each_transition"), MISSING(".each_transition")},
    {stmt_each_event, STATEMENT_CANNOT(".each_event"), MISSING(".each_event")},
    {stmt_each_pragma_value, STATEMENT_CANNOT(".each_pragma"), MISSING(".each_pragma")},
    {stmt_each_var_item, STATEMENT_CANNOT(".each_var_item"), MISSING(".each_var_item")},
    {stmt_each_substitution, CANNOT(".each_substitution"), MISSING(".each_substitution")},
    {stmt_each_obj_instance, CANNOT(".each_instance"), MISSING(".each_instance")},
    {stmt_each_attr_assignment, CANNOT(".each_assignment"), MISSING(".each_assignment")},
    {stmt_each_literal_text_block, CANNOT(".each_literal"), MISSING(".each_literal")},
    {stmt_each_process, CANNOT(".each_process"), MISSING(".each_process")},
    {stmt_each_flow, CANNOT(".each_flow"), MISSING(".each_flow")},
    {stmt_each_token, CANNOT(".each_token"), MISSING(".each_token")},
    {stmt_each_ctic, CANNOT(".each_characteristic"), MISSING(".each_characteristic")},
};

#undef CANNOT
#undef STATEMENT_CANNOT
#undef MISSING

const ContainerRow& container_row(StatementKind kind) {
  for (const ContainerRow& row : kContainers) {
    if (row.kind == kind) return row;
  }
  return kContainers[0];
}

constexpr std::string_view kParameterTypes[] = {
    "var", "obj", "attr", "ftn", "param", "event", "state",
    "state_action", "foreign", "inst", "tx", "proc", "literal", "flow",
};

bool is_parameter_type(std::string_view type) {
  for (std::string_view known : kParameterTypes) {
    if (known == type) return true;
  }
  return false;
}

// The text up to the first white space.
std::string_view first_word(std::string_view text) {
  return text.substr(0, find_member(sets::white(), text));
}

// The text without its leading white space.
std::string_view skip_white(std::string_view text) {
  return text.substr(span(sets::white(), text));
}

// The text after its first word and the white space after that word.
std::string_view after_first_word(std::string_view text) {
  return skip_white(text.substr(first_word(text).size()));
}

std::string_view trim_right_white(std::string_view text) {
  while (!text.empty() && sets::white().contains(text.back())) text.remove_suffix(1);
  return text;
}

bool starts_with_letter(std::string_view text) {
  return !text.empty() && (sets::upper().contains(text[0]) || sets::lower().contains(text[0]));
}

// The directory part of a path, drive included ("" when it has none).
std::string directory_part(std::string_view path) {
  size_t sep = path.find_last_of("/\\");
  if (sep == std::string_view::npos) return {};
  return std::string(path.substr(0, sep == 0 ? 1 : sep));
}

class TemplateBuilder {
 public:
  Template load(const std::string& path);

 private:
  struct FileEntry {
    std::string path;
    std::string key;      // the path in lower case, for de-duplication
    bool resolved;        // already joined to the importing file's directory
  };

  void read_file(TemplateReader& reader, bool is_main);
  void add_top_level(StatementKind kind, TemplateReader& reader, bool is_main);
  void handle_import(TemplateReader& reader);
  void add_file(std::string path, bool resolved);

  StatementPtr build_statement(StatementKind kind, TemplateReader& reader);
  StatementPtr build_text(TemplateReader& reader);
  StatementPtr build_file(TemplateReader& reader);
  std::unique_ptr<BlockStatement> build_block(TemplateReader& reader);
  StatementPtr build_select(TemplateReader& reader);
  StatementPtr build_iterator(StatementKind kind, TemplateReader& reader);
  StatementPtr build_module(TemplateReader& reader);
  bool read_module_header(ModuleStatement& module, TemplateReader& reader);
  void read_iterator_header(IteratorStatement& iterator, TemplateReader& reader);
  void read_standard_header(IteratorStatement& iterator, std::string_view header,
                            TemplateReader& reader);
  void read_token_header(IteratorStatement& iterator, std::string_view header,
                         TemplateReader& reader);

  void read_body(BlockStatement& node, TemplateReader& reader);
  void add_to_body(StatementKind kind, BlockStatement& node, TemplateReader& reader);
  void read_select_body(SelectStatement& select, TemplateReader& reader);
  void add_to_select(StatementKind kind, SelectStatement& select, TemplateReader& reader);
  void append(BlockStatement& node, StatementPtr child);

  // Reports a message about the current line (number and text) and fails the load.
  void fail_line(std::string_view format, const TemplateReader& reader);
  // True (after reporting and failing) when one more container would nest too deeply.
  bool too_deep(const TemplateReader& reader);

  bool ok_ = true;
  int depth_ = 0;
  std::vector<std::string> modules_;
  std::vector<FileEntry> files_;
  std::vector<std::string> read_;  // the files opened, in order
  std::string main_dir_;
  std::unique_ptr<BlockStatement> root_;
};

// Keeps the nesting depth while a container is being built.
class DepthScope {
 public:
  explicit DepthScope(int& depth) : depth_(depth) { ++depth_; }
  ~DepthScope() { --depth_; }
  DepthScope(const DepthScope&) = delete;
  DepthScope& operator=(const DepthScope&) = delete;

 private:
  int& depth_;
};

void TemplateBuilder::fail_line(std::string_view format, const TemplateReader& reader) {
  error(format, std::to_string(reader.line_number()), reader.current_text());
  ok_ = false;
}

bool TemplateBuilder::too_deep(const TemplateReader& reader) {
  if (depth_ < kMaxNesting) return false;
  fail_line(kNestedTooDeeply, reader);
  return true;
}

// ---- files ----

Template TemplateBuilder::load(const std::string& path) {
  root_ = std::make_unique<BlockStatement>(0);
  main_dir_ = directory_part(path);
  files_.push_back({path, lower_copy(path), true});
  for (size_t i = 0; ok_ && i < files_.size() && !files_[i].path.empty(); ++i) {
    std::string name = files_[i].path;
    if (!files_[i].resolved && is_relative(name) && !main_dir_.empty()) {
      name = join_path(main_dir_, name);
    }
    TemplateReader reader(name);
    if (!reader.opened()) {
      ok_ = false;
    } else {
      read_.push_back(name);
      read_file(reader, i == 0);
    }
    if (!ok_) error(kLoadFailed, reader.file_name());
  }
  Template result;
  result.path = path;
  result.ok = ok_;
  result.files = std::move(read_);
  if (ok_) result.root = std::move(root_);
  return result;
}

void TemplateBuilder::read_file(TemplateReader& reader, bool is_main) {
  for (StatementKind kind = reader.first_kind(); ok_; kind = reader.next_kind()) {
    if (kind == stmt_end || kind == stmt_eof) return;
    add_top_level(kind, reader, is_main);
  }
}

void TemplateBuilder::add_top_level(StatementKind kind, TemplateReader& reader, bool is_main) {
  switch (kind) {
    case stmt_default:
      return fail_line(kSelectOnly, reader);
    case stmt_import:
      return handle_import(reader);
    case stmt_module:
      return append(*root_, build_module(reader));
    case stmt_refd_obj:
    case stmt_separator:
      return fail_line(is_main ? kUndetermined : kImportedFileOnly, reader);
    default:
      if (!is_main) return fail_line(kImportedFileOnly, reader);
      return append(*root_, build_statement(kind, reader));
  }
}

// $$IMPORT name, "name": a relative name is taken from the importing file's
// directory, else looked up along TemSearchPath.
void TemplateBuilder::handle_import(TemplateReader& reader) {
  std::string_view name = trim_right_white(after_first_word(reader.current_text()));
  if (!name.empty() && name.front() == '"') name.remove_prefix(1);
  if (!name.empty() && name.back() == '"') name.remove_suffix(1);
  if (name.empty()) return fail_line(kImportWithoutName, reader);

  std::string path(name);
  bool resolved = false;
  if (is_relative(name)) {
    std::string dir = directory_part(reader.file_name());
    if (!dir.empty()) {
      path = join_path(dir, name);
      resolved = true;
    }
  }
  if (!file_exists(path)) {
    // The file found along the search path is the one read: its path is not
    // joined to the main template's directory again.
    SearchResult found = search_path(settings().get("TemSearchPath"), name);
    if (found.found) {
      path = found.path;
      resolved = true;
    }
  }
  add_file(std::move(path), resolved);
}

// Files are read once each, however their names are written: the comparison
// ignores case, but the file is opened under the name as resolved.
void TemplateBuilder::add_file(std::string path, bool resolved) {
  std::string key = lower_copy(path);
  for (const FileEntry& entry : files_) {
    if (entry.key == key) return;
  }
  files_.push_back({std::move(path), std::move(key), resolved});
}

// ---- statements ----

void TemplateBuilder::append(BlockStatement& node, StatementPtr child) {
  if (ok_ && child) node.append(std::move(child));
}

StatementPtr TemplateBuilder::build_statement(StatementKind kind, TemplateReader& reader) {
  switch (kind) {
    case stmt_file:
      return build_file(reader);
    case stmt_simple:
      return build_text(reader);
    case stmt_block:
      return build_block(reader);
    case stmt_multiblock:
      return build_select(reader);
    case stmt_module:
      return build_module(reader);
    case stmt_default:
    case stmt_import:
    case stmt_refd_obj:
    case stmt_separator:
      return nullptr;  // the containers that accept these handle them themselves
    default:
      if (is_iterator_kind(kind)) return build_iterator(kind, reader);
      fail_line(kUndetermined, reader);
      return nullptr;
  }
}

// condition : text
StatementPtr TemplateBuilder::build_text(TemplateReader& reader) {
  std::string_view line = reader.current_text();
  size_t colon = line.find(':');
  auto statement = std::make_unique<TextStatement>(reader.line_number(), line.substr(colon + 1));
  std::string_view condition = line.substr(0, colon);
  if (!consists_of(condition, sets::white())) statement->set_condition(condition);
  return statement;
}

// .file name
StatementPtr TemplateBuilder::build_file(TemplateReader& reader) {
  std::string_view line = reader.current_text();
  if (line.size() <= 6) {
    fail_line(kNoFileName, reader);
    return nullptr;
  }
  return std::make_unique<FileStatement>(reader.line_number(), line.substr(6));
}

// .block condition ... .end (also the body of .default and .separator)
std::unique_ptr<BlockStatement> TemplateBuilder::build_block(TemplateReader& reader) {
  if (too_deep(reader)) return nullptr;
  DepthScope scope(depth_);
  auto block = std::make_unique<BlockStatement>(reader.line_number());
  std::string_view condition = after_first_word(reader.current_text());
  if (!condition.empty()) block->set_condition(condition);
  read_body(*block, reader);
  if (!ok_) return nullptr;
  return block;
}

// .select condition, alternatives, [.default ... .end], .end
StatementPtr TemplateBuilder::build_select(TemplateReader& reader) {
  if (too_deep(reader)) return nullptr;
  DepthScope scope(depth_);
  auto select = std::make_unique<SelectStatement>(reader.line_number());
  std::string_view condition = after_first_word(reader.current_text());
  if (!condition.empty()) select->set_condition(condition);
  read_select_body(*select, reader);
  if (!ok_) return nullptr;
  return select;
}

// .each_xxx header ... .end, and .refd_obj header ... .end
StatementPtr TemplateBuilder::build_iterator(StatementKind kind, TemplateReader& reader) {
  if (too_deep(reader)) return nullptr;
  DepthScope scope(depth_);
  auto iterator = std::make_unique<IteratorStatement>(kind, reader.line_number());
  read_iterator_header(*iterator, reader);
  read_body(*iterator, reader);
  if (!ok_) return nullptr;
  return iterator;
}

// .module name formal:type ... .end
StatementPtr TemplateBuilder::build_module(TemplateReader& reader) {
  if (too_deep(reader)) return nullptr;
  DepthScope scope(depth_);
  auto module = std::make_unique<ModuleStatement>(reader.line_number(),
                                                  std::string(first_word(after_first_word(
                                                      reader.current_text()))));
  if (!read_module_header(*module, reader)) return nullptr;
  read_body(*module, reader);
  if (!ok_) return nullptr;
  return module;
}

// Registers the module name and reads the formal parameters. Returns false
// when the parameters are malformed (the body is then not read).
bool TemplateBuilder::read_module_header(ModuleStatement& module, TemplateReader& reader) {
  const std::string& name = module.name();
  std::string line_number = std::to_string(reader.line_number());
  if (name.empty()) {
    error(kModuleWithoutName, line_number);
    ok_ = false;
  } else if (std::find(modules_.begin(), modules_.end(), name) != modules_.end()) {
    error(kModuleLoaded, line_number, name);
    ok_ = false;
  } else {
    modules_.push_back(name);
  }
  std::string_view rest = skip_white(after_first_word(reader.current_text()).substr(name.size()));
  while (!rest.empty()) {
    size_t colon = rest.find(':');
    std::string_view after_colon =
        colon == std::string_view::npos ? std::string_view() : skip_white(rest.substr(colon + 1));
    if (after_colon.empty()) {
      error(kParameterFormat, line_number, name, reader.current_text());
      ok_ = false;
      return false;
    }
    std::string parameter(rest.substr(0, colon));
    strip(parameter, sets::white());
    std::string_view type = first_word(after_colon);
    if (!is_parameter_type(type)) {
      error(kParameterType, line_number, parameter, type);
      ok_ = false;
      return false;
    }
    module.add_parameter({std::move(parameter), std::string(type)});
    rest = skip_white(after_colon.substr(type.size()));
  }
  return true;
}

void TemplateBuilder::read_iterator_header(IteratorStatement& iterator, TemplateReader& reader) {
  std::string_view header = after_first_word(reader.current_text());
  std::string line_number = std::to_string(reader.line_number());
  switch (iterator.row().form) {
    case HeaderForm::token:
      return read_token_header(iterator, header, reader);
    case HeaderForm::pragma:
      iterator.set_subject(trim_right_white(header));
      if (iterator.subject().empty()) error(kNoPragmaName, line_number, line_number);
      return;
    case HeaderForm::var_item:
      iterator.set_subject(trim_right_white(header));
      if (iterator.subject().empty()) error(kNoArrayName, line_number);
      return;
    default:
      return read_standard_header(iterator, header, reader);
  }
}

// [name] [<filter ...>]; anything else after the name is reported and ignored.
void TemplateBuilder::read_standard_header(IteratorStatement& iterator, std::string_view header,
                                           TemplateReader& reader) {
  if (starts_with_letter(header)) {
    std::string_view name = first_word(header);
    iterator.set_prefix(name);
    header = skip_white(header.substr(name.size()));
  }
  if (header.empty()) return;
  if (header.front() == '<') return iterator.set_filter(header);
  error(kUnexpectedParameters, reader.file_name(), std::to_string(reader.line_number()));
}

// name arguments
void TemplateBuilder::read_token_header(IteratorStatement& iterator, std::string_view header,
                                        TemplateReader& reader) {
  std::string_view name = first_word(header);
  if (!name.empty()) iterator.set_prefix(name);
  std::string_view arguments = skip_white(header.substr(name.size()));
  iterator.set_filter(arguments);
  if (name.empty() || arguments.empty()) {
    error(kUnexpectedParameters, reader.file_name(), std::to_string(reader.line_number()));
  }
}

// ---- bodies ----

void TemplateBuilder::read_body(BlockStatement& node, TemplateReader& reader) {
  for (;;) {
    StatementKind kind = reader.next_kind();
    if (kind == stmt_eof) {
      error(container_row(node.kind()).missing_end, std::to_string(node.line_number()));
      ok_ = false;
      return;
    }
    if (!ok_ || kind == stmt_end) return;
    add_to_body(kind, node, reader);
  }
}

void TemplateBuilder::add_to_body(StatementKind kind, BlockStatement& node,
                                  TemplateReader& reader) {
  switch (kind) {
    case stmt_separator:
      if (!is_iterator_kind(node.kind())) break;
      if (auto separator = build_block(reader)) {
        static_cast<IteratorStatement&>(node).set_separator(std::move(separator));
      }
      return;
    case stmt_refd_obj:
      if (node.kind() != stmt_each_attr) break;
      return append(node, build_iterator(stmt_refd_obj, reader));
    case stmt_default:
    case stmt_module:
    case stmt_import:
      break;
    default:
      return append(node, build_statement(kind, reader));
  }
  fail_line(container_row(node.kind()).cannot_appear, reader);
}

void TemplateBuilder::read_select_body(SelectStatement& select, TemplateReader& reader) {
  for (;;) {
    StatementKind kind = reader.next_kind();
    if (kind == stmt_eof) {
      error(container_row(stmt_multiblock).missing_end, std::to_string(select.line_number()));
      ok_ = false;
      return;
    }
    if (!ok_ || kind == stmt_end) return;
    add_to_select(kind, select, reader);
  }
}

void TemplateBuilder::add_to_select(StatementKind kind, SelectStatement& select,
                                    TemplateReader& reader) {
  switch (kind) {
    case stmt_simple:
    case stmt_block:
      return append(select, build_statement(kind, reader));
    case stmt_default:
      if (select.default_branch()) return fail_line(kSecondDefault, reader);
      if (auto branch = build_block(reader)) select.set_default_branch(std::move(branch));
      return;
    case stmt_unknown:
      return fail_line(kUndetermined, reader);
    default:
      return fail_line(container_row(stmt_multiblock).cannot_appear, reader);
  }
}

}  // namespace

Template load_template(const std::string& path) { return TemplateBuilder().load(path); }

}  // namespace quill
