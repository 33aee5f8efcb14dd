# Installation and packages. On Linux: the two programs, their manual pages,
# the desktop entry and the icon in the hicolor theme, README and LICENSE,
# honouring CMAKE_INSTALL_PREFIX and DESTDIR, beside the library's files
# (lib/CMakeLists.txt); CPack's DEB generator makes a package of each part,
# as Debian splits a program that comes with a library. On Windows: both
# .exe files with README and LICENSE, and the library's DLL, import library
# and header, zipped by CPack's ZIP generator. `make package` puts them all
# in build/packages/.
if(EMSCRIPTEN)
  return()  # the page is one file in build/web/, nothing to install
endif()
set(CPACK_PACKAGE_NAME rgbhsv)
set(CPACK_PACKAGE_VENDOR "the rgbhsv developers")
set(CPACK_PACKAGE_CONTACT "The rgbhsv developers <rgbhsv@example.org>")
if(WIN32)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert colours between RGB and HSV, exactly")
else()
  # Each .deb's synopsis is the first line of its own description. CPack
  # puts this summary before each one unless it is CPack's stock value.
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CMAKE_PROJECT_NAME} built using CMake")
endif()
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGE_DIRECTORY "${PROJECT_SOURCE_DIR}/build/packages")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  install(TARGETS hsvconv RUNTIME DESTINATION .)
  if(TARGET rgbhsv)
    install(TARGETS rgbhsv RUNTIME DESTINATION .)
  endif()
  install(FILES "${PROJECT_SOURCE_DIR}/README.md" "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION .)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "64")
    set(rgbhsv_arch x86_64)
  else()
    set(rgbhsv_arch i686)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "rgbhsv-${PROJECT_VERSION}-windows-${rgbhsv_arch}")
  include(CPack)
  return()
endif()

include(GNUInstallDirs)
# What this file installs is the programs' package; the library's files
# name their own parts.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME programs)
install(TARGETS hsvconv RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
if(TARGET rgbhsv)
  install(TARGETS rgbhsv RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
endif()

# Manual pages carry the project's version and are installed compressed,
# as Debian keeps them; gzip -n leaves no time stamp in them.
find_program(RGBHSV_GZIP gzip REQUIRED)
set(rgbhsv_generated "${CMAKE_BINARY_DIR}/install-files")
set(rgbhsv_man_pages)
foreach(page rgbhsv hsvconv)
  set(VERSION "${PROJECT_VERSION}")
  configure_file("${PROJECT_SOURCE_DIR}/docs/man/${page}.1" "${rgbhsv_generated}/${page}.1" @ONLY)
  add_custom_command(
    OUTPUT "${rgbhsv_generated}/${page}.1.gz"
    COMMAND "${RGBHSV_GZIP}" -9nkf "${rgbhsv_generated}/${page}.1"
    DEPENDS "${rgbhsv_generated}/${page}.1"
    VERBATIM)
  list(APPEND rgbhsv_man_pages "${rgbhsv_generated}/${page}.1.gz")
endforeach()
add_custom_command(
  OUTPUT "${rgbhsv_generated}/changelog.gz"
  COMMAND "${RGBHSV_GZIP}" -9nc "${PROJECT_SOURCE_DIR}/packaging/changelog" > "${rgbhsv_generated}/changelog.gz"
  DEPENDS "${PROJECT_SOURCE_DIR}/packaging/changelog")
add_custom_target(rgbhsv_install_files ALL DEPENDS ${rgbhsv_man_pages} "${rgbhsv_generated}/changelog.gz")
install(FILES ${rgbhsv_man_pages} DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")

if(TARGET rgbhsv AND TARGET rgbhsv_icons)
  install(FILES "${PROJECT_SOURCE_DIR}/resources/rgbhsv.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
  foreach(size 16 32)
    install(FILES "${CMAKE_BINARY_DIR}/resources/icons/${size}/rgbhsv.png"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
  endforeach()
endif()

install(FILES "${PROJECT_SOURCE_DIR}/README.md" "${PROJECT_SOURCE_DIR}/LICENSE"
              "${PROJECT_SOURCE_DIR}/packaging/copyright" "${rgbhsv_generated}/changelog.gz"
        DESTINATION "${CMAKE_INSTALL_DOCDIR}")

# Each package's copyright and changelog, in its own folder of doc/.
set(rgbhsv_library_packages)
if(TARGET rgbhsv_library)
  list(APPEND rgbhsv_library_packages library:librgbhsv${PROJECT_VERSION_MAJOR} development:librgbhsv-dev)
endif()
if(TARGET rgbhsv_python)
  list(APPEND rgbhsv_library_packages python:python3-rgbhsv)
endif()
foreach(part_package ${rgbhsv_library_packages})
  string(REPLACE ":" ";" part_package "${part_package}")
  list(GET part_package 0 part)
  list(GET part_package 1 package)
  install(FILES "${PROJECT_SOURCE_DIR}/packaging/copyright" "${rgbhsv_generated}/changelog.gz"
          DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}" COMPONENT ${part})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL programs)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME rgbhsv)
set(CPACK_DEBIAN_PROGRAMS_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION utils)
# The window's dialog font, which no library links.
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_DEPENDS "fonts-wine")
# The synopsis, then the extended description.
set(CPACK_DEBIAN_PROGRAMS_DESCRIPTION [=[convert colours between RGB and HSV, exactly
rgbhsv shows one dialog, RGB <-> HSV, in a window of its own on a desktop
and in the terminal elsewhere: edit red, green and blue or hue, saturation
and value (0..255), and the other row and a colour swatch follow at once.
Its conversions are fixed to the last bit of IEEE double arithmetic, so the
same inputs give the same numbers on every machine.
.
hsvconv converts on the command line with the same engine: single colours,
request streams, packed bytes and the full tables of both directions.]=])

set(rgbhsv_library_about [=[
librgbhsv converts every pixel of an image between RGB and HSV (bytes,
hue on a wheel of 256 steps) with the numbers of rgbhsv's dialog, fixed to
the last bit of IEEE double arithmetic: the same on every processor, from
vector code chosen for the processor it runs on.]=])
if(TARGET rgbhsv_library)
  list(APPEND CPACK_COMPONENTS_ALL library development)
  set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME librgbhsv${PROJECT_VERSION_MAJOR})
  set(CPACK_DEBIAN_LIBRARY_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
  # What a program linked to the library depends on (shlibs; CPack's own
  # would look at every shared object, the Python module too), and
  # ldconfig by trigger, without the scripts CPack adds to call it.
  file(WRITE "${rgbhsv_generated}/shlibs"
       "librgbhsv ${PROJECT_VERSION_MAJOR} librgbhsv${PROJECT_VERSION_MAJOR} (>= ${PROJECT_VERSION})\n")
  set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA "${rgbhsv_generated}/shlibs"
      "${PROJECT_SOURCE_DIR}/packaging/librgbhsv/triggers")
  set(CPACK_POST_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/cmake/deb_ldconfig_trigger.cmake")
  set(CPACK_DEBIAN_LIBRARY_DESCRIPTION "exact RGB <-> HSV conversion of whole images\n${rgbhsv_library_about}")
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME librgbhsv-dev)
  set(CPACK_DEBIAN_DEVELOPMENT_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "librgbhsv${PROJECT_VERSION_MAJOR} (= ${PROJECT_VERSION})")
  set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
      "exact RGB <-> HSV conversion of whole images: development files\n${rgbhsv_library_about}
.
This package holds the header rgbhsv.h, the link to the library, rgbhsv.pc
for pkg-config and the CMake package (find_package(rgbhsv CONFIG)).")
endif()
if(TARGET rgbhsv_python)
  list(APPEND CPACK_COMPONENTS_ALL python)
  string(REPLACE "." ";" rgbhsv_python_version "${RGBHSV_PYTHON_VERSION}")
  list(GET rgbhsv_python_version 0 rgbhsv_python_major)
  list(GET rgbhsv_python_version 1 rgbhsv_python_minor)
  math(EXPR rgbhsv_python_next "${rgbhsv_python_minor} + 1")
  set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-rgbhsv)
  set(CPACK_DEBIAN_PYTHON_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
      "python3 (>= ${RGBHSV_PYTHON_VERSION}~), python3 (<< ${rgbhsv_python_major}.${rgbhsv_python_next})")
  set(CPACK_DEBIAN_PYTHON_DESCRIPTION
      "exact RGB <-> HSV conversion of whole images for Python\n${rgbhsv_library_about}
.
This package holds the module rgbhsv: rgb_to_hsv and hsv_to_rgb take numpy
uint8 arrays whose last axis is 3, or bytes.")
endif()
include(CPack)
