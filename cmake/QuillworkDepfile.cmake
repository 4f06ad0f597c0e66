# Run by a quillwork_generate() step after quillb (cmake -P):
#
#   cmake -DQUILLB_DEPFILE=<written by quillb> -DDEPFILE=<for the build tool>
#         -DOUTPUTS=<output;...> -P QuillworkDepfile.cmake
#
# Checks that quillb wrote every declared output, then rewrites quillb's
# dependency file so that its targets are exactly the declared outputs, in
# their declared order, with every file quillb read as prerequisites. Ninja
# takes a dependency file only when its first target is the step's first
# output, and refuses targets it does not know; quillb names the files in the
# order the template writes them, and may write more than are declared.
cmake_minimum_required(VERSION 3.25)
# Run in the step's working directory, which CMAKE_CURRENT_SOURCE_DIR names here.

if(NOT EXISTS "${QUILLB_DEPFILE}")
  message(FATAL_ERROR "quillb wrote no dependency file ${QUILLB_DEPFILE}; it needs the /depfile option")
endif()

file(READ "${QUILLB_DEPFILE}" content)
# Join continued lines; a path holding a semicolon is not supported.
string(REGEX REPLACE "\\\\\r?\n" " " content "${content}")
string(REPLACE "\r" "" content "${content}")
string(REPLACE "\\ " "<quillwork-blank>" content "${content}")
string(REPLACE "\\#" "#" content "${content}")
string(REPLACE "$$" "$" content "${content}")
string(REPLACE ";" "" content "${content}")
string(REPLACE "\n" ";" lines "${content}")

# The blank-separated names of a rule's side as absolute paths: quillb ran in
# this directory, while the build tool reads relative names against its own.
function(_quillwork_names out_var text)
  string(REGEX REPLACE "[ \t]+" ";" names "${text}")
  set(result "")
  foreach(name IN LISTS names)
    if(NOT name STREQUAL "")
      string(REPLACE "<quillwork-blank>" " " name "${name}")
      cmake_path(ABSOLUTE_PATH name BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}" NORMALIZE)
      list(APPEND result "${name}")
    endif()
  endforeach()
  set(${out_var} "${result}" PARENT_SCOPE)
endfunction()

# The files written (targets) and read (prerequisites) over every rule.
set(written "")
set(prerequisites "")
foreach(line IN LISTS lines)
  string(APPEND line " ")  # so that "targets:" ends in ": " too
  string(FIND "${line}" ": " at)
  if(at EQUAL -1)
    string(FIND "${line}" ":\t" at)
  endif()
  if(at EQUAL -1)
    continue()  # blank
  endif()
  string(SUBSTRING "${line}" 0 ${at} targets)
  math(EXPR at "${at} + 2")
  string(SUBSTRING "${line}" ${at} -1 names)
  _quillwork_names(targets "${targets}")
  _quillwork_names(names "${names}")
  list(APPEND written ${targets})
  list(APPEND prerequisites ${names})
endforeach()
list(REMOVE_DUPLICATES prerequisites)

# A declared output that this run did not write is stale or missing: the model
# had errors, or the template writes other files than the step declares.
foreach(output IN LISTS OUTPUTS)
  if(NOT output IN_LIST written)
    message(FATAL_ERROR "quillb did not write ${output}; see its messages above")
  endif()
endforeach()

# Make syntax: blanks and '#' escaped by a backslash, '$' doubled.
function(_quillwork_escape out_var path)
  string(REPLACE "$" "$$" path "${path}")
  string(REPLACE " " "\\ " path "${path}")
  string(REPLACE "#" "\\#" path "${path}")
  set(${out_var} "${path}" PARENT_SCOPE)
endfunction()

set(targets "")
foreach(output IN LISTS OUTPUTS)
  _quillwork_escape(output "${output}")
  list(APPEND targets "${output}")
endforeach()
list(JOIN targets " " text)
string(APPEND text ":")
foreach(name IN LISTS prerequisites)
  _quillwork_escape(name "${name}")
  string(APPEND text " \\\n  ${name}")
endforeach()
file(WRITE "${DEPFILE}" "${text}\n")
