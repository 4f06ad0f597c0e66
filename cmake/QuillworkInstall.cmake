# What `cmake --install` puts beside the programs (which their own folders
# install into bin/): the shipped templates, manual pages, bash completion,
# documentation and the CMake package through which a user project finds
# quillb and calls quillwork_generate().
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(QUILLWORK_BIN_DIR ${CMAKE_INSTALL_BINDIR})
# Where an installed quill looks for CPP_STD.TEM and the template catalog:
# <prefix>/share/quillwork, beside <prefix>/bin.
set(QUILLWORK_DATA_DIR ${CMAKE_INSTALL_DATADIR}/quillwork)
set(QUILLWORK_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quillwork)
set(QUILLWORK_CMAKE_DIR ${CMAKE_INSTALL_DATADIR}/cmake/Quillwork)

if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/templates)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/templates/ DESTINATION ${QUILLWORK_DATA_DIR})
endif()

install(FILES ${PROJECT_SOURCE_DIR}/man/quillb.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET quill)
  install(FILES ${PROJECT_SOURCE_DIR}/man/quill.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/completion/quillb.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME quillb)

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${QUILLWORK_DOC_DIR})
file(GLOB quillwork_docs ${PROJECT_SOURCE_DIR}/docs/*.md)
if(quillwork_docs)
  install(FILES ${quillwork_docs} DESTINATION ${QUILLWORK_DOC_DIR})
endif()
if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/examples)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${QUILLWORK_DOC_DIR}/examples)
endif()

configure_package_config_file(
  ${PROJECT_SOURCE_DIR}/cmake/QuillworkConfig.cmake.in
  ${PROJECT_BINARY_DIR}/QuillworkConfig.cmake
  INSTALL_DESTINATION ${QUILLWORK_CMAKE_DIR}
  PATH_VARS QUILLWORK_BIN_DIR QUILLWORK_DATA_DIR)
# quillb is a program, not a library: a 32-bit project may use a 64-bit quillb.
write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/QuillworkConfigVersion.cmake
  COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(FILES ${PROJECT_BINARY_DIR}/QuillworkConfig.cmake
              ${PROJECT_BINARY_DIR}/QuillworkConfigVersion.cmake
              ${PROJECT_SOURCE_DIR}/cmake/QuillworkGenerate.cmake
              ${PROJECT_SOURCE_DIR}/cmake/QuillworkDepfile.cmake
        DESTINATION ${QUILLWORK_CMAKE_DIR})
