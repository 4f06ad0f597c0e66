// The floor of the benchmark: a plain program that writes, from the same
// synthetic model, the same files and bytes as bench/classes.tem, each file
// built in memory and written with one call.
//
//   write_floor <objects> <seed> <model name> <out dir> [<one file name>]
//
// With a file name as the last argument everything goes into that one file,
// in the order in which the template writes it.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/synthetic_model.h"

namespace {

using bench::SynFunction;
using bench::SynObject;

void parameters(std::string& s, const SynFunction& f) {
  for (size_t i = 0; i < f.params.size(); ++i) {
    if (i) s += ", ";
    s += f.params[i].cxx;
    s += ' ';
    s += f.params[i].name;
  }
}

void header(std::string& s, const SynObject& o, const std::string& model) {
  const std::string& n = o.name;
  s += "// " + n + ".h -- generated from " + model + ", table " + o.table + "\n";
  s += "#ifndef " + n + "_H\n#define " + n + "_H\n\n#include <string>\n";
  if (!o.parent.empty()) s += "#include \"" + o.parent + ".h\"\n";
  s += "\n";
  for (const auto& a : o.attributes) {
    if (!a.target.empty()) s += "class " + a.target + ";\n";
  }
  s += "\nclass " + n;
  if (!o.parent.empty()) s += " : public " + o.parent;
  s += "\n{\npublic:\n    " + n + "();\n    virtual ~" + n + "();\n\n";
  for (const auto& a : o.attributes) {
    s += "    " + a.cxx + " get_" + a.name + "() const { return " + a.name + "_; }\n";
    s += "    void set_" + a.name + "(" + a.cxx + " value) { " + a.name + "_ = value; }\n";
  }
  s += "\n";
  for (const auto& f : o.functions) {
    s += "    virtual " + f.rcxx + " " + f.name + "(";
    parameters(s, f);
    s += ");  // " + f.role + "\n";
  }
  s += "\nprivate:\n";
  for (const auto& a : o.attributes) s += "    " + a.cxx + " " + a.name + "_;\n";
  s += "};\n\n#endif  // " + n + "_H\n";
}

void source(std::string& s, const SynObject& o, const std::string& model) {
  const std::string& n = o.name;
  s += "// " + n + ".cpp -- generated from " + model + ", group " + o.group + "\n";
  s += "#include \"" + n + ".h\"\n\n" + n + "::" + n + "()\n";
  if (!o.parent.empty()) s += "    : " + o.parent + "()\n";
  bool first = o.parent.empty();
  for (const auto& a : o.attributes) {
    s += first ? "    : " : "    , ";
    first = false;
    s += a.name + "_(" + a.init + ")\n";
  }
  s += "{\n}\n\n" + n + "::~" + n + "()\n{\n}\n";
  for (const auto& f : o.functions) {
    s += "\n" + f.rcxx + " " + n + "::" + f.name + "(";
    parameters(s, f);
    s += ")\n{\n    // BEGIN-UID." + f.uid + "\n" + f.body + "\n    // END-UID." + f.uid + "\n}\n";
  }
}

bool write_file(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 && argc != 6) {
    std::fprintf(stderr, "usage: write_floor <objects> <seed> <model name> <out dir> [<one file>]\n");
    return 2;
  }
  const auto model = bench::make_model(std::atoi(argv[1]), std::strtoull(argv[2], nullptr, 10));
  const std::string name = argv[3];
  const std::string dir = std::string(argv[4]) + "/";
  std::string text;
  if (argc == 6) {
    for (const auto& o : model.objects) {
      header(text, o, name);
      source(text, o, name);
    }
    return write_file(dir + argv[5], text) ? 0 : 1;
  }
  for (const auto& o : model.objects) {
    text.clear();
    header(text, o, name);
    if (!write_file(dir + o.name + ".h", text)) return 1;
    text.clear();
    source(text, o, name);
    if (!write_file(dir + o.name + ".cpp", text)) return 1;
  }
  return 0;
}
