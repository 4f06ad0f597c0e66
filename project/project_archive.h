// The reader and writer of project files: one line per field, "key=value ".
// Keys are for the human reader only; a reader relies on the order of the
// fields and never checks a key.
//
//   traceTem=0 \r\n              an integer
//   descLength=11 \r\n           a text: its length line, then (when not empty)
//   desc=first\nsecond\r\n       the text, each line feed written as "\n"
//
// The archive works on bytes in memory, so a file, a clipboard entry and a
// test string are read the same way. A reader never scans past its end: a
// read that finds no more fields marks the archive failed and yields 0 or
// "" from then on.
#pragma once

#include <string>
#include <string_view>

namespace quill {

class ProjectArchive {
 public:
  // An archive that writes into text().
  static ProjectArchive writer();
  // An archive that reads the given bytes.
  static ProjectArchive reader(std::string content);

  bool is_writing() const { return writing_; }

  // Writes key, "=", the decimal value, a blank and CR LF.
  void write_integer(long long value, std::string_view key);
  // Writes the "<key>Length" integer line, then, when the text is not empty,
  // key "=" the text (line feeds as "\n", carriage returns left out) CR LF.
  void write_text(std::string_view value, std::string_view key);

  // Skips past the next "=" and converts the characters up to the next
  // white space as a decimal integer (0 when they are not one).
  long long read_integer();
  // Reads a length N; for N >= 1 skips past the next "=", takes N characters
  // (line ends are neither counted nor kept; the text never runs into the
  // next line) and moves to the start of the next line.
  std::string read_text();

  // Reading or writing in one call, so that a field list is written once.
  void transfer(std::string& value, std::string_view key);
  void transfer(bool& flag, std::string_view key);  // 0 or 1; non-zero reads as on

  // True once a read has run out of fields (or nesting went too deep).
  bool failed() const { return failed_; }
  // Enters one level of node nesting; false (and failed) beyond kMaxDepth.
  bool enter();
  void leave() { --depth_; }

  // The bytes written so far.
  const std::string& text() const { return text_; }

  // Deeper trees are refused when read, so that a damaged file cannot
  // exhaust the stack.
  static constexpr int kMaxDepth = 1000;

 private:
  explicit ProjectArchive(bool writing) : writing_(writing) {}
  bool skip_past(char c);
  void skip_line();

  bool writing_;
  bool failed_ = false;
  int depth_ = 0;
  std::string text_;
  size_t pos_ = 0;
};

}  // namespace quill
