// The workbench's profile: the same quill.ini that quillb reads, kept as the
// raw lines of each section so that comments and unknown keys survive a
// rewrite. Entries are plain `key=value` lines under `[section]` headers,
// found exactly as the engine's ini reader finds them.
#pragma once

#include <string>
#include <vector>

namespace quill {

class Profile {
 public:
  // Reads the file; a missing file gives an empty profile (and false).
  bool load(const std::string& path);
  // Writes every section back; false when the file cannot be written.
  bool save(const std::string& path) const;

  // The value of the first `key=` line of [section], else default_value.
  std::string get(const std::string& section, const std::string& key,
                  const std::string& default_value = "") const;
  // Replaces the first `key=` line of [section], or adds one (and the section).
  void set(const std::string& section, const std::string& key, const std::string& value);
  // The file's bytes: each line ended by a line feed.
  std::string text() const;

 private:
  struct Section {
    std::string name;  // "" for lines before the first header
    std::vector<std::string> lines;
  };
  const Section* find(const std::string& name) const;
  std::vector<Section> sections_;
};

// The directory of quill.ini: QUILLDIR, else SystemRoot, else winbootdir,
// else $XDG_CONFIG_HOME/quillwork, else $HOME/.config/quillwork.
std::string profile_directory();
// The full path of quill.ini in profile_directory().
std::string profile_path();

// The program's own directory (where CPP_STD.TEM is looked for); an installed
// program whose directory lacks it uses <prefix>/share/quillwork when that has it.
std::string program_directory();

// The editor used for generated files when the profile names none:
// $VISUAL, else $EDITOR, else xdg-open.
std::string default_editor();

// Puts the built-in defaults, then every profile key, into the settings
// store: the LastCodegenSettings keys under their own names, Editor,
// SetQuillFileTypes, the program directory settings, ModelName and ProjName.
void load_settings_from(const Profile& profile);
// Writes the settings back: ModelName as CGenModel, ProjName as CGenProj, the
// other LastCodegenSettings keys under their own names, Editor.
void store_settings_into(Profile& profile);

// Section and key names.
inline constexpr const char* kIniFileName = "quill.ini";
inline constexpr const char* kCodegenSection = "LastCodegenSettings";
inline constexpr const char* kBrowsingSection = "Browsing";
inline constexpr const char* kRegistrySection = "Registry";
inline constexpr const char* kRecentSection = "Recent File List";

}  // namespace quill
