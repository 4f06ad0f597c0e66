# The fuzz targets, shared by the fuzzing build (fuzz/CMakeLists.txt) and by
# the replay executables of the regression tests (tests/reliability).
set(QUILL_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})
set(QUILL_FUZZ_TARGETS model template pattern sections project ini generate)

# Builds <target>_<kind>: kind "fuzz" links the libFuzzer engine, kind
# "replay" a plain main that runs the files named on its command line.
function(quill_fuzz_executable target kind)
  set(sources ${QUILL_FUZZ_DIR}/${target}_fuzz.cpp ${QUILL_FUZZ_DIR}/fuzz_support.cpp)
  if(kind STREQUAL "replay")
    list(APPEND sources ${QUILL_FUZZ_DIR}/replay_main.cpp)
  endif()
  add_executable(${target}_${kind} ${sources})
  target_link_libraries(${target}_${kind} PRIVATE quill_batch)
  # Process exits of the output library become exceptions, and no shell
  # command is ever started by a fuzzed template (see fuzz_support.h).
  target_link_options(${target}_${kind} PRIVATE
    -Wl,--wrap=_ZN5quill16exit_after_errorESt17basic_string_viewIcSt11char_traitsIcEES3_
    -Wl,--wrap=_ZN5quill8platform11run_commandERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE)
  if(kind STREQUAL "fuzz")
    target_compile_definitions(${target}_${kind} PRIVATE QUILL_FUZZ_BUILD=1)
    target_compile_options(${target}_${kind} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${target}_${kind} PRIVATE -fsanitize=fuzzer,address,undefined)
  endif()
endfunction()
