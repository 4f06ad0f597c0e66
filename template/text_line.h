// Template text parsed once into elements: literal text, column stops,
// variable references and computed references (a reference whose content
// holds further references). A TextLine is evaluated either as text or as a
// condition that yields "true" or "false".
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "foundation/interned_name.h"

namespace quill {

struct GenerationRun;
class TextLine;

// Text copied to the output unchanged.
struct LiteralText {
  std::string text;
};

// Pads the output with blanks up to a column (1-based).
struct ColumnStop {
  long column = 0;
};

// A reference `<!@name=comparison|default>`; every part but the name is
// optional. The parts are decoded once, when the reference is made.
struct VariableReference {
  VariableReference() = default;
  // Decodes the content written between the angle brackets.
  explicit VariableReference(std::string_view content);

  std::string content;       // as written
  std::string name;          // without the flags, comparison and default
  std::string default_text;  // after '|'
  std::string comparison;    // after '='
  bool negate = false;       // '!'
  bool exists_test = false;  // '@'
  bool has_comparison = false;
  // name{key}: a keyed variable. key_ok is false when a brace is missing.
  bool is_keyed = false;
  bool key_ok = false;
  std::string keyed_name, key;
  InternedName interned;  // the name, for plain references
};

// A reference whose name is itself computed from the nested text.
struct ComputedReference {
  ComputedReference();
  explicit ComputedReference(std::unique_ptr<TextLine> inner);
  ComputedReference(ComputedReference&&) noexcept;
  ComputedReference& operator=(ComputedReference&&) noexcept;
  ~ComputedReference();

  std::unique_ptr<TextLine> inner;
};

using TextElement = std::variant<LiteralText, ColumnStop, VariableReference, ComputedReference>;

class TextLine {
 public:
  TextLine() = default;
  TextLine(std::string_view text, bool strip) { parse(text, strip); }
  TextLine(TextLine&&) noexcept = default;
  TextLine& operator=(TextLine&&) noexcept = default;

  // Replaces the elements by those of text. With strip on, white space is
  // removed from the literal parts (conditions and filters).
  void parse(std::string_view text, bool strip);

  bool empty() const { return elements_.empty(); }
  bool strip() const { return strip_; }
  const std::vector<TextElement>& elements() const { return elements_; }

  // A compact rendering of the elements, for tests:
  // "text" #20 ref(name) ref(name !@ =cmp |def) key(arr{k}) cref(...)
  std::string dump() const;

 private:
  friend class TextParser;
  std::vector<TextElement> elements_;
  bool strip_ = false;
};

// Fills text_line from text (the old elements are discarded).
inline void parse_text(TextLine& text_line, std::string_view text, bool strip) {
  text_line.parse(text, strip);
}

// Replaces output with the value of text_line: the text with every reference
// replaced, or, in condition mode, "true" or "false".
void evaluate(const TextLine& text_line, std::string& output, GenerationRun& run,
              bool condition_mode);

// True when the condition is empty or evaluates to exactly "true".
bool is_true(const TextLine& condition, GenerationRun& run);

// True when text consists only of the letters of "true" (the empty text too).
bool counts_as_true(std::string_view text);

}  // namespace quill
