// The sections of a previously generated file that the user edited by hand:
// a line containing BEGIN-UID. opens a section whose uid is the rest of that
// line without white space; the following lines, up to a line containing
// END-UID. followed by the same uid, are its text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "foundation/string_containers.h"
#include "model/capture.h"

namespace quill {

struct PreservedSections {
  // uid -> the section's lines, trailing white space removed, joined by CR LF.
  CapturedTexts texts;
  StringArray uids;  // the stored uids in file order
};

// Scans the lines of the file at path (named in messages) into sections.
// Stops at the first faulty section (an end tag with another uid, a missing
// end tag, a repeated uid), reports it and returns false; the sections
// stored before it are kept.
bool scan_sections(const std::vector<std::string>& lines, std::string_view path,
                   PreservedSections& sections);

}  // namespace quill
