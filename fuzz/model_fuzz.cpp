// The model compiler (parse, checks, link) over one model file, and the
// formatter over the same text: formatting must be deterministic, must keep
// every token (it only moves white space and comments), and a second
// formatting must change nothing more.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/engine.h"
#include "foundation/commands.h"
#include "foundation/settings.h"
#include "fuzz/fuzz_support.h"
#include "model/formatter.h"
#include "model/lexer.h"

namespace {

// The tokens of a text without comments, as "kind text" lines (a keyword the
// formatter respells by its kind alone).
std::string tokens_of(const std::string& text) {
  quill::ModelLexer lexer(text);
  std::string out;
  for (quill::TokenKind k = lexer.next(); k != quill::TokenKind::eof; k = lexer.next()) {
    out += quill::token_kind_name(k);
    if (!quill::ModelTextFormatter::respells(k)) {
      out += ' ';
      out += lexer.text(false, false);
    }
    out += '\n';
  }
  return out;
}

void fail(const char* what) {
  std::fprintf(stderr, "formatter: %s\n", what);
  std::abort();
}

void check_formatter(const std::string& text) {
  std::string once = quill::ModelTextFormatter().format(text);
  if (quill::ModelTextFormatter().format(text) != once) fail("not deterministic");
  if (tokens_of(once) != tokens_of(text)) fail("tokens changed");
  if (quill::ModelTextFormatter().format(once) != once) fail("not idempotent");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  quill::bind_engine_commands();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 100000) return 0;
  quill::fuzz::reset_engine();
  std::string text(reinterpret_cast<const char*>(data), size);
  quill::SettingsStore& s = quill::settings();
  s.set("ModelName", quill::fuzz::write_scratch("model.dsm", text));
  s.set("LanguageTarget", size % 2 ? "c++" : "ada");
  s.set("NoCxxKeywords", "true");
  s.set("NoAdaKeywords", "true");
  s.set("DsmSearchPath", quill::fuzz::scratch_dir());
  quill::process_cmd("CompileObjDefs");
  const std::string& status = s.get("CompileStatus");
  if (status != "ok" && status != "file-error" && status != "syntax-error" &&
      status != "semantic-error")
    std::abort();
  if (std::getenv("QUILL_FUZZ_NO_FORMAT") == nullptr) check_formatter(text);
  return 0;
}
