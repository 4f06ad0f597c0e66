// The directives that set, clear, edit and search variables, array variables
// (name[]) and keyed variables (name{key}), and $$SETCTIC, which sets a
// characteristic of a current model element.
//
// Arithmetic on plain variables saturates at the limits of a 64-bit integer,
// so that no template text can overflow it.
#include <climits>
#include <string>
#include <string_view>

#include "foundation/char_set.h"
#include "foundation/messages.h"
#include "foundation/pattern.h"
#include "model/elements.h"
#include "model/items.h"
#include "template/directive_handlers.h"
#include "template/directives.h"
#include "template/generation_run.h"

namespace quill {

namespace {

constexpr std::string_view kArraySyntax = "$$SETVAR syntax error (array?): %s";
constexpr std::string_view kNeedsPair =
    "$$SETVAR directive needs to have a variable value pair: ... %s";
constexpr std::string_view kSetcticNeeds =
    "$$SETCTIC directive error - need: objtype name value - found $$SETCTIC %s";
constexpr std::string_view kSetcticScope =
    "$$SETCTIC directive error - objtype not recognized or named scope not current - "
    "$$SETCTIC %s";

// The two $$SETVAR warnings shown at most once per process.
bool value_missing_pending = true;
bool operator_expected_pending = true;

size_t skip_white(std::string_view text, size_t from) {
  return from >= text.size() ? text.size() : from + span(sets::white(), text.substr(from));
}

size_t name_run(std::string_view text, size_t from) {
  return from >= text.size() ? 0 : span(sets::name_chars(), text.substr(from));
}

// A value as written after the name: trimmed, an opening and a closing
// double quote dropped, every \" made a plain quote.
std::string prepare_value(std::string_view raw) {
  std::string value(raw);
  trim(value, sets::white());
  if (!value.empty() && value.front() == '"') value.erase(0, 1);
  if (!value.empty() && value.back() == '"') value.pop_back();
  std::string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == '"') continue;
    out += value[i];
  }
  return out;
}

// ---- integers ----

// Reads the decimal digits at text[pos...], advancing pos; saturates.
unsigned long long read_digits(std::string_view text, size_t& pos) {
  unsigned long long value = 0;
  for (; pos < text.size() && sets::digits().contains(text[pos]); ++pos) {
    unsigned long long digit = static_cast<unsigned long long>(text[pos] - '0');
    value = value > (ULLONG_MAX - digit) / 10 ? ULLONG_MAX : value * 10 + digit;
  }
  return value;
}

long long clamp_signed(unsigned long long magnitude, bool negative) {
  if (!negative) return magnitude > LLONG_MAX ? LLONG_MAX : static_cast<long long>(magnitude);
  if (magnitude > static_cast<unsigned long long>(LLONG_MAX)) return LLONG_MIN;
  return -static_cast<long long>(magnitude);
}

// Leading white space and a sign are accepted; reading stops at the first
// non-digit; text without digits reads as 0.
long long read_integer(std::string_view text) {
  size_t pos = span(sets::white(), text);
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  return clamp_signed(read_digits(text, pos), negative);
}

long long add_saturating(long long a, long long b) {
  long long sum = 0;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return b > 0 ? LLONG_MAX : LLONG_MIN;
}

// The new value of an existing variable: "+N" and "-N" count from the old value.
std::string updated_value(const std::string& old_value, const std::string& value) {
  if (value.size() < 2 || (value[0] != '+' && value[0] != '-') ||
      !sets::digits().contains(value[1])) {
    return value;
  }
  size_t pos = 1;
  long long step = clamp_signed(read_digits(value, pos), value[0] == '-');
  return int_text(add_saturating(read_integer(old_value), step));
}

// ---- $$SETVAR and $$SETGVAR ----

enum class VariableForm { plain, array, keyed };

// The form, decided by the first non-blank character after the leading name.
VariableForm form_of(std::string_view text) {
  size_t at = skip_white(text, name_run(text, 0));
  if (at < text.size() && text[at] == '[') return VariableForm::array;
  if (at < text.size() && text[at] == '{') return VariableForm::keyed;
  return VariableForm::plain;
}

void warn_once(bool& pending, const std::string& format, std::string_view line) {
  if (!pending) return;
  pending = false;
  warning(format, line);
}

// name [] | name [] += value | name [] -= value
void set_array(GenerationRun& run, std::string_view text, std::string_view line) {
  std::string name(text.substr(0, name_run(text, 0)));
  size_t close = text.find(']', name.size());
  if (close == std::string_view::npos) {
    error(kArraySyntax, line);
    return;
  }
  size_t at = skip_white(text, close + 1);
  if (at == text.size()) {
    run.arrays.remove(name);
    return;
  }
  char op = text[at];
  if ((op != '+' && op != '-') || at + 1 >= text.size() || text[at + 1] != '=') {
    warn_once(operator_expected_pending,
              "Expecting operator '+=' or '-=' or EOL after $SETVAR " + name + "[] ... :%s", line);
    return;
  }
  std::string value = prepare_value(text.substr(at + 2));
  if (value.empty()) {
    warn_once(value_missing_pending,
              "Value missing after $SETVAR " + name + "[] " + op + "= :%s", line);
    return;
  }
  StringSet& array = run.arrays.get(name);
  if (op == '+') {
    array.add(value);
  } else {
    array.remove_text(value);
  }
}

// name {} | name {key} | name {key} value
void set_keyed(GenerationRun& run, std::string_view text, std::string_view line) {
  std::string name(text.substr(0, name_run(text, 0)));
  size_t at = skip_white(text, skip_white(text, name.size()) + 1);  // past the '{'
  if (at == text.size()) {
    warning("Malformed $$SETVAR " + name + "{... :%s", line);
    return;
  }
  if (text[at] == '}' && skip_white(text, at + 1) == text.size()) {
    run.keyed.remove(name);
    return;
  }
  size_t key_end = at + name_run(text, at);
  if (key_end >= text.size() || text[key_end] != '}') {
    warning("Malformed $$SETVAR " + name + "{ID... :%s", line);
    return;
  }
  std::string_view key = text.substr(at, key_end - at);
  std::string value = prepare_value(text.substr(key_end + 1));
  StringMap& map = run.keyed.get(name);
  if (value.empty()) {
    map.remove(key);
  } else {
    map.value(key) = value;
  }
}

// name value: "+N"/"-N" count on from an existing value.
void set_plain(GenerationRun& run, std::string_view text, bool global) {
  size_t name_end = find_member(sets::white(), text);
  std::string_view raw = name_end < text.size() ? text.substr(name_end) : std::string_view();
  if (skip_white(raw, 0) == raw.size()) {
    error(kNeedsPair, text);
    return;
  }
  InternedName name(text.substr(0, name_end));
  std::string value = prepare_value(raw);
  Variable* variable = run.symbols.find_to_change(name, global);
  if (variable) {
    variable->set_value(updated_value(variable->value(), value));
  } else {
    run.symbols.set(name, value, global);
  }
}

void set_variable(GenerationRun& run, const DirectiveCall& call, bool global) {
  std::string_view text = call.args.substr(skip_white(call.args, 0));
  switch (form_of(text)) {
    case VariableForm::array: set_array(run, text, call.line); break;
    case VariableForm::keyed: set_keyed(run, text, call.line); break;
    case VariableForm::plain: set_plain(run, text, global); break;
  }
}

// ---- $$SETCTIC ----

struct ElementSlot {
  std::string_view objtype;
  Element* (*current)(GenerationRun& run);
};

const ElementSlot kElementSlots[] = {
    {"dsm", [](GenerationRun& r) -> Element* { return r.model; }},
    {"event", [](GenerationRun& r) -> Element* { return r.current_event; }},
    {"obj", [](GenerationRun& r) -> Element* { return r.current_object; }},
    {"attr", [](GenerationRun& r) -> Element* { return r.current_attribute; }},
    {"state", [](GenerationRun& r) -> Element* { return r.current_state; }},
    {"tx", [](GenerationRun& r) -> Element* { return r.current_transition; }},
    {"literal", [](GenerationRun& r) -> Element* { return r.current_literal; }},
    {"proc", [](GenerationRun& r) -> Element* { return r.current_process; }},
    {"flow", [](GenerationRun& r) -> Element* { return r.current_flow; }},
    {"ftn", [](GenerationRun& r) -> Element* { return r.current_function; }},
    {"param", [](GenerationRun& r) -> Element* { return r.current_parameter; }},
    {"foreign", [](GenerationRun& r) -> Element* { return r.current_substitution; }},
    {"inst", [](GenerationRun& r) -> Element* { return r.current_instance; }},
};

Element* current_element_of(GenerationRun& run, std::string_view objtype) {
  for (const ElementSlot& slot : kElementSlots) {
    if (slot.objtype == objtype) return slot.current(run);
  }
  return nullptr;
}

// ---- $$EDITVAR ----

// A count written only in decimal digits; saturates. False when empty or not digits.
bool read_count(std::string_view word, size_t& count) {
  if (word.empty() || !consists_of(word, sets::digits())) return false;
  size_t pos = 0;
  unsigned long long value = read_digits(word, pos);
  count = value > SIZE_MAX ? SIZE_MAX : static_cast<size_t>(value);
  return true;
}

void edit_left(std::string& value, std::string_view args) {
  size_t n = 0;
  if (read_count(next_word(args), n) && n < value.size()) value.resize(n);
}

void edit_right(std::string& value, std::string_view args) {
  size_t n = 0;
  if (read_count(next_word(args), n) && n < value.size()) value.erase(0, value.size() - n);
}

void edit_lowercase(std::string& value, std::string_view /*args*/) { make_lower(value); }
void edit_uppercase(std::string& value, std::string_view /*args*/) { make_upper(value); }

// S [L]: L characters from 0-based position S, everything from S without L.
void edit_substr(std::string& value, std::string_view args) {
  size_t start = 0, length = std::string::npos;
  if (!read_count(next_word(args), start)) return;
  std::string_view length_word = next_word(args);
  if (!length_word.empty() && !read_count(length_word, length)) return;
  value = start >= value.size() ? std::string() : value.substr(start, length);
}

struct EditOperation {
  std::string_view name;
  void (*edit)(std::string& value, std::string_view args);
};

constexpr EditOperation kEditOperations[] = {
    {"left", edit_left},           {"right", edit_right},         {"lowercase", edit_lowercase},
    {"uppercase", edit_uppercase}, {"substr", edit_substr},
};

// ---- $$SEARCHVAR ----

struct SearchResult {
  bool found = false;
  long pos = 0, len = 0;
};

// A leading '^' anchors at the start, a trailing '^' (not escaped) at the end.
SearchResult search_value(std::string_view value, std::string pattern) {
  bool at_start = !pattern.empty() && pattern.front() == '^';
  if (at_start) pattern.erase(0, 1);
  bool at_end = !pattern.empty() && pattern.back() == '^';
  if (at_end) {
    pattern.pop_back();
    if (!pattern.empty() && pattern.back() == '\\') {
      pattern += '^';
      at_end = false;
    }
  }
  Pattern compiled(pattern);
  Pattern::Found match = compiled.search(value);
  if (match.length == 0 || (at_start && match.start != 0)) return {};
  if (at_end) {
    for (Pattern::Found next = match; next.length > 0;
         next = compiled.search(value, match.start + match.length)) {
      match = next;
    }
    if (match.start + match.length != static_cast<long>(value.size())) return {};
  }
  return {true, match.start, match.length};
}

}  // namespace

void setvar_directive(GenerationRun& run, const DirectiveCall& call) {
  set_variable(run, call, false);
}

void setgvar_directive(GenerationRun& run, const DirectiveCall& call) {
  set_variable(run, call, true);
}

void clearvar_directive(GenerationRun& run, const DirectiveCall& call) {
  std::string_view text = call.args.substr(skip_white(call.args, 0));
  std::string_view name = text.substr(0, name_run(text, 0));
  switch (form_of(text)) {
    case VariableForm::array: run.arrays.remove(name); return;
    case VariableForm::keyed: run.keyed.remove(name); return;
    case VariableForm::plain: break;
  }
  // Trailing blanks are invisible in a template and no variable name ends in one.
  std::string plain(text);
  trim_right(plain, sets::white());
  if (plain.empty()) return;
  if (const Variable* variable = run.symbols.find(InternedName(plain))) run.symbols.remove(variable);
}

void setctic_directive(GenerationRun& run, const DirectiveCall& call) {
  std::string_view args = call.args.substr(skip_white(call.args, 0));
  std::string_view rest = args;
  std::string_view objtype = next_word(rest);
  std::string_view name = next_word(rest);
  std::string_view value = rest.substr(skip_white(rest, 0));
  if (name.empty() || value.empty()) {
    error(kSetcticNeeds, args);
    return;
  }
  Element* element = current_element_of(run, objtype);
  if (!element) {
    error(kSetcticScope, args);
    return;
  }
  element->set_characteristic(name, value);
}

void editvar_directive(GenerationRun& run, const DirectiveCall& call) {
  std::string_view rest = call.args;
  std::string_view name = next_word(rest);
  if (name.empty()) return;
  Variable* variable = run.symbols.find_to_change(InternedName(name));
  if (!variable) return;
  std::string_view operation = next_word(rest);
  for (const EditOperation& row : kEditOperations) {
    if (row.name != operation) continue;
    std::string value = variable->value();
    row.edit(value, rest);
    variable->set_value(value);
    return;
  }
}

void searchvar_directive(GenerationRun& run, const DirectiveCall& call) {
  static const InternedName kFound("search.found"), kPos("search.pos"), kLen("search.len"),
      kRest("search.rest");
  std::string_view rest = call.args;
  std::string_view name = next_word(rest);
  if (name.empty()) return;
  const Variable* variable = run.symbols.find(InternedName(name));
  if (!variable) return;
  std::string_view pattern = next_word(rest);
  SearchResult result;
  if (!pattern.empty()) result = search_value(variable->value(), std::string(pattern));
  assign_variable(run, kFound, bool_text(result.found));
  assign_variable(run, kPos, int_text(result.pos));
  assign_variable(run, kLen, int_text(result.len));
  assign_variable(run, kRest, int_text(result.pos + result.len));
}

void reset_directive_warnings() {
  value_missing_pending = true;
  operator_expected_pending = true;
}

}  // namespace quill
