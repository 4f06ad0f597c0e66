// The initialisation-file reader over arbitrary file contents.
#include <cstdint>
#include <string>

#include "foundation/ini_reader.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quill::fuzz::reset_engine();
  std::string path = quill::fuzz::write_scratch(
      "quill.ini", std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string& dir = quill::fuzz::scratch_dir();
  const char* keys[] = {"ShowFileNames", "BackupFileMap", "DsmSearchPath", "", "="};
  const char* sections[] = {"LastCodegenSettings", "Browsing", "", "["};
  for (const char* section : sections)
    for (const char* key : keys) quill::ini_read(dir, "quill.ini", section, key, "default");
  return 0;
}
