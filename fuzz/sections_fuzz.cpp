// The preserved-section scanner. Invariant: the sections it captures, written
// back as a file of their own, scan again to exactly the same uids and texts,
// so no hand-edited text changes on its way through a regeneration.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "output/preserved_sections.h"

namespace {

std::vector<std::string> lines_of(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
      if (start < text.size()) lines.emplace_back(text.substr(start));
      break;
    }
    std::string_view line = text.substr(start, lf - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    start = lf + 1;
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quill::fuzz::reset_engine();
  std::string_view text(reinterpret_cast<const char*>(data), size);
  quill::PreservedSections first;
  bool ok = quill::scan_sections(lines_of(text), "old.h", first);
  if (first.uids.count() != first.texts.count()) std::abort();

  // Write every captured section back the way a template would.
  std::string again;
  for (size_t i = 0; i < first.uids.count(); ++i) {
    const std::string& uid = first.uids.item(i);
    again += "// BEGIN-UID." + uid + "\n";
    const std::string& body = first.texts.text(uid);
    if (!body.empty()) again += body + "\n";
    again += "// END-UID. " + uid + "\n";
  }
  quill::PreservedSections second;
  if (!quill::scan_sections(lines_of(again), "new.h", second)) std::abort();
  if (second.uids.count() != first.uids.count()) std::abort();
  for (size_t i = 0; i < first.uids.count(); ++i) {
    if (second.uids.item(i) != first.uids.item(i)) std::abort();
    if (second.texts.text(first.uids.item(i)) != first.texts.text(first.uids.item(i))) std::abort();
  }
  (void)ok;
  return 0;
}
