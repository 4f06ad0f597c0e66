// The handlers of the directive table and the helpers they share. Internal to
// the directive processor; templates reach it through process_directive.
#pragma once

#include <string>
#include <string_view>

#include "foundation/interned_name.h"

namespace quill {

struct GenerationRun;

// What a handler receives: the argument text (everything after the keyword)
// and the whole evaluated line, which several messages quote.
struct DirectiveCall {
  std::string_view args;
  std::string_view line;
};

// Variables, arrays and keyed variables (directive_variables.cpp).
void setvar_directive(GenerationRun& run, const DirectiveCall& call);
void setgvar_directive(GenerationRun& run, const DirectiveCall& call);
void setctic_directive(GenerationRun& run, const DirectiveCall& call);
void clearvar_directive(GenerationRun& run, const DirectiveCall& call);
void editvar_directive(GenerationRun& run, const DirectiveCall& call);
void searchvar_directive(GenerationRun& run, const DirectiveCall& call);

// Files and directories (directive_files.cpp).
void include_directive(GenerationRun& run, const DirectiveCall& call);
void fileexists_directive(GenerationRun& run, const DirectiveCall& call);
void direxists_directive(GenerationRun& run, const DirectiveCall& call);
void newfile_directive(GenerationRun& run, const DirectiveCall& call);
void appendfile_directive(GenerationRun& run, const DirectiveCall& call);
void newdir_directive(GenerationRun& run, const DirectiveCall& call);
void setdir_directive(GenerationRun& run, const DirectiveCall& call);
void insertfile_directive(GenerationRun& run, const DirectiveCall& call);

// Assigns the nearest visible variable of that name, else creates it in the
// innermost scope.
void assign_variable(GenerationRun& run, const InternedName& name, std::string_view value);

// Removes and returns the next word of text (skipping white space before it);
// "" when none is left.
std::string_view next_word(std::string_view& text);

// The argument text as a path: runs of white space reduced to their first
// character (when squeeze_white), leading white space removed, separators
// made native.
std::string prepare_path(std::string_view args, bool squeeze_white = true);

}  // namespace quill
