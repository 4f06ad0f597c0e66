// The model parser: recursive descent with one token of look-ahead over the
// tokens of a ModelFileLexer. It reads a model file and every file it
// imports into one new Model and stops at the first syntax error.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "foundation/interned_name.h"
#include "model/lexer.h"
#include "model/model_files.h"

namespace quill {

class Attribute;
class Element;
class Function;
class Literal;
class Model;
class ModelObject;
class Pragma;
class Process;
class State;
class Parameter;
class TypedElement;

class ModelParser {
 public:
  enum class Status { ok, file_error, syntax_error };

  struct Result {
    Status status = Status::ok;
    long offset = 0;  // of the offending token within its chunk
    long length = 0;
    long line = 0;
    std::string bad_file;          // the file in which parsing stopped
    std::unique_ptr<Model> model;  // only when status is ok
  };

  // Objects nested deeper than this are rejected as a syntax error, so that
  // no input can exhaust the stack.
  static constexpr int kMaxObjectDepth = 200;

  ModelParser();
  ~ModelParser();

  // Parses model_name and its imports. Reads NoCxxKeywords, NoAdaKeywords,
  // StripReturns and DsmSearchPath; sets DSMHasUIDs. Errors are reported
  // through the message sink.
  Result parse(const std::string& model_name);

  // The files of the last parse, in the order they were (to be) read.
  const std::vector<std::string>& files() const { return files_.files(); }

 private:
  using Kinds = std::initializer_list<TokenKind>;

  bool parse_file();
  bool top_level();
  bool object_decl(ModelObject* container);
  bool parent_list(ModelObject& object);
  bool members(ModelObject& object);
  bool member(ModelObject& object);
  bool named_member();
  bool attribute_decl(std::vector<std::unique_ptr<Attribute>>& into, const std::string& name);
  bool type_ref(TypedElement& element);
  template <class T>
  std::unique_ptr<T> typed_element(std::string_view name);
  bool function_decl(const std::string& name, std::vector<std::unique_ptr<Function>>& into);
  bool parameters(Function& function);
  bool parameter();
  bool state_decl(std::vector<std::unique_ptr<State>>& into);
  bool action_clause(State& state);
  bool transition(State& state);
  bool process_decl(std::vector<std::unique_ptr<Process>>& into);
  bool flow_decl(Process& process);
  bool literal_decl(std::vector<std::unique_ptr<Literal>>& into);
  bool pragma_decl(std::vector<std::unique_ptr<Pragma>>& into);
  bool pragma_values(Pragma& pragma);
  bool events_decl();
  bool foreign_decl();
  bool name_decl();
  bool substitution(const std::string& name);
  bool instance_decl(const std::string& name);
  bool import_decl();
  bool end_clause(Element& element);
  bool ctics(Element& element);
  bool ctic(Element& element, bool& at_eof);
  bool value(std::string& out);
  bool block(std::string& out);

  void add_characteristic(Element& element, const InternedName& id, const std::string& value);
  bool ctic_repeated(const Element& element, const std::string& name);
  void warn_repeated(const std::string& name);

  // Token helpers. The current kind is kept here, as every rule asks for it
  // several times per token.
  TokenKind kind() const { return kind_; }
  std::string text() const { return lexer_->text(true); }
  // The current token's text as a view, valid until the next advance() or
  // token() call.
  std::string_view token() { return lexer_->view_text(scratch_, true); }
  // The current token's text into out, reusing out's buffer.
  void take_text(std::string& out) const { lexer_->assign_text(out, true); }
  void advance() { kind_ = lexer_->next(); }
  // True when the current token is one of kinds; otherwise reports the
  // expectation, clears the ok flag and returns false. Inline: the lists
  // are constants at every call, so the test folds into a few compares.
  bool expect(Kinds kinds) {
    for (TokenKind k : kinds) {
      if (k == kind_) return true;
    }
    return fail_expect(kinds);
  }
  bool fail_expect(Kinds kinds);
  bool fail_nesting();

  // The attributes and functions of an object being read, until its `end`.
  struct PendingMembers {
    std::vector<std::unique_ptr<Attribute>> attributes;
    std::vector<std::unique_ptr<Function>> functions;
    void clear();
  };

  std::unique_ptr<ModelFileLexer> lexer_;
  std::vector<PendingMembers> pending_;  // by object depth
  std::vector<std::unique_ptr<Parameter>> params_;  // of the function being read
  TokenKind kind_ = TokenKind::eof;  // of the lexer's current token
  std::unique_ptr<Model> model_;
  ModelFileList files_;
  std::string current_file_;
  std::string scratch_;      // token() unescapes into it
  std::string value_text_;   // an initial or default value as it is read
  std::string member_name_;  // a member's name, kept past the token
  std::string param_name_;   // the same for a parameter
  InternedName ctic_name_;   // the characteristic being read
  std::string ctic_value_;
  LexerOptions options_;
  bool strip_returns_ = false;
  bool ok_ = true;
  int depth_ = 0;
  // Lists shorter than this are searched for repeats without the set.
  static constexpr size_t kCticsScanned = 8;
  std::unordered_set<std::string> ctic_names_;  // names in a long list being read
  bool ctics_on_fresh_element_ = false;
  bool saw_uid_ = false;  // DSMHasUIDs has been set for this parse
};

// The expectation message for the acceptable kinds and the found token.
std::string expectation_message(std::initializer_list<TokenKind> kinds, const std::string& found,
                                TokenKind found_kind, long line);

}  // namespace quill
