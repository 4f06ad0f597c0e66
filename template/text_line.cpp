// Parsing template text into elements.
//
// A '<' starts a reference only when the `valid` test holds for it: after the
// reference-name characters that follow it comes '>', or '|'/'=' with a '>'
// somewhere later, or a nested '<' that is itself valid and whose first
// following '>' is valid as well. Everything else is literal text, so
// "a < b" stays text while "<stdio.h>" and "<a<b>c>" are references. The test
// only ever looks to the right, so it is computed for every position at once
// from the end of the text backwards (no recursion, linear time).
//
// The content of a reference runs to the '>' that balances its '<'. Content
// holding a '<' is a computed reference and is parsed again as nested text;
// nesting deeper than kMaxReferenceDepth is kept as literal text so that no
// input can exhaust the stack.
#include "template/text_line.h"

#include <array>
#include <utility>

#include "foundation/char_set.h"
#include "output/output_file.h"
#include "template/generation_run.h"

namespace quill {
namespace {

constexpr int kMaxReferenceDepth = 16;
// Column stops beyond this are treated as this column: padding to an absurd
// column would only exhaust memory.
constexpr long kMaxColumn = 32767;

bool all_digits(std::string_view text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

long column_number(std::string_view digits) {
  long value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value > kMaxColumn) return kMaxColumn;
  }
  return value;
}

}  // namespace

VariableReference::VariableReference(std::string_view text) : content(text) {
  if (!text.empty() && text[0] == '!') {
    negate = true;
    text.remove_prefix(1);
  }
  if (!text.empty() && text[0] == '@') {
    exists_test = true;
    text.remove_prefix(1);
  }
  if (size_t bar = text.find('|'); bar != std::string_view::npos) {
    default_text = text.substr(bar + 1);
    text = text.substr(0, bar);
  }
  if (size_t eq = text.find('='); eq != std::string_view::npos) {
    has_comparison = true;
    comparison = text.substr(eq + 1);
    text = text.substr(0, eq);
  }
  name = text;
  size_t open = name.find('{');
  if (open == std::string::npos) {
    interned = InternedName(name);
    return;
  }
  is_keyed = true;
  keyed_name = name.substr(0, open);
  size_t close = name.find('}', open + 1);
  if (close != std::string::npos) {
    key_ok = true;
    key = name.substr(open + 1, close - open - 1);
  }
}

ComputedReference::ComputedReference() = default;
ComputedReference::ComputedReference(std::unique_ptr<TextLine> line) : inner(std::move(line)) {}
ComputedReference::ComputedReference(ComputedReference&&) noexcept = default;
ComputedReference& ComputedReference::operator=(ComputedReference&&) noexcept = default;
ComputedReference::~ComputedReference() = default;

namespace {

// The per-position tables of a parser. A computed reference is parsed while
// the text around it still is, so there is one set per nesting depth; kept
// from line to line, they spare every line its own allocations.
struct ParseTables {
  std::vector<char> valid;      // a '<' at the position begins a reference
  std::vector<size_t> next_gt;  // the first '>' after the position
};

ParseTables& tables_at(int depth) {
  thread_local std::array<ParseTables, kMaxReferenceDepth + 1> tables;
  return tables[static_cast<size_t>(depth)];
}

}  // namespace

class TextParser {
 public:
  TextParser(std::string_view text, bool strip, int depth)
      : text_(text), strip_(strip), depth_(depth), valid_(tables_at(depth).valid) {}

  void parse(std::vector<TextElement>& out);

 private:
  void compute_valid();
  std::string collect_literal();
  // The index of the '>' closing the reference opened at pos_, or npos.
  size_t closing_bracket() const;
  void add_reference(std::string_view content, std::vector<TextElement>& out);

  std::string_view text_;
  bool strip_;
  int depth_;
  size_t pos_ = 0;
  std::vector<char>& valid_;  // per position: a '<' there begins a reference
};

void TextParser::compute_valid() {
  const size_t n = text_.size();
  valid_.assign(n, 0);
  if (text_.find('<') == std::string_view::npos) return;
  const CharSet& names = sets::reference_name_chars();
  constexpr size_t kNone = std::string_view::npos;
  std::vector<size_t>& next_gt = tables_at(depth_).next_gt;
  next_gt.assign(n + 1, kNone);
  for (size_t i = n; i-- > 0;) {
    next_gt[i] = (i + 1 < n && text_[i + 1] == '>') ? i + 1 : next_gt[i + 1];
  }
  size_t name_end = n;  // the first non-name position after i
  for (size_t i = n; i-- > 0;) {
    char c = text_[i];
    if (c == '<' || c == '>') {
      char after = name_end < n ? text_[name_end] : '\0';
      if (after == '>') {
        valid_[i] = true;
      } else if (after == '|' || after == '=') {
        valid_[i] = next_gt[name_end] != kNone;
      } else if (after == '<') {
        size_t gt = next_gt[name_end];
        valid_[i] = valid_[name_end] && gt != kNone && valid_[gt];
      }
    }
    if (!names.contains(c)) name_end = i;
  }
}

std::string TextParser::collect_literal() {
  std::string literal;
  while (pos_ < text_.size()) {
    // Copy the run up to the next character that may end or escape it.
    size_t stop = pos_;
    while (stop < text_.size() && text_[stop] != '\\' && text_[stop] != '<') ++stop;
    literal.append(text_, pos_, stop - pos_);
    pos_ = stop;
    if (pos_ == text_.size()) break;
    char c = text_[pos_];
    if (c == '\\' && pos_ + 1 < text_.size()) {
      literal += text_[pos_ + 1];
      pos_ += 2;
      continue;
    }
    if (c == '<' && valid_[pos_]) break;
    literal += c;
    ++pos_;
  }
  if (strip_) strip(literal, sets::white());
  return literal;
}

size_t TextParser::closing_bracket() const {
  int depth = 1;
  for (size_t k = pos_ + 1; k < text_.size(); ++k) {
    char c = text_[k];
    if (c == '\\') {
      ++k;
    } else if (c == '<') {
      ++depth;
    } else if (c == '>' && --depth == 0) {
      return k;
    }
  }
  return std::string_view::npos;
}

void TextParser::add_reference(std::string_view content, std::vector<TextElement>& out) {
  if (all_digits(content)) {
    out.emplace_back(ColumnStop{column_number(content)});
  } else if (content.find('<') == std::string_view::npos) {
    out.emplace_back(std::in_place_type<VariableReference>, content);
  } else if (depth_ >= kMaxReferenceDepth) {
    std::string literal = "<";
    literal.append(content).push_back('>');
    out.emplace_back(LiteralText{std::move(literal)});
  } else {
    auto inner = std::make_unique<TextLine>();
    inner->strip_ = false;
    TextParser(content, false, depth_ + 1).parse(inner->elements_);
    out.emplace_back(ComputedReference(std::move(inner)));
  }
}

void TextParser::parse(std::vector<TextElement>& out) {
  compute_valid();
  while (true) {
    std::string literal = collect_literal();
    if (!literal.empty()) out.emplace_back(LiteralText{std::move(literal)});
    if (pos_ >= text_.size()) return;
    size_t close = closing_bracket();
    if (close == std::string_view::npos) {
      out.emplace_back(ColumnStop{0});  // the bracket count ran off the end
      return;
    }
    add_reference(text_.substr(pos_ + 1, close - pos_ - 1), out);
    pos_ = close + 1;
  }
}

void TextLine::parse(std::string_view text, bool strip) {
  elements_.clear();
  strip_ = strip;
  if (text.empty()) return;
  TextParser(text, strip, 0).parse(elements_);
}

namespace {

void dump_reference(const VariableReference& ref, std::string& out) {
  out += ref.is_keyed ? "key(" : "ref(";
  out += ref.name;
  if (ref.negate || ref.exists_test) {
    out += ' ';
    if (ref.negate) out += '!';
    if (ref.exists_test) out += '@';
  }
  if (ref.has_comparison) out += " =" + ref.comparison;
  if (!ref.default_text.empty()) out += " |" + ref.default_text;
  out += ')';
}

struct Dumper {
  std::string& out;
  void operator()(const LiteralText& e) { out += '"' + e.text + '"'; }
  void operator()(const ColumnStop& e) { out += '#' + std::to_string(e.column); }
  void operator()(const VariableReference& e) { dump_reference(e, out); }
  void operator()(const ComputedReference& e) { out += "cref(" + e.inner->dump() + ')'; }
};

}  // namespace

std::string TextLine::dump() const {
  std::string out;
  for (const TextElement& element : elements_) {
    if (!out.empty()) out += ' ';
    std::visit(Dumper{out}, element);
  }
  return out;
}

// ---- Evaluation ----

namespace {

constexpr std::string_view kTrue = "true";
constexpr std::string_view kFalse = "false";

// The value a reference names, or nullptr when it is undefined.
const std::string* lookup(const VariableReference& ref, GenerationRun& run) {
  if (!ref.is_keyed) return run.symbols.find_value(ref.interned);
  if (!ref.key_ok) return nullptr;
  const StringMap* map = run.keyed.find(ref.keyed_name);
  const long index = map ? map->keys().find(ref.key) : -1;
  return index < 0 ? nullptr : &map->values().item(static_cast<size_t>(index));
}

// The value of a reference in a condition. It always lies in storage that
// outlives the evaluation (the variable, the reference, or a constant), so
// conditions are answered without copying any text.
std::string_view condition_value(const VariableReference& ref, GenerationRun& run) {
  const std::string* value = lookup(ref, run);
  std::string_view result;
  if (ref.exists_test) {
    result = value ? kTrue : kFalse;
  } else if (value && ref.has_comparison) {
    result = *value == ref.comparison ? kTrue : kFalse;
  } else if (value) {
    result = *value;
  } else if (!ref.default_text.empty()) {
    result = ref.default_text;
  } else {
    result = kFalse;
  }
  if (ref.negate) result = result == kTrue ? kFalse : kTrue;
  return result;
}

// Appends the value of a reference in text: an undefined one without a
// default stands as written (NEWLINE as a line end).
void append_reference(const VariableReference& ref, std::string& out, GenerationRun& run) {
  const std::string* value = lookup(ref, run);
  if (ref.exists_test) {
    out += value ? kTrue : kFalse;
  } else if (value && ref.has_comparison) {
    out += *value == ref.comparison ? kTrue : kFalse;
  } else if (value) {
    out += *value;
  } else if (!ref.default_text.empty()) {
    out += ref.default_text;
  } else if (ref.name == "NEWLINE") {
    out += "\r\n";
  } else {
    out += '<';
    out += ref.name;
    out += '>';
  }
}

// Pads out with blanks so that the next character lands in the column.
void pad_to_column(long column, std::string& out) {
  size_t last_lf = out.rfind('\n');
  long next = last_lf == std::string::npos
                  ? output_file().column() + static_cast<long>(out.size())
                  : static_cast<long>(out.size() - last_lf);
  if (next < column) out.append(static_cast<size_t>(column - next), ' ');
}

void append_element(const TextElement& element, std::string& out, GenerationRun& run) {
  switch (element.index()) {
    case 0:
      out += std::get<LiteralText>(element).text;
      break;
    case 1:
      pad_to_column(std::get<ColumnStop>(element).column, out);
      break;
    case 2:
      append_reference(std::get<VariableReference>(element), out, run);
      break;
    case 3: {
      std::string name;
      evaluate(*std::get<ComputedReference>(element).inner, name, run, false);
      append_reference(VariableReference(name), out, run);
      break;
    }
  }
}

// The value of one element of a condition. Values held nowhere else (the
// padding of a column stop, the value of a computed reference) are made in
// scratch, which the next call may overwrite.
std::string_view condition_piece(const TextElement& element, std::string& scratch,
                                 GenerationRun& run) {
  switch (element.index()) {
    case 0:
      return std::get<LiteralText>(element).text;
    case 1:
      scratch.clear();
      pad_to_column(std::get<ColumnStop>(element).column, scratch);
      return scratch;
    case 2:
      return condition_value(std::get<VariableReference>(element), run);
    default: {
      std::string name;
      evaluate(*std::get<ComputedReference>(element).inner, name, run, false);
      scratch.assign(condition_value(VariableReference(name), run));
      return scratch;
    }
  }
}

// Adjacent values form a conjunction (they are concatenated and must spell
// only the letters of "true"); a value of exactly "||" separates alternatives.
// The concatenation spells only those letters exactly when every value does,
// so it is never built: two flags per alternative say all there is to know.
bool evaluate_condition(const TextLine& condition, GenerationRun& run) {
  std::string scratch;
  bool empty = true;        // the alternative so far has no text
  bool all_truth = true;    // ... and spells only letters of "true"
  bool alternative_failed = false;
  for (const TextElement& element : condition.elements()) {
    std::string_view piece = condition_piece(element, scratch, run);
    if (piece != "||") {
      empty = empty && piece.empty();
      all_truth = all_truth && counts_as_true(piece);
    } else if (all_truth) {
      break;
    } else {
      empty = all_truth = true;
      alternative_failed = true;
    }
  }
  if (empty) return !alternative_failed;
  return all_truth;
}

}  // namespace

bool counts_as_true(std::string_view text) {
  for (char c : text) {
    if (c != 't' && c != 'r' && c != 'u' && c != 'e') return false;
  }
  return true;
}

void evaluate(const TextLine& text_line, std::string& output, GenerationRun& run,
              bool condition_mode) {
  output.clear();
  if (condition_mode) {
    output = evaluate_condition(text_line, run) ? kTrue : kFalse;
    return;
  }
  for (const TextElement& element : text_line.elements()) append_element(element, output, run);
}

bool is_true(const TextLine& condition, GenerationRun& run) {
  return condition.empty() || evaluate_condition(condition, run);
}

}  // namespace quill
