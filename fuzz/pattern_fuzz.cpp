// The pattern matcher: the first byte chooses where the input splits into
// pattern and text. Every pattern must compile and every search must end;
// the results must be consistent with each other.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "foundation/pattern.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 4096) return 0;
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  size_t cut = rest.empty() ? 0 : data[0] % (rest.size() + 1);
  quill::Pattern pattern(rest.substr(0, cut));
  std::string_view text = rest.substr(cut);
  long length = static_cast<long>(text.size());

  quill::Pattern::Found found = pattern.search(text);
  if (found.length < 0 || found.start < 0 || found.start + found.length > length) std::abort();
  if (found.length > 0 && pattern.match_at(text, found.start) != found.start + found.length - 1)
    std::abort();

  // The matches follow each other without overlap and lie inside the text.
  size_t covered = 0;
  for (const std::string& m : pattern.all_matches(text)) {
    size_t at = text.find(m, covered);
    if (m.empty() || at == std::string_view::npos) std::abort();
    covered = at + m.size();
  }
  for (long start = 0; start <= length && start < 64; ++start) {
    long end = pattern.match_at(text, start);
    if (end < start - 1 || end >= length) std::abort();
  }
  return 0;
}
