// The floors of the benchmark.
//
//   write_floor <objects> <seed> <model name> <out dir> [<one file name>]
//
// A hand-written generator: builds the same synthetic model in memory and
// writes from it the same files and bytes as bench/classes.tem, each file
// built in memory and written with one call. With a file name as the last
// argument everything goes into that one file, in the order in which the
// template writes it.
//
//   write_floor --pack <pack file> <objects> <seed> <model name> [<one file name>]
//   write_floor --unpack <pack file> <out dir>
//
// The write floor proper: --pack stores the bytes that the generator would
// write, with their file names, in one pack file (not timed); --unpack does
// nothing but write them into the same files with the plain system calls
// (open, write, close), so its time is that of writing the output and no
// more. A pack is a sequence of "<name>\n<size>\n<bytes>".
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// Where the generator puts its files: into a directory, or into a pack.
class Sink {
 public:
  Sink(std::string dir, std::FILE* pack) : dir_(std::move(dir)), pack_(pack) {}
  bool put(const std::string& name, const std::string& text) {
    if (pack_ == nullptr) return write_file(dir_ + name, text);
    std::fprintf(pack_, "%s\n%zu\n", name.c_str(), text.size());
    return std::fwrite(text.data(), 1, text.size(), pack_) == text.size();
  }

 private:
  std::string dir_;
  std::FILE* pack_;
};

int generate(char** args, const char* one_file, Sink& sink) {
  const auto model = bench::make_model(std::atoi(args[0]), std::strtoull(args[1], nullptr, 10));
  const std::string name = args[2];
  std::string text;
  if (one_file != nullptr) {
    for (const auto& o : model.objects) {
      header(text, o, name);
      source(text, o, name);
    }
    return sink.put(one_file, text) ? 0 : 1;
  }
  for (const auto& o : model.objects) {
    text.clear();
    header(text, o, name);
    if (!sink.put(o.name + ".h", text)) return 1;
    text.clear();
    source(text, o, name);
    if (!sink.put(o.name + ".cpp", text)) return 1;
  }
  return 0;
}

bool write_all(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

int unpack(const char* pack_path, const std::string& dir) {
  int fd = ::open(pack_path, O_RDONLY);
  struct stat st;
  if (fd < 0 || ::fstat(fd, &st) != 0) return 1;
  const size_t size = static_cast<size_t>(st.st_size);
  if (size == 0) return 0;
  void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  ::close(fd);
  if (map == MAP_FAILED) return 1;
  const char* at = static_cast<const char*>(map);
  const char* end = at + size;
  std::string path = dir + "/";
  const size_t dir_length = path.size();
  while (at < end) {
    const char* name_end = static_cast<const char*>(std::memchr(at, '\n', end - at));
    if (name_end == nullptr) return 1;
    path.resize(dir_length);
    path.append(at, name_end);
    char* size_end = nullptr;
    const size_t length = std::strtoull(name_end + 1, &size_end, 10);
    if (size_end == nullptr || *size_end != '\n' || length > size_t(end - size_end - 1)) return 1;
    at = size_end + 1;
    int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0 || !write_all(out, at, length) || ::close(out) != 0) return 1;
    at += length;
  }
  return 0;
}

int usage() {
  std::fprintf(stderr,
               "usage: write_floor <objects> <seed> <model name> <out dir> [<one file>]\n"
               "       write_floor --pack <pack file> <objects> <seed> <model name> [<one file>]\n"
               "       write_floor --unpack <pack file> <out dir>\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--unpack") == 0) return unpack(argv[2], argv[3]);
  if (argc >= 6 && argc <= 7 && std::strcmp(argv[1], "--pack") == 0) {
    std::FILE* pack = std::fopen(argv[2], "wb");
    if (pack == nullptr) return 1;
    Sink sink("", pack);
    int code = generate(argv + 3, argc == 7 ? argv[6] : nullptr, sink);
    return std::fclose(pack) == 0 ? code : 1;
  }
  if (argc != 5 && argc != 6) return usage();
  Sink sink(std::string(argv[4]) + "/", nullptr);
  return generate(argv + 1, argc == 6 ? argv[5] : nullptr, sink);
}
