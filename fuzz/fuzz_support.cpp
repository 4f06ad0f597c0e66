#include "fuzz/fuzz_support.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "engine/held_model.h"
#include "foundation/messages.h"
#include "foundation/settings.h"
#include "output/output_file.h"

namespace quill::fuzz {

namespace fs = std::filesystem;

std::vector<std::string> split_parts(const uint8_t* data, size_t size) {
  std::string_view all(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> parts;
  for (;;) {
    size_t at = all.find(kPartSeparator);
    if (at == std::string_view::npos) break;
    parts.emplace_back(all.substr(0, at));
    all.remove_prefix(at + kPartSeparator.size());
  }
  parts.emplace_back(all);
  return parts;
}

const std::string& scratch_dir() {
  static const std::string dir = [] {
    std::string base = fs::temp_directory_path().string() + "/quill-fuzz-XXXXXX";
    if (!mkdtemp(base.data())) {
      std::perror("mkdtemp");
      std::abort();
    }
    return base;
  }();
  return dir;
}

std::string write_scratch(const std::string& name, std::string_view bytes) {
  std::string path = scratch_dir() + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

void empty_directory(const std::string& dir) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) fs::remove_all(entry.path(), ec);
}

void reset_engine() {
  install_sink(std::make_unique<MessageSink>());
  settings().clear();
  discard_held_model();
  reset_output_file();
}

namespace {

// The mount points of the process, from /proc/self/mountinfo (field 5).
std::vector<std::string> mount_points() {
  std::vector<std::string> points;
  std::ifstream in("/proc/self/mountinfo");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string field;
    for (int i = 0; i < 5 && fields >> field; ++i) {
    }
    points.push_back(field);
  }
  return points;
}

bool bind_writable(const std::string& dir) {
  return mount(dir.c_str(), dir.c_str(), nullptr, MS_BIND, nullptr) == 0;
}

}  // namespace

bool enter_jail(int argc, char** argv) {
  if (!kFuzzBuild || geteuid() != 0) return false;
  std::vector<std::string> writable{scratch_dir()};
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    const std::string prefix = "-artifact_prefix=";
    if (arg.rfind(prefix, 0) == 0) arg = fs::path(arg.substr(prefix.size())).parent_path();
    std::error_code ec;
    if (!arg.empty() && arg[0] != '-' && fs::is_directory(arg, ec))
      writable.push_back(fs::absolute(arg).lexically_normal().string());
  }
  if (unshare(CLONE_NEWNS) != 0) return false;
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
  // Bind each writable directory onto itself first: the later read-only
  // remount of its file system then leaves this new mount writable.
  for (const std::string& dir : writable) bind_writable(dir);
  for (const std::string& point : mount_points()) {
    bool keep = false;
    for (const std::string& dir : writable) keep = keep || point == dir;
    if (keep) continue;
    unsigned long flags = MS_BIND | MS_REMOUNT | MS_RDONLY | MS_NODEV | MS_NOSUID;
    mount(nullptr, point.c_str(), nullptr, flags, nullptr);
  }
  if (chdir(scratch_dir().c_str()) != 0) return false;
  std::fprintf(stderr, "fuzz: jailed, writable: %zu directories\n", writable.size());
  return true;
}

}  // namespace quill::fuzz

// Link-time replacements (-Wl,--wrap=<symbol>) of two engine functions.
extern "C" [[noreturn]] void
__wrap__ZN5quill16exit_after_errorESt17basic_string_viewIcSt11char_traitsIcEES3_(
    std::string_view format, std::string_view path) {
  quill::error(format, path);
  throw quill::fuzz::OrderlyExit{};
}

extern "C" int
__wrap__ZN5quill8platform11run_commandERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE(
    const std::string&) {
  return -1;
}
