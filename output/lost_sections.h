// Sections that the user edited by hand in the previous version of a file
// and that the new version no longer holds (say, because the element they
// belonged to left the model). Their text must not vanish silently: each one
// is reported, and its lines, marker lines included, are appended to
// "<file>.lost" beside the file, ready to be pasted back.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "output/preserved_sections.h"

namespace quill {

// The sections of old whose uid opens no section of the new version, in
// file order; new_uids are the uids that the new version's sections have
// (section_uids).
std::vector<const SectionBlock*> lost_sections(const PreservedSections& old,
                                               const std::set<std::string>& new_uids);

// Reports every section of old that the new version lacks and, outside a
// check run, appends their lines to path + ".lost", each ended by line_end.
// Returns false (after reporting) when the .lost file cannot be written; the
// caller must then keep the old version of path.
bool keep_lost_sections(const PreservedSections& old, const std::set<std::string>& new_uids,
                        const std::string& path, std::string_view line_end);

}  // namespace quill
