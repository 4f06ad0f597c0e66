// The directive processor: a text line whose evaluated text starts with '$'
// or '*' may be one of the directives below. Each directive is one row of a
// table (keyword, handler, whether the line is still written); the first
// keyword that the text starts with wins.
//
//   **ERROR text      **WARNING text      $$SHELLCMD command     $$SYMDUMP
//   $$SETVAR / $$SETGVAR name value | name[] (+=|-=) value | name{key} value
//   $$SETCTIC objtype name value          $$CLEARVAR name | name[] | name{}
//   $$EDITVAR name op args                $$SEARCHVAR name pattern
//   $$INCLUDE path    $$EXECMODULE name args    $$FILEEXISTS / $$DIREXISTS path
//   $$NEWFILE / $$APPENDFILE name    $$NEWDIR / $$SETDIR dir
//   $$INSERTFILE file file-to-insert section-name
#pragma once

#include <string>

namespace quill {

struct GenerationRun;

// Performs the directive that text starts with, if any; returns whether the
// line is still to be written. Malformed directives are reported and ignored.
bool process_directive(GenerationRun& run, std::string& text);

// Makes process_directive the handler of directive-like text lines.
void install_directive_processor();

// Re-arms the two warnings that $$SETVAR gives at most once per process
// (for tests, which run many generations in one process).
void reset_directive_warnings();

}  // namespace quill
