#include "tests/support/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>

#include "foundation/console_sink.h"
#include "foundation/platform.h"
#include "foundation/settings.h"

namespace quill::testing {

namespace {
// Renders through the real console sink into a memory stream, so captured
// output is byte-identical to what quillb prints.
std::string render(const std::function<void(ConsoleSink&)>& fn) {
  char* buf = nullptr;
  size_t len = 0;
  std::FILE* f = open_memstream(&buf, &len);
  {
    ConsoleSink console(f);
    fn(console);
  }
  std::fclose(f);
  std::string s(buf, len);
  std::free(buf);
  return s;
}
}  // namespace

void CapturingSink::message(Severity severity, std::string_view text) {
  entries.push_back({"message", static_cast<int>(severity), std::string(text), ""});
  output += render([&](ConsoleSink& c) { c.message(severity, text); });
}

void CapturingSink::error_list(std::string_view message, std::string_view list) {
  entries.push_back({"error_list", 1, std::string(message), std::string(list)});
  output += render([&](ConsoleSink& c) { c.error_list(message, list); });
}

void CapturingSink::file_created(std::string_view path) {
  entries.push_back({"file_created", 3, std::string(path), ""});
  output += render([&](ConsoleSink& c) { c.file_created(path); });
}

void EngineTest::SetUp() {
  auto sink = std::make_unique<CapturingSink>();
  sink_ = sink.get();
  previous_ = install_sink(std::move(sink));
  settings().clear();
  std::string tmpl = (std::filesystem::temp_directory_path() / "quilltest-XXXXXX").string();
  char* made = mkdtemp(tmpl.data());
  ASSERT_NE(made, nullptr);
  dir_ = made;
  platform::set_env("QUILLDIR", dir_);
}

void EngineTest::TearDown() {
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
  settings().clear();
  install_sink(std::move(previous_));
}

std::string EngineTest::write(const std::string& relative, const std::string& content) {
  std::filesystem::path p = std::filesystem::path(dir_) / relative;
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << content;
  return p.string();
}

std::string EngineTest::read(const std::string& path) {
  platform::settle_writes();  // a file may wait for the second thread
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace quill::testing
