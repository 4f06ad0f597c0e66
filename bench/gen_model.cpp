// Writes the synthetic benchmark model as a .dsm model and as JSON.
//
//   gen_model <objects> <seed> <model.dsm> <model.json>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/synthetic_model.h"

namespace {

using bench::SynModel;

void write_dsm(const SynModel& model, std::ostream& out) {
  out << "-- synthetic benchmark model\n";
  out << "text = \"std::string\"\n";
  for (const auto& o : model.objects) {
    out << "object " << o.name;
    if (!o.parent.empty()) out << " parent " << o.parent;
    out << "\n";
    for (const auto& a : o.attributes) {
      out << "  " << a.name << " : " << (a.target.empty() ? a.type : "ref_to " + a.target) << " ;\n";
    }
    for (const auto& f : o.functions) {
      out << "  " << f.name << "(";
      for (size_t i = 0; i < f.params.size(); ++i) {
        out << (i ? ", " : "") << f.params[i].name << " : " << f.params[i].type;
      }
      out << ") : " << f.rtype << " [ uid = \"" << f.uid << "\", role = \"" << f.role << "\" ] {{"
          << f.body << "}} ;\n";
    }
    out << "end [ table = \"" << o.table << "\", group = \"" << o.group << "\" ] ;\n";
  }
}

// Every text in the model is plain ASCII without quotes or backslashes except
// the initialisers, so escaping quotes is all JSON needs here.
std::string json_string(const std::string& s) {
  std::string r = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') r += '\\';
    r += c;
  }
  return r + "\"";
}

void write_json(const SynModel& model, std::ostream& out) {
  out << "{\"objects\": [\n";
  for (size_t k = 0; k < model.objects.size(); ++k) {
    const auto& o = model.objects[k];
    out << (k ? ",\n" : "") << "{\"name\": " << json_string(o.name)
        << ", \"parent\": " << json_string(o.parent) << ", \"table\": " << json_string(o.table)
        << ", \"group\": " << json_string(o.group) << ", \"attributes\": [";
    for (size_t i = 0; i < o.attributes.size(); ++i) {
      const auto& a = o.attributes[i];
      out << (i ? ", " : "") << "{\"name\": " << json_string(a.name) << ", \"cxx\": " << json_string(a.cxx)
          << ", \"target\": " << json_string(a.target) << ", \"init\": " << json_string(a.init) << "}";
    }
    out << "], \"functions\": [";
    for (size_t i = 0; i < o.functions.size(); ++i) {
      const auto& f = o.functions[i];
      out << (i ? ", " : "") << "{\"name\": " << json_string(f.name) << ", \"rcxx\": " << json_string(f.rcxx)
          << ", \"uid\": " << json_string(f.uid) << ", \"role\": " << json_string(f.role)
          << ", \"body\": " << json_string(f.body) << ", \"params\": [";
      for (size_t p = 0; p < f.params.size(); ++p) {
        out << (p ? ", " : "") << "{\"name\": " << json_string(f.params[p].name)
            << ", \"cxx\": " << json_string(f.params[p].cxx) << "}";
      }
      out << "]}";
    }
    out << "]}";
  }
  out << "\n]}\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: gen_model <objects> <seed> <model.dsm> <model.json>\n");
    return 2;
  }
  const SynModel model = bench::make_model(std::atoi(argv[1]), std::strtoull(argv[2], nullptr, 10));
  std::ofstream dsm(argv[3], std::ios::binary);
  std::ofstream json(argv[4], std::ios::binary);
  write_dsm(model, dsm);
  write_json(model, json);
  return dsm && json ? 0 : 1;
}
