// Capture of preserved texts: the hand-written sections of a previously
// generated file are given back to the model elements that own them.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace quill {

class Model;
class StringArray;

// The sections read from one previous output file: section uid -> text.
// Reading an absent uid yields the empty text.
class CapturedTexts {
 public:
  // Stores the text under the uid, replacing an earlier text.
  void set(std::string_view uid, std::string_view text);
  // The stored text, or "" when the uid is absent.
  const std::string& text(std::string_view uid) const;
  bool contains(std::string_view uid) const;
  // Calls visit(uid, text) for every stored section, in no particular order.
  template <class Visit>
  void visit(Visit&& visit) const {
    for (const auto& [uid, text] : texts_) visit(uid, text);
  }
  size_t count() const { return texts_.size(); }
  bool empty() const { return texts_.empty(); }
  void clear() { texts_.clear(); }

 private:
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
  };
  std::unordered_map<std::string, std::string, Hash, std::equal_to<>> texts_;
};

// Gives every model-level and top-level-object Literal, StateAction and
// Function whose `uid` characteristic names a stored non-empty text that
// text (literal text or body text) and `is_captured` = "true", removing the
// uid from pending_uids; then turns each uid still pending into a new
// model-level Literal with `is_orphan` = "true". The variable lists of the
// touched elements and of their containers are made again where they hold
// rows (an empty one is filled from the fields when first asked for); the
// model's list keeps the variables a template set in it
// (Model::refresh_variables), and takes the rows of new orphans without
// being made again while nothing else changed (Model::add_literal_rows).
// pending_uids keeps the uids that became orphans.
//
// A file holds a few sections and a model may own a hundred thousand
// elements, so the elements are not searched for every file: the model
// keeps them indexed by uid (Model::preserved_targets). The index is made
// on first use and made again whenever a uid may have changed
// (Element::uid_edits) or a model-level list changed size; orphans made
// here join it. During a generation run nothing else adds elements, and
// the index is dropped when a run begins and ends (Model::begin_run).
void capture_preserved_texts(Model& model, const CapturedTexts& texts, StringArray& pending_uids);

}  // namespace quill
