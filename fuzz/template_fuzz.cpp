// The template loader (reader, text lines, structure builder) over one
// template file; a loaded tree must also dump without fault.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "template/builder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 100000) return 0;
  quill::fuzz::reset_engine();
  std::string path = quill::fuzz::write_scratch(
      "t.tem", std::string_view(reinterpret_cast<const char*>(data), size));
  quill::Template loaded = quill::load_template(path);
  if (loaded.ok && loaded.root) {
    std::string dump;
    loaded.root->dump(dump);
  }
  return 0;
}
