// The files a run has read and written, kept for a dependency file that lets
// a build tool regenerate the output only when one of its inputs changes.
// Readers note what they open (the model and its imports, the template and
// its imports, the files copied into the output); the output file notes
// every file it writes or appends to.
#pragma once

#include <string>
#include <vector>

namespace quill {

// Notes a file read as an input of the run (each path once).
void note_file_read(const std::string& path);
// Notes a file written or appended to by the run (each path once).
void note_file_written(const std::string& path);
// Forgets every noted file.
void clear_file_record();
// Whether files are noted at all (on at process start). A run that writes
// no dependency file turns it off and so keeps no list of every file it
// generates.
void set_file_record(bool on);

const std::vector<std::string>& files_read();
const std::vector<std::string>& files_written();

// A path escaped for a Make-style dependency file, as Make and Ninja read
// it: a blank, tab or '#' gets a backslash (and the backslashes right before
// it are doubled), '$' becomes "$$".
std::string depfile_escape(const std::string& path);

// The dependency rule: every written file depends on every read file that
// is not itself written. Paths below the working directory are relative to
// it, others absolute. "" when nothing was written.
std::string depfile_text();

// Writes depfile_text() to path; reports an error and returns false when
// the file cannot be written.
bool write_depfile(const std::string& path);

}  // namespace quill
