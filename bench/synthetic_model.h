// A seeded, deterministic synthetic model shared by the benchmark tools.
//
// gen_model writes it as a .dsm model and as JSON; write_floor writes, from
// the same data, the very files that bench/classes.tem generates, so that
// the two can be compared byte for byte and timed against each other.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct SynAttribute {
  std::string name;
  std::string type;    // the type as written in the model ("int", "text", ...)
  std::string cxx;     // the C++ type the template prints for it
  std::string target;  // the referenced object of a ref_to attribute, else empty
  std::string init;    // the constructor's initialiser
};

struct SynParameter {
  std::string name;
  std::string type;
  std::string cxx;
};

struct SynFunction {
  std::string name;
  std::string rtype;
  std::string rcxx;
  std::vector<SynParameter> params;
  std::string uid;
  std::string role;
  std::string body;
};

struct SynObject {
  std::string name;
  std::string parent;  // empty when the object has none
  std::string table;
  std::string group;
  std::vector<SynAttribute> attributes;
  std::vector<SynFunction> functions;
};

struct SynModel {
  std::vector<SynObject> objects;
};

constexpr int kAttributesPerObject = 20;
constexpr int kFunctionsPerObject = 5;

// Small linear congruential generator: the same numbers on every host.
class Lcg {
 public:
  explicit Lcg(std::uint64_t seed) : state_(seed * 2862933555777941757ULL + 3037000493ULL) {}
  std::uint32_t next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::uint32_t>(state_ >> 33);
  }
  std::uint32_t below(std::uint32_t n) { return n == 0 ? 0 : next() % n; }

 private:
  std::uint64_t state_;
};

inline std::string object_name(int i) {
  std::string digits = std::to_string(i);
  std::string name = "C";
  if (digits.size() < 5) name.append(5 - digits.size(), '0');
  return name + digits;
}

// Builds the model of `count` objects from `seed`.
inline SynModel make_model(int count, std::uint64_t seed) {
  static const char* const kScalar[][3] = {
      // model type, C++ type, initialiser kind
      {"int", "int", "int"}, {"text", "std::string", "text"},
      {"double", "double", "0.5"}, {"bool", "bool", "false"}};
  static const char* const kReturn[][2] = {
      {"int", "int"}, {"double", "double"}, {"bool", "bool"}, {"text", "std::string"}};
  static const char* const kRoles[] = {"query", "command", "event"};
  Lcg rng(seed);
  SynModel model;
  model.objects.reserve(count);
  for (int i = 0; i < count; ++i) {
    SynObject o;
    o.name = object_name(i);
    if (i % 2 == 1) o.parent = object_name(static_cast<int>(rng.below(i)));
    o.table = "t_" + o.name;
    o.group = "g" + std::to_string(rng.below(8));
    for (int a = 0; a < kAttributesPerObject; ++a) {
      SynAttribute at;
      at.name = std::string("a") + (a < 10 ? "0" : "") + std::to_string(a);
      if (a % 5 == 4) {
        at.target = object_name(static_cast<int>(rng.below(count)));
        at.type = at.target;
        at.cxx = at.target + "*";
        at.init = "nullptr";
      } else {
        const auto& row = kScalar[(a % 5 + rng.below(2)) % 4];
        at.type = row[0];
        at.cxx = row[1];
        const std::string kind = row[2];
        at.init = kind == "int" ? std::to_string(a) : kind == "text" ? "\"" + at.name + "\"" : kind;
      }
      o.attributes.push_back(at);
    }
    for (int f = 0; f < kFunctionsPerObject; ++f) {
      SynFunction fn;
      fn.name = "f" + std::to_string(f);
      const auto& r = kReturn[rng.below(4)];
      fn.rtype = r[0];
      fn.rcxx = r[1];
      fn.params.push_back({"x", "int", "int"});
      const auto& p = kReturn[rng.below(4)];
      fn.params.push_back({"y", p[0], p[1]});
      fn.uid = o.name + "." + fn.name;
      fn.role = kRoles[rng.below(3)];
      fn.body = "    // hand-written code of " + fn.name;
      o.functions.push_back(fn);
    }
    model.objects.push_back(std::move(o));
  }
  return model;
}

}  // namespace bench
