// Reads one key of an initialisation file. The file is opened afresh per
// key, except while an IniReadScope exists: then it is read once and later
// keys are answered from memory.
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

// While one exists (a run of the console program), each initialisation file
// is read at most once; a file the program itself has changed since (through
// the platform layer) is read again. A file that cannot be opened is still
// reported at every key. Scopes nest; the last one ending forgets the files.
class IniReadScope {
 public:
  IniReadScope();
  ~IniReadScope();
  IniReadScope(const IniReadScope&) = delete;
  IniReadScope& operator=(const IniReadScope&) = delete;
};

}  // namespace quill
