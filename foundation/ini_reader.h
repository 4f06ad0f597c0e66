// Reads one key of an initialisation file; the file is opened afresh per key.
#pragma once

#include <string>

namespace quill {

// The directory of quill.ini: QUILLDIR, else SystemRoot, else winbootdir,
// else the per-user configuration directory ($XDG_CONFIG_HOME/quillwork or
// ~/.config/quillwork). An empty variable counts as unset.
std::string ini_directory();

// Returns the value of key in [section] of dir/file, or default_value when
// any argument is empty, the file cannot be opened (reported), or the key is absent.
std::string ini_read(const std::string& dir, const std::string& file, const std::string& section,
                     const std::string& key, const std::string& default_value);

}  // namespace quill
