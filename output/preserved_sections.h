// The sections of a previously generated file that the user edited by hand:
// a line containing BEGIN-UID. opens a section whose uid is the rest of that
// line without white space; the following lines, up to a line containing
// END-UID. followed by the same uid, are its text.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/string_containers.h"
#include "model/capture.h"

namespace quill {

// A stored section as it stands in the file: its lines, marker lines
// included, each ended by a line feed.
struct SectionBlock {
  std::string uid;
  std::string lines;
};

struct PreservedSections {
  // uid -> the section's lines, trailing white space removed, joined by CR LF.
  CapturedTexts texts;
  // The stored uids in file order; the capture of the model takes the uids
  // it claims out of this list.
  StringArray uids;
  std::vector<SectionBlock> blocks;  // every stored section, in file order
};

// Scans the lines of the file at path (named in messages) into sections.
// Stops at the first faulty section (an end tag with another uid, a missing
// end tag, a repeated uid), reports it and returns false; the sections
// stored before it are kept. A section's lines are joined by line_end, the
// line end the new version is written with, so a captured text written back
// never mixes line ends with the rest of the file.
bool scan_sections(const std::vector<std::string_view>& lines, std::string_view path,
                   PreservedSections& sections, std::string_view line_end = "\r\n");

// The lines of content, each with its own line end (views into content).
std::vector<std::string_view> raw_lines(std::string_view content);
// The same lines as a text reader gives them: the line feed and a carriage
// return before it dropped, a last line without a line feed kept.
std::vector<std::string_view> text_lines(std::string_view content);

// The uids of the lines of content that open a section, in order.
std::set<std::string> section_uids(std::string_view content);

}  // namespace quill
