// The preserved-section scanner. Invariant: the sections it captures, written
// back as a file of their own, scan again to exactly the same uids and texts,
// so no hand-edited text changes on its way through a regeneration.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_support.h"
#include "output/preserved_sections.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quill::fuzz::reset_engine();
  std::string_view text(reinterpret_cast<const char*>(data), size);
  quill::PreservedSections first;
  bool ok = quill::scan_sections(text, "old.h", first);
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
  if (!quill::scan_sections(again, "new.h", second)) std::abort();
  if (second.uids.count() != first.uids.count()) std::abort();
  for (size_t i = 0; i < first.uids.count(); ++i) {
    if (second.uids.item(i) != first.uids.item(i)) std::abort();
    if (second.texts.text(first.uids.item(i)) != first.texts.text(first.uids.item(i))) std::abort();
  }
  (void)ok;
  return 0;
}
