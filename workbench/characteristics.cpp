#include "workbench/characteristics.h"

#include <QSet>
#include <string>
#include <unordered_set>
#include <vector>

#include "foundation/platform.h"
#include "model/elements.h"

namespace quill {

namespace {

// A name containing one of these is built-in.
constexpr const char* kBuiltinParts[] = {
    ".has_init",       ".init_val",      ".is_local",     ".is_foreign",         ".simple",
    ".is_nth",         ".is_1st",        ".is_only",      ".l_pos",              ".has_foreigns",
    ".has_substitutions", ".has_pragmas", ".has_objects", ".has_states",         ".has_instances",
    ".has_events",     ".has_functions", ".has_processes", ".has_behavior",      ".has_inheritance",
    ".has_mult_inheritance", ".has_literals", ".name",    ".kind",               ".in_",
    ".is_builtin",
};

// A name equal to one of these is built-in.
constexpr const char* kBuiltinNames[] = {
    "obj.not_used",   "obj.has_parent",  "obj.has_parents",  "obj.has_attributes",
    "attr.obj",       "ftn.has_body",    "ftn.has_return",   "ftn.has_params",
    "ftn.body_text",  "param.default_val", "dsm.name",       "dsm_name",
    "dsm.path",       "dsm.has_behavior", "dsm.has_inheritance", "dsm.has_mult_inheritance",
    "dsm.has_instances", "flow.is_inflow", "flow.is_outflow", "quill.version",
    "quill.is_ver_1.0",
};

// Collects the element's variable names and characteristic names.
class Collector {
 public:
  void element(Element& e) {
    characteristics(e);
    for (const Variable& v : e.variables(".").variables()) names_.push_back(v.name().text());
  }
  void characteristics(const Element& e) {
    for (const Variable& c : e.characteristics().variables()) ctics_.insert(c.name().text());
  }

  void object(ModelObject& o) {
    element(o);
    for (auto& p : o.parents) characteristics(*p);
    for (auto& p : o.pragmas) characteristics(*p);
    for (auto& a : o.attributes) element(*a);
    for (auto& f : o.functions) function(*f);
    for (auto& s : o.states) state(*s);
    for (auto& p : o.processes) process(*p);
    for (auto& l : o.literals) element(*l);
    for (auto& nested : o.objects) object(*nested);
  }
  void function(Function& f) {
    element(f);
    if (f.return_type) characteristics(*f.return_type);
    for (auto& p : f.parameters) element(*p);
  }
  void state(State& s) {
    element(s);
    if (s.action) element(*s.action);
    for (auto& t : s.transitions) element(*t);
  }
  void process(Process& p) {
    element(p);
    for (auto& f : p.flows) element(*f);
  }
  void model(Model& m) {
    element(m);
    for (auto& p : m.pragmas) characteristics(*p);
    for (auto& o : m.objects) object(*o);
    for (auto& f : m.functions) function(*f);
    for (auto& s : m.states) state(*s);
    for (auto& i : m.instances) element(*i);
    for (auto& p : m.processes) process(*p);
    for (auto& l : m.literals) element(*l);
    for (auto& s : m.substitutions) {
      const std::string* builtin = s->characteristic("is_builtin");
      if (!builtin || *builtin != "true") {
        element(*s);
        continue;
      }
      // What a built-in type gives the elements typed by it is the engine's, not the model's.
      for (const Variable& c : s->characteristics().variables()) engine_ctics_.insert(c.name().text());
    }
  }

  // The names that end in "." + a characteristic name, built-in ones dropped.
  QStringList result() const {
    QStringList out;
    QSet<QString> seen;
    for (const std::string& name : names_) {
      if (!from_characteristic(name)) continue;
      QString shown = QString::fromStdString(name);
      if (is_builtin_name(shown) || seen.contains(shown)) continue;
      seen.insert(shown);
      out << shown;
    }
    return out;
  }

 private:
  bool from_characteristic(const std::string& name) const {
    for (size_t dot = name.find('.'); dot != std::string::npos; dot = name.find('.', dot + 1)) {
      const std::string ctic = name.substr(dot + 1);
      if (ctics_.count(ctic) && !engine_ctics_.count(ctic)) return true;
    }
    return false;
  }

  std::vector<std::string> names_;
  std::unordered_set<std::string> ctics_;
  std::unordered_set<std::string> engine_ctics_;
};

}  // namespace

bool is_builtin_name(const QString& name) {
  for (const char* part : kBuiltinParts) {
    if (name.contains(QLatin1String(part))) return true;
  }
  for (const char* whole : kBuiltinNames) {
    if (name == QLatin1String(whole)) return true;
  }
  return false;
}

QStringList scan_template_lines(const QStringList& lines) {
  QStringList names;
  QSet<QString> seen;
  for (const QString& line : lines) {
    for (qsizetype open = line.indexOf(QLatin1Char('<')); open >= 0;
         open = line.indexOf(QLatin1Char('<'), open + 1)) {
      qsizetype start = open + 1;
      if (start < line.size() && line[start] == QLatin1Char('!')) ++start;
      if (start < line.size() && line[start] == QLatin1Char('@')) ++start;
      qsizetype end = start;
      while (end < line.size() && line[end] != QLatin1Char('>') && line[end] != QLatin1Char('|')) ++end;
      if (end == line.size()) break;  // the line ends before the name does
      const QString name = line.mid(start, end - start);
      if (!name.isEmpty() && !is_builtin_name(name) && !seen.contains(name)) {
        seen.insert(name);
        names << name;
      }
      open = end;
    }
  }
  return names;
}

bool scan_template_characteristics(const QString& path, QStringList& names) {
  std::vector<std::string> lines;
  if (!platform::read_lines(path.toStdString(), lines)) return false;
  QStringList text;
  text.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) text << QString::fromStdString(line);
  names = scan_template_lines(text);
  return true;
}

QStringList model_characteristics(Model& model) {
  Collector collector;
  collector.model(model);
  return collector.result();
}

QStringList missing_characteristics(const QStringList& model, const QStringList& tem) {
  const QSet<QString> used(tem.begin(), tem.end());
  QStringList missing;
  for (const QString& name : model) {
    if (!used.contains(name)) missing << name;
  }
  return missing;
}

QString not_used_text(const QStringList& names) {
  QStringList lines;
  for (const QString& name : names) lines << QStringLiteral("    ") + name;
  return QString::fromLatin1(kNotUsed).replace(QStringLiteral("%s"), lines.join(QLatin1Char('\n')));
}

}  // namespace quill
