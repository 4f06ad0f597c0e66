# `cpack -G DEB` from the build directory makes quillwork_<version>_<arch>.deb
# from the install rules. Its Depends are computed by dpkg-shlibdeps (package
# dpkg-dev), so the Qt 6 libraries are required exactly when the workbench
# is in the package; without that tool they are listed here.
set(CPACK_PACKAGE_NAME quillwork)
set(CPACK_PACKAGE_VENDOR "Quillwork")
set(CPACK_PACKAGE_CONTACT "Quillwork maintainers <quillwork@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "model-driven source code generator")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillwork turns an object model (.dsm) into source files through a template
(.tem), keeping the regions edited by hand between marker lines. quillb is
the console generator; quill, when packaged, is the Qt workbench. Includes
the default C++ template, manual pages, bash completion and a CMake package
with quillwork_generate() for generating sources as a build step.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
find_program(QUILLWORK_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(QUILLWORK_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(quillwork_depends "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 12)")
  if(TARGET quill)
    string(APPEND quillwork_depends ", libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4)")
  endif()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${quillwork_depends}")
endif()
if(TARGET quill)
  # Opening generated files and the desktop's "open" action.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
endif()

include(CPack)
