// A compact, one-line rendering of a parsed model for assertions.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/elements.h"

namespace quill::testing {

inline std::string dump_ctics(const Element& e) {
  if (e.characteristics().empty()) return "";
  std::string s = "[";
  for (const Variable& v : e.characteristics().variables()) {
    if (s.size() > 1) s += ",";
    s += v.name().text() + "=" + v.value();
  }
  return s + "]";
}

inline std::string dump_typed(const TypedElement& e) {
  return e.name + ":" + (e.mapping() == "simple" ? "" : e.mapping() + " ") + e.type();
}

inline std::string dump_block(const std::string& text) {
  return text.empty() ? "" : "{" + text + "}";
}

template <class T, class F>
void dump_list(std::string& out, const std::vector<std::unique_ptr<T>>& list, F&& each) {
  for (const auto& e : list) {
    if (!out.empty() && out.back() != '{' && out.back() != '(') out += "; ";
    out += each(*e);
  }
}

inline std::string dump_function(const Function& f) {
  std::string s = "ftn " + f.name + "(";
  for (const auto& p : f.parameters) {
    if (s.back() != '(') s += ",";
    s += dump_typed(*p) + (p->default_value().empty() ? "" : "=" + p->default_value()) + dump_ctics(*p);
  }
  s += ")";
  if (f.return_type) s += "->" + dump_typed(*f.return_type).substr(1);
  return s + dump_ctics(f) + dump_block(f.body_text);
}

inline std::string dump_state(const State& st) {
  std::string s = "state " + st.name + "(";
  if (st.action) {
    s += "action " + st.action->name + dump_ctics(*st.action) + dump_block(st.action->body_text);
  }
  for (const auto& t : st.transitions) {
    if (s.back() != '(') s += "; ";
    s += t->event_name + "=>" + t->target_state + dump_ctics(*t);
  }
  return s + ")" + dump_ctics(st);
}

inline std::string dump_process(const Process& p) {
  std::string s = "process " + p.name + "(";
  for (const auto& f : p.flows) {
    if (s.back() != '(') s += "; ";
    s += f->name + (f->direction == kFlowFrom ? " from " : " to ") + f->other_end + dump_ctics(*f);
  }
  return s + ")" + dump_ctics(p);
}

inline std::string dump_pragma(const Pragma& p) {
  std::string s = "pragma " + p.name;
  if (!p.values.empty()) {
    s += "(";
    for (const TextItem& v : p.values.texts()) s += (s.back() == '(' ? "" : ",") + v.value();
    s += ")";
  }
  return s + dump_ctics(p);
}

inline std::string dump_literal(const Literal& l) {
  return "literal " + l.name + dump_ctics(l) + dump_block(l.text);
}

inline std::string dump_object(const ModelObject& o) {
  std::string s = "object " + o.name;
  if (o.depth > 0) s.append("@").append(std::to_string(o.depth));
  for (const auto& p : o.parents)
    s += (&p == &o.parents.front() ? " parent " : ",") + p->name + dump_ctics(*p);
  std::string body;
  dump_list(body, o.attributes, [](const Attribute& a) {
    return "attr " + dump_typed(a) + (a.initial_value().empty() ? "" : "=" + a.initial_value()) +
           dump_ctics(a);
  });
  dump_list(body, o.functions, dump_function);
  dump_list(body, o.states, dump_state);
  dump_list(body, o.processes, dump_process);
  dump_list(body, o.pragmas, dump_pragma);
  dump_list(body, o.literals, dump_literal);
  dump_list(body, o.objects, dump_object);
  return s + "{" + body + "}" + dump_ctics(o);
}

// Top-level lists in a fixed order: objects, functions, states, instances,
// events, substitutions, pragmas, literals, processes.
inline std::string dump_model(const Model& m) {
  std::string s;
  dump_list(s, m.objects, dump_object);
  dump_list(s, m.functions, dump_function);
  dump_list(s, m.states, dump_state);
  dump_list(s, m.instances, [](const Instance& i) {
    std::string a;
    for (const Variable& v : i.assignments.variables()) {
      a += (a.empty() ? "(" : ",") + v.name().text() + "=" + v.value();
    }
    return "inst " + i.name + ":" + i.type() + (a.empty() ? "" : a + ")") + dump_ctics(i);
  });
  dump_list(s, m.events, [](const Event& e) { return "event " + e.name; });
  dump_list(s, m.substitutions, [](const Substitution& w) {
    return "subst " + w.name + "=" + w.value() + dump_ctics(w);
  });
  dump_list(s, m.pragmas, dump_pragma);
  dump_list(s, m.literals, dump_literal);
  dump_list(s, m.processes, dump_process);
  return s;
}

}  // namespace quill::testing
