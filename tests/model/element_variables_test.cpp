#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "foundation/settings.h"
#include "model/elements.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

// One "name=value" line per Variable.
std::string dump(const ItemList& list) {
  std::string out;
  for (const Variable& v : list.variables()) out += v.name().text() + "=" + v.value() + "\n";
  return out;
}

bool has(const ItemList& list, std::string_view name) { return list.find(name) != nullptr; }

std::unique_ptr<Parameter> make_param(std::string_view name, std::string_view type) {
  return std::make_unique<Parameter>(name, type);
}

std::unique_ptr<StateAction> make_action(std::string_view name, std::string_view body) {
  auto a = std::make_unique<StateAction>(name);
  a->body_text = body;
  return a;
}

struct Row {
  const char* what;
  std::function<std::string()> build;  // the element's list as a dump
  const char* expected;
};

class ElementVariablesTest : public testing::EngineTest {};

TEST_F(ElementVariablesTest, EveryElementListsItsVariablesInOrder) {
  const Row rows[] = {
      {"parameter with default and mapping",
       [] {
         auto p = make_param("count", "int");
         p->set_default_value("0");
         p->set_mapping("ref");
         p->set_characteristic_only("doc", "n");
         return dump(p->variables("param"));
       },
       "param.name=count\nparam.kind=int\nparam.kindint=true\nparam.is_local=false\n"
       "param.is_foreign=true\nparam.has_default_val=true\nparam.default_val=0\n"
       "param.ref=true\nparam.doc=n\n"},
      {"resolved parameter without default",
       [] {
         auto p = make_param("a", "Acct");
         p->resolved = true;
         return dump(p->variables("p"));
       },
       "p.name=a\np.kind=Acct\np.kindAcct=true\np.is_local=true\np.is_foreign=false\n"
       "p.has_default_val=false\np.simple=true\n"},
      {"attribute",
       [] {
         Attribute a("bal", "long");
         a.set_initial_value("1");
         a.set_characteristic_only("obj", "Acct");
         return dump(a.variables(""));
       },
       "attr.name=bal\nattr.obj=Acct\nattr.kind=long\nattr.kindlong=true\n"
       "attr.is_local=false\nattr.is_foreign=true\nattr.has_init=true\nattr.init_val=1\n"
       "attr.simple=true\n"},
      {"attribute without initial value",
       [] {
         Attribute a("x", "int");
         return dump(a.variables("a"));
       },
       "a.name=x\na.kind=int\na.kindint=true\na.is_local=false\na.is_foreign=true\n"
       "a.has_init=false\na.simple=true\n"},
      {"instance",
       [] {
         Instance i("acct1", "Acct");
         i.resolved = true;
         i.assignments.add_variable(std::string_view("bal"), "5");
         i.set_characteristic_only("c", "v");
         return dump(i.variables("inst"));
       },
       "inst.name=acct1\ninst.kind=Acct\ninst.kindAcct=true\ninst.is_local=true\n"
       "inst.is_foreign=false\ninst.c=v\n"},
      {"function with return type and no body",
       [] {
         Function f("get");
         f.parameters.push_back(make_param("i", "int"));
         f.return_type = std::make_unique<ReturnType>("", "Acct");
         f.return_type->set_mapping("ptr");
         f.return_type->resolved = true;
         f.return_type->set_characteristic_only("k", "1");
         f.set_characteristic_only("uid", "u1");
         return dump(f.variables("ftn"));
       },
       "ftn.name=get\nftn.has_params=true\nftn.has_return=true\nrtype.kind=Acct\n"
       "rtype.kindAcct=true\nrtype.is_local=true\nrtype.is_foreign=false\nrtype.ptr=true\n"
       "rtype.k=1\nftn.has_body=false\nftn.body_text= \nftn.uid=u1\n"},
      {"function under another prefix",
       [] {
         Function f("run");
         f.body_text = "go();";
         f.return_type = std::make_unique<ReturnType>("", "int");
         return dump(f.variables("m"));
       },
       "m.name=run\nm.has_params=false\nm.has_return=true\nm.rtype.kind=int\n"
       "m.rtype.kindint=true\nm.rtype.is_local=false\nm.rtype.is_foreign=true\n"
       "m.rtype.simple=true\nm.has_body=true\nm.body_text=go();\n"},
      {"transition",
       [] {
         Transition t("any", "Idle");
         return dump(t.variables(""));
       },
       "tx.event=any\ntx.target_state=Idle\ntx.is_default=true\n"},
      {"state action without body",
       [] { return dump(make_action("enter", "")->variables("")); },
       "state_action.name=enter\nstate_action.has_body=false\nstate_action.body_text=\n"},
      {"state with action under another prefix",
       [] {
         State s("Open");
         s.action = make_action("on_open", "x=1;");
         s.action->set_characteristic_only("uid", "a1");
         s.set_characteristic_only("c", "v");
         return dump(s.variables("st"));
       },
       "st.name=Open\nst.has_action=true\nst.is_terminal=true\nst.c=v\n"
       "state_action.name=on_open\nstate_action.has_body=true\nstate_action.body_text=x=1;\n"
       "state_action.uid=a1\n"},
      {"state without action",
       [] {
         State s("Idle");
         s.transitions.push_back(std::make_unique<Transition>("go", "Open"));
         return dump(s.variables("state"));
       },
       "state.name=Idle\nstate.has_action=false\nstate.is_terminal=false\n"},
      {"process and flows",
       [] {
         Process p("Pay");
         auto in = std::make_unique<Flow>("req");
         in->other_end = "Client";
         in->direction = kFlowFrom;
         std::string flow = dump(in->variables(""));
         p.flows.push_back(std::move(in));
         return dump(p.variables("")) + flow;
       },
       "proc.name=Pay\nproc.has_flows=true\n"
       "flow.name=req\nflow.is_inflow=true\nflow.is_outflow=false\nflow.src_dest_name=Client\n"},
      {"literal",
       [] {
         Literal l("hdr", "// top");
         l.set_characteristic_only("uid", "h");
         return dump(l.variables(""));
       },
       "literal.name=hdr\nliteral.text=// top\nliteral.uid=h\n"},
      {"substitution with definition",
       [] {
         Substitution s("Money", "long double");
         return dump(s.variables("ft"));
       },
       "subs.name=Money\nsubs.value=long double\nsubs.type_decl=long double\n"
       "ft.name=Money\nft.value=long double\nft.type_decl=long double\n"},
      {"foreign type",
       [] {
         Substitution s("HANDLE");
         return dump(s.variables(""));
       },
       "subs.name=HANDLE\nsubs.value=HANDLE\nforeign.name=HANDLE\nforeign.value=HANDLE\n"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.build(), row.expected) << row.what;
}

TEST_F(ElementVariablesTest, ObjectListsPresenceRowsTagsLiteralsAndPragmas) {
  ModelObject o("Acct");
  o.set_characteristic_only("db", "yes");
  o.states.push_back(std::make_unique<State>("Open"));
  o.parents.push_back(std::make_unique<ParentRef>("Base"));
  o.usage_tags.add_text("simple");
  o.usage_tags.add_text("ftn_param");
  auto lit = std::make_unique<Literal>("hdr", "H");
  lit->set_characteristic_only("uid", "u");
  o.literals.push_back(std::move(lit));
  auto options = std::make_unique<Pragma>("options");
  options->add_value("fast");
  options->set_characteristic_only("c", "1");
  o.pragmas.push_back(std::move(options));
  o.pragmas.push_back(std::make_unique<Pragma>("persist"));
  EXPECT_EQ(dump(o.variables("obj")),
            "obj.name=Acct\nobj.db=yes\nobj.has_states=true\nobj.has_parent=true\n"
            "obj.has_parents=true\nobj.in_simple=true\nobj.in_ftn_param=true\n"
            "literal.hdr=H\nliteral.hdr.uid=u\noptions=true\noptions.c=1\noptions.fast=true\n"
            "persist=true\n");

  ModelObject& nested = o.add_object(std::make_unique<ModelObject>("Line"));
  EXPECT_EQ(dump(o.variables("obj")).find("obj.has_objects"), std::string::npos)
      << "a list is reused while the prefix stays the same";
  EXPECT_EQ(dump(nested.variables("")), "obj.obj.name=Line\nobj.obj.not_used=true\n");
  EXPECT_EQ(dump(nested.variables("item")), "obj.item.name=Line\nobj.item.not_used=true\n");
}

TEST_F(ElementVariablesTest, ModelListsFlagsCharacteristicsLiteralsAndPragmas) {
  settings().set("ModelName", "/m/bank.dsm");
  Model m("bank");
  m.substitutions.push_back(std::make_unique<Substitution>("int"));
  m.has_inheritance = true;
  m.set_characteristic_only("db", "yes");
  m.literals.push_back(std::make_unique<Literal>("orphan", "kept"));
  auto pragma = std::make_unique<Pragma>("options");
  pragma->add_value("a");
  m.pragmas.push_back(std::move(pragma));
  EXPECT_EQ(dump(m.variables("ignored")),
            "quill.version=QUILLB 1.0.001\nquill.is_ver_1.0=true\ndsm.name=bank\ndsm_name=bank\n"
            "dsm.path=/m/bank.dsm\ndsm.has_foreigns=true\ndsm.has_substitutions=true\n"
            "dsm.has_pragmas=true\ndsm.has_objects=false\ndsm.has_states=false\n"
            "dsm.has_instances=false\ndsm.has_events=false\ndsm.has_functions=false\n"
            "dsm.has_processes=false\ndsm.has_behavior=false\ndsm.has_inheritance=true\n"
            "dsm.has_mult_inheritance=false\ndsm.has_literals=true\ndsm.db=yes\n"
            "literal.orphan=kept\noptions=true\noptions.a=true\n");

  // Variables appended by a run stay until the list is rebuilt.
  m.variables("").add_variable(std::string_view("date.year"), "126");
  EXPECT_TRUE(has(m.variables("x"), "date.year"));
  m.rebuild_variables();
  EXPECT_FALSE(has(m.variables(""), "date.year"));
}

// A literal keeps the names of its rows from one list to the next; a
// renamed literal and changed characteristics are named afresh.
TEST_F(ElementVariablesTest, LiteralRowsFollowTheLiteralsNameAndCharacteristics) {
  Model m("m");
  Literal& literal = *m.literals.emplace_back(std::make_unique<Literal>("hdr", "text"));
  literal.set_characteristic_only("uid", "u1");
  auto literal_rows = [&] {
    m.rebuild_variables();
    const std::string all = dump(m.variables(""));
    return all.substr(all.find("literal."));
  };
  EXPECT_EQ(literal_rows(), "literal.hdr=text\nliteral.hdr.uid=u1\n");
  literal.set_characteristic_only("is_orphan", "true");
  literal.text = "new text";
  EXPECT_EQ(literal_rows(), "literal.hdr=new text\nliteral.hdr.uid=u1\nliteral.hdr.is_orphan=true\n");
  literal.name = "ftr";
  EXPECT_EQ(literal_rows(), "literal.ftr=new text\nliteral.ftr.uid=u1\nliteral.ftr.is_orphan=true\n");
  literal.keep_common_characteristics(ItemList());
  literal.set_characteristic_only("role", "x");
  literal.set_characteristic_only("uid", "u2");
  EXPECT_EQ(literal_rows(), "literal.ftr=new text\nliteral.ftr.role=x\nliteral.ftr.uid=u2\n");
}

TEST_F(ElementVariablesTest, PrefixRulesRebuildInPlace) {
  // A parameter rebuilt after a characteristic change uses its default prefix,
  // even though another prefix stays remembered.
  Parameter p("n", "int");
  ItemList& list = p.variables("arg");
  ASSERT_TRUE(has(list, "arg.name"));
  p.set_characteristic("c", "1");
  EXPECT_EQ(&p.variables("."), &list) << "always the same list object";
  EXPECT_TRUE(has(list, "param.name"));
  EXPECT_TRUE(has(list, "param.c"));
  EXPECT_TRUE(has(p.variables("arg"), "param.name")) << "same prefix: list reused";
  EXPECT_TRUE(has(p.variables("other"), "other.name"));

  // Other elements rebuild under the remembered prefix.
  Attribute a("x", "int");
  a.variables("field");
  a.set_characteristic("c", "1");
  EXPECT_TRUE(has(a.variables("."), "field.c"));

  // One list seen under two prefixes: the last request names it for everyone.
  ModelObject o("Self");
  ItemList& outer = o.variables("obj");
  o.variables("used_obj");
  EXPECT_TRUE(has(outer, "used_obj.name"));
  EXPECT_FALSE(has(outer, "obj.name"));
}

}  // namespace
}  // namespace quill
