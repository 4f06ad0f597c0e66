#include "model/capture.h"

#include <gtest/gtest.h>

#include "foundation/string_containers.h"
#include "tests/model/model_builder.h"

namespace quill {
namespace {

using namespace quill::testing;

class CaptureTest : public ::testing::Test {
 protected:
  void section(const std::string& uid, const std::string& text) {
    texts_.set(uid, text);
    pending_.add(uid);
  }
  std::string pending() const { return pending_of(pending_); }
  static std::string pending_of(const StringArray& uids) {
    std::string out;
    for (const std::string& uid : uids.items()) out += (out.empty() ? "" : ",") + uid;
    return out;
  }
  static std::string flag(const Element& e, const char* name) {
    const std::string* v = e.characteristic(name);
    return v ? *v : "-";
  }

  Model model_{"m"};
  CapturedTexts texts_;
  StringArray pending_;
};

TEST_F(CaptureTest, ClaimedSectionsReplaceTheirElementsTexts) {
  auto& literal = *model_.literals.emplace_back(std::make_unique<Literal>("head", "old"));
  literal.set_characteristic_only("uid", "L1");
  State& state = add_state(model_.states, "idle", "on_idle");
  state.action->set_characteristic_only("uid", "A1");
  Function& f = add_function(model_.functions, "f", "");
  f.set_characteristic_only("uid", "F1");
  ModelObject& object = add_object(model_, "O");
  Function& g = add_function(object.functions, "g", "");
  g.set_characteristic_only("uid", "G1");
  g.body_text = "untouched";
  Function& h = add_function(object.functions, "h", "");
  h.set_characteristic_only("uid", "H1");
  section("F1", "body f");
  section("A1", "body a");
  section("G1", "");
  section("L1", "line1\r\nline2");
  section("H1", "body h");

  capture_preserved_texts(model_, texts_, pending_);

  EXPECT_EQ(literal.text, "line1\r\nline2");
  EXPECT_EQ(state.action->body_text, "body a");
  EXPECT_EQ(f.body_text, "body f");
  EXPECT_EQ(h.body_text, "body h");
  EXPECT_EQ(g.body_text, "untouched") << "an empty section claims nothing";
  EXPECT_EQ(flag(literal, "is_captured"), "true");
  EXPECT_EQ(flag(*state.action, "is_captured"), "true");
  EXPECT_EQ(flag(g, "is_captured"), "-");
  EXPECT_EQ(pending(), "G1");
  ASSERT_EQ(model_.literals.size(), 2u);
  const Literal& orphan = *model_.literals.back();
  EXPECT_EQ(orphan.name, "G1");
  EXPECT_EQ(orphan.text, "");
  EXPECT_EQ(orphan.characteristics().text(), "uid = G1  \r\nis_orphan = true  \r\n");
}

TEST_F(CaptureTest, UnclaimedUidsBecomeOrphansInArrayOrder) {
  add_object(model_, "O").literals.push_back(std::make_unique<Literal>("plain", "x"));
  section("b", "text b");
  section("a", "text a");
  texts_.set("a", "text a, replaced");
  capture_preserved_texts(model_, texts_, pending_);
  ASSERT_EQ(model_.literals.size(), 2u);
  EXPECT_EQ(model_.literals[0]->name, "b");
  EXPECT_EQ(model_.literals[0]->text, "text b");
  EXPECT_EQ(model_.literals[1]->name, "a");
  EXPECT_EQ(model_.literals[1]->text, "text a, replaced");
  EXPECT_EQ(model_.objects[0]->literals[0]->text, "x");
}

TEST_F(CaptureTest, OrphansAreClaimedByTheirOwnLiteralOnTheNextCapture) {
  section("u", "first");
  capture_preserved_texts(model_, texts_, pending_);
  ASSERT_EQ(model_.literals.size(), 1u);

  CapturedTexts again;
  again.set("u", "second");
  StringArray uids;
  uids.add("u");
  capture_preserved_texts(model_, again, uids);
  ASSERT_EQ(model_.literals.size(), 1u);
  EXPECT_EQ(model_.literals[0]->text, "second");
  EXPECT_EQ(uids.count(), 0u);
}

TEST_F(CaptureTest, TwoElementsWithOneUidBothTakeTheText) {
  Function& f = add_function(model_.functions, "f", "");
  Function& g = add_function(model_.functions, "g", "");
  f.set_characteristic_only("uid", "same");
  g.set_characteristic_only("uid", "same");
  section("same", "shared");
  capture_preserved_texts(model_, texts_, pending_);
  EXPECT_EQ(f.body_text, "shared");
  EXPECT_EQ(g.body_text, "shared");
  EXPECT_TRUE(model_.literals.empty());
}

// The model's list is the outermost scope of a run: what a template set in
// it must survive a capture that rebuilds the model's rows, whether an old
// file's section went to a model-level element or became an orphan.
TEST_F(CaptureTest, TheModelKeepsTheVariablesATemplateSetInIt) {
  add_function(model_.functions, "f", "").set_characteristic_only("uid", "F");
  ItemList& scope = model_.variables("");
  scope.set("x", "hello");
  scope.set("dsm.name", "changed by the template");
  section("F", "body");
  section("gone", "text");
  capture_preserved_texts(model_, texts_, pending_);
  const ItemList& after = model_.cached_variables();
  EXPECT_EQ(&after, &scope) << "the scope's list object stays";
  ASSERT_NE(after.find("x"), nullptr);
  EXPECT_EQ(after.find("x")->value(), "hello");
  EXPECT_EQ(after.find("dsm.name")->value(), "m") << "the model's own rows are rebuilt";
  ASSERT_NE(after.find("literal.gone"), nullptr);
  EXPECT_EQ(after.find("literal.gone")->value(), "text");
  EXPECT_EQ(after.find("dsm.has_literals")->value(), "true");

  // A row removed since the last capture: the variables are found all the same.
  scope.remove(scope.find("dsm.name"));
  scope.set("y", "later");
  CapturedTexts again;
  again.set("gone too", "more");
  StringArray uids;
  uids.add("gone too");
  capture_preserved_texts(model_, again, uids);
  for (const char* name : {"x", "y", "literal.gone", "literal.gone too", "dsm.name"})
    EXPECT_NE(after.find(name), nullptr) << name;
  EXPECT_EQ(after.find("y")->value(), "later");
}

// The lists a capture rebuilds count as filled by a scope request: they are
// freed with the object's others when its turn ends, and made again alike.
TEST_F(CaptureTest, RebuiltListsAreFreedAndMadeAgainAlike) {
  ModelObject& object = add_object(model_, "O");
  Function& f = add_function(object.functions, "f", "");
  f.set_characteristic_only("uid", "F");
  object.scope_variables("obj");
  f.scope_variables("ftn");
  section("F", "body");
  capture_preserved_texts(model_, texts_, pending_);
  for (Element* e : std::initializer_list<Element*>{&object, &f}) {
    const std::string rows = e->cached_variables().text();
    const std::string prefix = e->remembered_prefix();
    e->release_variables();
    EXPECT_TRUE(e->cached_variables().empty()) << prefix;
    EXPECT_EQ(e->scope_variables(prefix).text(), rows) << prefix;
  }
  EXPECT_NE(f.cached_variables().text().find("ftn.body_text = body"), std::string::npos);
}

// Lists nobody asked for yet stay unmade, so that one file holding the
// sections of a whole model does not make every list at once; made later,
// they hold the captured text like a list made before the capture.
TEST_F(CaptureTest, UnmadeListsStayUnmadeAndShowTheTextWhenMade) {
  ModelObject& object = add_object(model_, "O");
  Function& made = add_function(object.functions, "made", "");
  made.set_characteristic_only("uid", "M");
  Function& unmade = add_function(object.functions, "unmade", "");
  unmade.set_characteristic_only("uid", "U");
  made.scope_variables("ftn");
  unmade.scope_variables("ftn");
  unmade.release_variables();
  section("M", "body m");
  section("U", "body u");
  capture_preserved_texts(model_, texts_, pending_);

  EXPECT_TRUE(object.cached_variables().empty());
  EXPECT_TRUE(unmade.cached_variables().empty());
  EXPECT_NE(made.cached_variables().text().find("ftn.body_text = body m"), std::string::npos);
  const std::string rows = unmade.scope_variables("ftn").text();
  EXPECT_NE(rows.find("ftn.body_text = body u"), std::string::npos) << rows;
  EXPECT_NE(rows.find("ftn.is_captured = true"), std::string::npos) << rows;
  EXPECT_NE(object.scope_variables("obj").text().find("obj.name = O"), std::string::npos);
}

// Each claim takes one entry of its uid out of the pending list; what is
// left becomes orphans, in list order.
TEST_F(CaptureTest, EveryClaimTakesOnePendingEntry) {
  add_function(model_.functions, "f", "").set_characteristic_only("uid", "a");
  add_function(model_.functions, "g", "").set_characteristic_only("uid", "a");
  add_function(model_.functions, "h", "").set_characteristic_only("uid", "b");
  texts_.set("a", "text a");
  texts_.set("b", "text b");
  texts_.set("x", "text x");
  for (const char* uid : {"a", "x", "b", "a", "b", "a"}) pending_.add(uid);
  capture_preserved_texts(model_, texts_, pending_);
  EXPECT_EQ(pending(), "x,b,a");
  ASSERT_EQ(model_.literals.size(), 3u);
  EXPECT_EQ(model_.literals[1]->text, "text b");
}

// The model keeps its elements indexed by uid from one file's capture to
// the next; whatever changed in between must still be found.
TEST_F(CaptureTest, LaterCapturesSeeChangedUidsAndNewElements) {
  ModelObject& object = add_object(model_, "O");
  Function& f = add_function(object.functions, "f", "");
  f.set_characteristic_only("uid", "F");
  section("F", "one");
  capture_preserved_texts(model_, texts_, pending_);
  EXPECT_EQ(f.body_text, "one");

  f.set_characteristic_only("uid", "F2");
  CapturedTexts renamed;
  renamed.set("F", "stale");
  renamed.set("F2", "two");
  StringArray uids;
  uids.add("F");
  uids.add("F2");
  capture_preserved_texts(model_, renamed, uids);
  EXPECT_EQ(f.body_text, "two");
  EXPECT_EQ(pending_of(uids), "F") << "the old uid no longer names f";

  // A literal whose uid was set before it joined the model.
  auto late = std::make_unique<Literal>("late", "");
  late->set_characteristic_only("uid", "L");
  Literal& literal = *late;
  CapturedTexts nothing;
  StringArray none;
  capture_preserved_texts(model_, nothing, none);
  model_.literals.push_back(std::move(late));
  CapturedTexts later;
  later.set("L", "found");
  StringArray one;
  one.add("L");
  capture_preserved_texts(model_, later, one);
  EXPECT_EQ(literal.text, "found");
  EXPECT_EQ(one.count(), 0u);
}

// Captures of many files, each claiming the sections of one object, give
// every element its own text and nothing to the others.
TEST_F(CaptureTest, EachFileClaimsOnlyItsOwnSections) {
  std::vector<Function*> bodies;
  for (int k = 0; k < 20; ++k) {
    ModelObject& object = add_object(model_, "O" + std::to_string(k));
    for (int j = 0; j < 3; ++j) {
      Function& f = add_function(object.functions, "f" + std::to_string(j), "");
      f.set_characteristic_only("uid", std::to_string(k) + "." + std::to_string(j));
      bodies.push_back(&f);
    }
  }
  for (int k = 19; k >= 0; --k) {
    CapturedTexts file;
    StringArray uids;
    for (int j = 0; j < 3; ++j) {
      const std::string uid = std::to_string(k) + "." + std::to_string(j);
      file.set(uid, "body " + uid);
      uids.add(uid);
    }
    capture_preserved_texts(model_, file, uids);
    EXPECT_EQ(uids.count(), 0u);
  }
  for (Function* f : bodies) EXPECT_EQ(f->body_text, "body " + *f->characteristic("uid"));
  EXPECT_TRUE(model_.literals.empty());
}

// A file after file that each orphans sections: the model's list takes the
// new literals' rows without being made again, and ends exactly as a
// rebuild would make it (new literal rows before the pragmas' rows, the
// run's variables after them); where appending cannot give that, the list
// is rebuilt.
TEST_F(CaptureTest, OrphanRowsEndAsARebuildWouldMakeThem) {
  Literal& kept = *model_.literals.emplace_back(std::make_unique<Literal>("L", "literal text"));
  Pragma& pragma = *model_.pragmas.emplace_back(std::make_unique<Pragma>("P"));
  pragma.set_characteristic_only("level", "2");
  ModelObject& object = add_object(model_, "O");
  ItemList& scope = model_.variables("");
  scope.set("date.year", "126");
  auto capture = [&](std::vector<std::string> uids) {
    CapturedTexts file;
    StringArray pending;
    for (const std::string& uid : uids) {
      file.set(uid, "text of " + uid);
      pending.add(uid);
    }
    capture_preserved_texts(model_, file, pending);
  };
  auto expect_as_rebuilt = [&](const char* step) {
    const std::string text = scope.text();
    model_.refresh_variables();
    EXPECT_EQ(scope.text(), text) << step;
  };
  capture({"g1"});
  expect_as_rebuilt("first orphan");
  scope.set("x", "1");
  const Variable* x = scope.find("x");
  capture({"g2", "g3"});
  EXPECT_EQ(scope.find("x"), x) << "the list was not made again";
  const std::string text = scope.text();
  EXPECT_LT(text.find("literal.g3 = "), text.find("P = true")) << text;
  EXPECT_LT(text.find("P.level = 2"), text.find("date.year = "));
  expect_as_rebuilt("appended");

  scope.set("literal.g4", "set by the template before the section turned up");
  capture({"g4"});
  EXPECT_EQ(scope.find("literal.g4")->value(), "text of g4");
  expect_as_rebuilt("a variable with a new row's name");

  Variable* row = scope.find("literal.L");
  row->set_value("written by the template");
  scope.note_change();
  capture({"g5"});
  EXPECT_EQ(scope.find("literal.L")->value(), "literal text") << "a changed row is made again";
  expect_as_rebuilt("a changed row");

  kept.set_characteristic("kind", "constant");
  capture({"g6"});
  ASSERT_NE(scope.find("literal.L.kind"), nullptr) << "a characteristic set since shows";
  expect_as_rebuilt("a characteristic set");

  capture({"d", "d", "g7"});
  expect_as_rebuilt("one uid twice");

  object.set_characteristic("color", "red");
  x = scope.find("x");
  capture({"g8"});
  EXPECT_EQ(scope.find("x"), x) << "an object's characteristic leaves the model's rows as they are";
  expect_as_rebuilt("an object's characteristic set");
  EXPECT_EQ(model_.literals.size(), 11u);
  EXPECT_EQ(scope.find("x")->value(), "1");
}

}  // namespace
}  // namespace quill
