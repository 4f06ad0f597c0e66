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

// Scans the lines of content, the file at path (named in messages), into
// sections; lines are split as text_lines splits them. Stops at the first
// faulty section (an end tag with another uid, a missing end tag, a repeated
// uid), reports it and returns false; the sections stored before it are
// kept. A section's lines are joined by line_end, the line end the new
// version is written with, so a captured text written back never mixes line
// ends with the rest of the file.
bool scan_sections(std::string_view content, std::string_view path, PreservedSections& sections,
                   std::string_view line_end = "\r\n");

// Splits a text that comes in pieces into lines: a line may be split
// between pieces. Each line is handed on with its line feed, if it has one.
class PieceLines {
 public:
  template <class OnLine>
  void add(std::string_view piece, OnLine&& on_line) {
    while (!piece.empty()) {
      const size_t lf = piece.find('\n');
      if (lf == std::string_view::npos) {
        partial_.append(piece);
        return;
      }
      if (partial_.empty()) {
        on_line(piece.substr(0, lf + 1));
      } else {
        partial_.append(piece.substr(0, lf + 1));
        on_line(std::string_view(partial_));
        partial_.clear();
      }
      piece.remove_prefix(lf + 1);
    }
  }
  // Hands on the last line when it has no line feed.
  template <class OnLine>
  void finish(OnLine&& on_line) {
    if (!partial_.empty()) on_line(std::string_view(partial_));
    partial_.clear();
  }

 private:
  std::string partial_;  // the start of a line whose end is in a later piece
};

// scan_sections for a text that comes in pieces (an old version read from
// disk a piece at a time: a file generated into one can hold millions of
// lines).
class SectionScanner {
 public:
  SectionScanner(std::string_view path, PreservedSections& sections,
                 std::string_view line_end = "\r\n");
  // The next piece of the text; ignored once a faulty section was reported.
  void add_text(std::string_view piece);
  // Ends the text: its last line may lack a line feed, and a section still
  // open is reported. False when any section was faulty.
  bool finish();

 private:
  void add_line(std::string_view line);

  std::string path_, line_end_;
  PreservedSections& sections_;
  PieceLines lines_;
  bool failed_ = false;
  bool in_section_ = false;
  bool first_ = true;    // no line of the open section's text yet
  std::string uid_, end_uid_;
  std::string text_;     // the open section's text so far
  std::string block_;    // the open section's lines so far
};

// The lines of content, each with its own line end (views into content).
std::vector<std::string_view> raw_lines(std::string_view content);
// The same lines as a text reader gives them: the line feed and a carriage
// return before it dropped, a last line without a line feed kept.
std::vector<std::string_view> text_lines(std::string_view content);

// The uids of the lines of content that open a section, in order.
std::set<std::string> section_uids(std::string_view content);

// section_uids for a text that comes in pieces (a new version read back).
class SectionUids {
 public:
  void add_text(std::string_view piece);
  // Ends the text and gives the uids.
  std::set<std::string> finish();

 private:
  void add_line(std::string_view line);

  PieceLines lines_;
  std::set<std::string> uids_;
  std::string uid_;
};

}  // namespace quill
