#include "workbench/profile.h"

#include "foundation/paths.h"
#include "foundation/platform.h"
#include "foundation/settings.h"
#include "foundation/ini_reader.h"

namespace quill {

namespace {

bool starts_with(const std::string& line, const std::string& head) {
  return line.compare(0, head.size(), head) == 0;
}

// A LastCodegenSettings key and its built-in default; an empty default of a
// directory row is filled from the program directory.
struct CodegenKey {
  const char* key;
  const char* default_value;
};

constexpr CodegenKey kCodegenKeys[] = {
    {"CGenTemplate", nullptr},  // the program directory's CPP_STD.TEM
    {"CGenProj", ""},
    {"CGenModel", ""},
    {"CGenOutdir", nullptr},  // the program directory
    {"ShowFileNames", "true"},
    {"ShowGenSummary", "true"},
    {"NoAdaKeywords", "true"},
    {"NoCxxKeywords", "true"},
    {"MakeBackupFiles", "true"},
    {"StripReturns", "false"},
    {"TraceTemLines", "false"},
    {"BackupFileMap", "h bkh hxx bkh cpp bkc cxx bkc c bkc"},
    {"LanguageTarget", "c++"},
    {"DsmSearchPath", ""},
    {"TemSearchPath", ""},
};

constexpr const char* kDefaultTemplate = "CPP_STD.TEM";
constexpr const char* kCatalogFile = "template.tbl";

std::string default_of(const CodegenKey& row, const std::string& program_dir) {
  if (row.default_value) return row.default_value;
  std::string key = row.key;
  return key == "CGenTemplate" ? join_path(program_dir, kDefaultTemplate) : program_dir;
}

// The first of QUILLTLIB, the program directory and "." that holds the catalog.
std::string template_library_directory(const std::string& program_dir) {
  for (const std::string& dir : {platform::get_env("QUILLTLIB"), program_dir, std::string(".")}) {
    if (!dir.empty() && platform::is_regular_file(join_path(dir, kCatalogFile))) return dir;
  }
  return "";
}

}  // namespace

bool Profile::load(const std::string& path) {
  sections_.clear();
  std::vector<std::string> lines;
  if (!platform::read_lines(path, lines)) return false;
  sections_.push_back({"", {}});
  for (std::string& line : lines) {
    if (starts_with(line, "[")) {
      size_t close = line.find(']');
      std::string name = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
      sections_.push_back({name, {}});
    }
    sections_.back().lines.push_back(std::move(line));
  }
  return true;
}

bool Profile::save(const std::string& path) const {
  return platform::write_file(path, text());
}

std::string Profile::text() const {
  std::string out;
  for (const Section& section : sections_) {
    for (const std::string& line : section.lines) out += line + "\n";
  }
  return out;
}

const Profile::Section* Profile::find(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (const Section& section : sections_) {
    if (section.name == name) return &section;
  }
  return nullptr;
}

std::string Profile::get(const std::string& section, const std::string& key,
                         const std::string& default_value) const {
  const Section* found = find(section);
  if (!found || key.empty()) return default_value;
  const std::string assignment = key + "=";
  for (const std::string& line : found->lines) {
    if (starts_with(line, assignment)) return line.substr(assignment.size());
  }
  return default_value;
}

void Profile::set(const std::string& section, const std::string& key, const std::string& value) {
  if (section.empty() || key.empty()) return;
  Section* found = const_cast<Section*>(find(section));
  if (!found) {
    if (!sections_.empty() && !sections_.back().lines.empty() &&
        !sections_.back().lines.back().empty()) {
      sections_.back().lines.push_back("");
    }
    sections_.push_back({section, {"[" + section + "]"}});
    found = &sections_.back();
  }
  const std::string assignment = key + "=";
  for (std::string& line : found->lines) {
    if (starts_with(line, assignment)) {
      line = assignment + value;
      return;
    }
  }
  // New keys go after the last non-blank line, so a blank separator stays last.
  auto at = found->lines.end();
  while (at != found->lines.begin() + 1 && (at - 1)->empty()) --at;
  found->lines.insert(at, assignment + value);
}

std::string profile_directory() { return ini_directory(); }

std::string profile_path() { return join_path(profile_directory(), kIniFileName); }

std::string program_directory() {
  std::string dir = platform::executable_directory();
  if (platform::is_regular_file(join_path(dir, kDefaultTemplate))) return dir;
  std::string shared = platform::absolute_path(join_path(dir, "../share/quillwork"));
  if (platform::is_regular_file(join_path(shared, kDefaultTemplate))) return shared;
  return dir;
}

std::string default_editor() {
  for (const char* variable : {"VISUAL", "EDITOR"}) {
    std::string editor = platform::get_env(variable);
    if (!editor.empty()) return editor;
  }
  return "xdg-open";
}

void load_settings_from(const Profile& profile) {
  SettingsStore& s = settings();
  const std::string program_dir = program_directory();
  s.set("QUILL_Dir", program_dir);
  s.set("CGenTemplateDefault", join_path(program_dir, kDefaultTemplate));
  s.set("CGenOutdirDefault", program_dir);
  s.set("QUILL_TemLibDir", template_library_directory(program_dir));
  s.set("Editor", profile.get(kBrowsingSection, "Editor", default_editor()));
  s.set("SetQuillFileTypes", profile.get(kRegistrySection, "SetQuillFileTypes", "true"));
  for (const CodegenKey& row : kCodegenKeys) {
    s.set(row.key, profile.get(kCodegenSection, row.key, default_of(row, program_dir)));
  }
  s.set("ModelName", s.get("CGenModel"));
  s.set("ProjName", s.get("CGenProj"));
}

void store_settings_into(Profile& profile) {
  SettingsStore& s = settings();
  s.set("CGenModel", s.get("ModelName"));
  s.set("CGenProj", s.get("ProjName"));
  for (const CodegenKey& row : kCodegenKeys) profile.set(kCodegenSection, row.key, s.get(row.key));
  profile.set(kBrowsingSection, "Editor", s.get("Editor"));
  profile.set(kRegistrySection, "SetQuillFileTypes", s.get("SetQuillFileTypes"));
}

}  // namespace quill
