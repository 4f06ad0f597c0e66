// The project reader: any bytes must read (or be refused) without hanging,
// and a tree read completely must write out and read back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "project/project_file.h"
#include "project/project_node.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string content(reinterpret_cast<const char*>(data), size);
  quill::Project root;
  quill::ProjectLoad status = quill::read_project(content, root);
  if (status != quill::ProjectLoad::ok) return 0;
  std::string written = quill::write_project(root);
  quill::Project again;
  if (quill::read_project(written, again) != quill::ProjectLoad::ok) std::abort();
  if (quill::write_project(again) != written) std::abort();
  quill::read_subtree(quill::write_subtree(root));
  quill::read_subtree(content);
  return 0;
}
