# quillwork_generate: runs quillb as a build step and adds what it writes to a
# target.
#
#   quillwork_generate(TARGET <target>
#                      MODEL <model.dsm> TEMPLATE <template.tem> [OUTDIR <dir>]
#                      OUTPUTS <file>...
#                      [OPTIONS <quillb option>...]
#                      [DEPENDS <file>...]
#                      [INIDIR <dir>]
#                      [WORKING_DIRECTORY <dir>]
#                      [COMMENT <text>])
#
#   quillwork_generate(TARGET <target>
#                      PROJECT <project.qpj>
#                      OUTPUTS <file>...
#                      [OPTIONS ...] [DEPENDS ...] [INIDIR <dir>]
#                      [WORKING_DIRECTORY <dir>] [COMMENT <text>])
#
# MODEL, TEMPLATE and PROJECT are taken relative to the current source
# directory, OUTDIR (default: the current binary directory) and OUTPUTS
# relative to the current binary directory. OUTPUTS lists the files the run
# writes; they are added to the target's sources, so the target is built
# after them and compiles the .cpp files among them. The step fails when the
# run did not write one of them (a model with errors generates nothing).
#
# quillb writes a dependency file (/depfile) naming every model, import and
# template it read, so that the build reruns the step exactly when one of
# them (or quillb itself) changes, and a build with nothing changed runs
# nothing. With /onlychanged among the OPTIONS an output whose content stays
# the same keeps its time: Ninja then rebuilds nothing that depends on it,
# while Make reruns the step at each build until the content changes.
#
# The step runs in WORKING_DIRECTORY: by default the current binary directory
# for a model, and the project file's directory for a project, whose rules
# name their files relative to it. OPTIONS are handed to quillb unchanged
# (for instance `/rstrip true /setvar "ns shop"`). Settings not given there
# come from the quill.ini in INIDIR (see quillb(1)), which then is a
# dependency of the step; without INIDIR, from an empty quill.ini of the
# build, so that the output never depends on the settings that whoever builds
# last used in the workbench.
#
# The quillb that runs is the imported target Quillwork::quillb (from
# find_package(Quillwork)) or, inside the Quillwork build, the quillb target.

include_guard(GLOBAL)

# Ninja reads the dependency file with its paths made relative to the build
# directory; the function below keeps this setting whatever the caller's
# minimum CMake version says.
if(POLICY CMP0116)
  cmake_policy(SET CMP0116 NEW)
endif()

# The quillb target to run, or an error when neither exists.
function(_quillwork_quillb out_var)
  if(TARGET Quillwork::quillb)
    set(${out_var} Quillwork::quillb PARENT_SCOPE)
  elseif(TARGET quillb)
    set(${out_var} quillb PARENT_SCOPE)
  else()
    message(FATAL_ERROR "quillwork_generate: no quillb target; call find_package(Quillwork) first")
  endif()
endfunction()

# Makes each path of the list in var absolute against base.
function(_quillwork_absolute var base)
  set(result "")
  foreach(path IN LISTS ${var})
    cmake_path(ABSOLUTE_PATH path BASE_DIRECTORY "${base}" NORMALIZE OUTPUT_VARIABLE path)
    list(APPEND result "${path}")
  endforeach()
  set(${var} "${result}" PARENT_SCOPE)
endfunction()

function(quillwork_generate)
  cmake_parse_arguments(PARSE_ARGV 0 QW ""
                        "TARGET;MODEL;TEMPLATE;OUTDIR;PROJECT;INIDIR;WORKING_DIRECTORY;COMMENT"
                        "OUTPUTS;OPTIONS;DEPENDS")
  if(QW_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "quillwork_generate: unknown arguments: ${QW_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT QW_TARGET OR NOT TARGET "${QW_TARGET}")
    message(FATAL_ERROR "quillwork_generate: TARGET must name an existing target (got '${QW_TARGET}')")
  endif()
  if(NOT QW_OUTPUTS)
    message(FATAL_ERROR "quillwork_generate: OUTPUTS must list the files the run writes")
  endif()
  if(QW_PROJECT AND (QW_MODEL OR QW_TEMPLATE OR QW_OUTDIR))
    message(FATAL_ERROR "quillwork_generate: PROJECT takes no MODEL, TEMPLATE or OUTDIR")
  endif()
  if(NOT QW_PROJECT AND NOT (QW_MODEL AND QW_TEMPLATE))
    message(FATAL_ERROR "quillwork_generate: give MODEL and TEMPLATE, or PROJECT")
  endif()
  _quillwork_quillb(quillb)

  set(src "${CMAKE_CURRENT_SOURCE_DIR}")
  set(bin "${CMAKE_CURRENT_BINARY_DIR}")
  _quillwork_absolute(QW_OUTPUTS "${bin}")
  _quillwork_absolute(QW_DEPENDS "${src}")

  # One dependency file per step, named after its first output.
  list(GET QW_OUTPUTS 0 first_output)
  string(MD5 step_id "${first_output}")
  string(SUBSTRING "${step_id}" 0 12 step_id)
  set(step_dir "${bin}/CMakeFiles/quillwork")
  set(depfile "${step_dir}/${QW_TARGET}-${step_id}.d")
  set(quillb_depfile "${step_dir}/${QW_TARGET}-${step_id}.quillb.d")

  if(QW_PROJECT)
    _quillwork_absolute(QW_PROJECT "${src}")
    cmake_path(GET QW_PROJECT PARENT_PATH default_dir)
    set(inputs "${QW_PROJECT}")
    set(arguments "${QW_PROJECT}")
    set(directories "")
    get_filename_component(what "${QW_PROJECT}" NAME)
  else()
    _quillwork_absolute(QW_MODEL "${src}")
    _quillwork_absolute(QW_TEMPLATE "${src}")
    if(NOT QW_OUTDIR)
      set(QW_OUTDIR "${bin}")
    endif()
    _quillwork_absolute(QW_OUTDIR "${bin}")
    set(default_dir "${bin}")
    set(inputs "${QW_MODEL}" "${QW_TEMPLATE}")
    set(arguments "${QW_MODEL}" "${QW_TEMPLATE}" "${QW_OUTDIR}")
    set(directories "${QW_OUTDIR}")
    get_filename_component(model_name "${QW_MODEL}" NAME)
    get_filename_component(template_name "${QW_TEMPLATE}" NAME)
    set(what "${model_name} with ${template_name}")
  endif()
  if(QW_INIDIR)
    _quillwork_absolute(QW_INIDIR "${src}")
    list(APPEND inputs "${QW_INIDIR}/quill.ini")
  else()
    set(QW_INIDIR "${step_dir}")
    if(NOT EXISTS "${step_dir}/quill.ini")
      file(WRITE "${step_dir}/quill.ini" "[LastCodegenSettings]\n")
    endif()
  endif()
  if(NOT QW_WORKING_DIRECTORY)
    set(QW_WORKING_DIRECTORY "${default_dir}")
  endif()
  _quillwork_absolute(QW_WORKING_DIRECTORY "${bin}")
  # quillb creates no directory for a file it writes; the build tool may not either.
  list(APPEND directories "${step_dir}")
  foreach(output IN LISTS QW_OUTPUTS)
    cmake_path(GET output PARENT_PATH parent)
    list(APPEND directories "${parent}")
  endforeach()
  list(REMOVE_DUPLICATES directories)
  if(NOT QW_COMMENT)
    set(QW_COMMENT "Generating from ${what}")
  endif()

  add_custom_command(
    OUTPUT ${QW_OUTPUTS}
    COMMAND "${CMAKE_COMMAND}" -E make_directory ${directories}
    COMMAND "${CMAKE_COMMAND}" -E rm -f "${quillb_depfile}"
    COMMAND "${CMAKE_COMMAND}" -E env "QUILLDIR=${QW_INIDIR}"
            "$<TARGET_FILE:${quillb}>" ${arguments} --depfile "${quillb_depfile}" ${QW_OPTIONS}
    COMMAND "${CMAKE_COMMAND}" "-DQUILLB_DEPFILE=${quillb_depfile}" "-DDEPFILE=${depfile}"
            "-DOUTPUTS=${QW_OUTPUTS}" -P "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/QuillworkDepfile.cmake"
    DEPENDS ${inputs} ${QW_DEPENDS} ${quillb}
    DEPFILE "${depfile}"
    WORKING_DIRECTORY "${QW_WORKING_DIRECTORY}"
    COMMENT "${QW_COMMENT}"
    VERBATIM)
  target_sources(${QW_TARGET} PRIVATE ${QW_OUTPUTS})
endfunction()
