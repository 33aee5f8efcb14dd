# Installation and packages. On Linux: the two programs, their manual pages,
# the desktop entry and the icon in the hicolor theme, README and LICENSE,
# honouring CMAKE_INSTALL_PREFIX and DESTDIR; CPack's DEB generator makes the
# .deb from that. On Windows: both .exe files with README and LICENSE, zipped
# by CPack's ZIP generator. `make package` puts both in build/packages/.
if(EMSCRIPTEN)
  return()  # the page is one file in build/web/, nothing to install
endif()
set(CPACK_PACKAGE_NAME rgbhsv)
set(CPACK_PACKAGE_VENDOR "the rgbhsv developers")
set(CPACK_PACKAGE_CONTACT "The rgbhsv developers <rgbhsv@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert colours between RGB and HSV, exactly")
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

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's dialog font, which no library links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine")
# The synopsis is the summary above; this is the extended description.
set(CPACK_PACKAGE_DESCRIPTION [=[
rgbhsv shows one dialog, RGB <-> HSV, in a window of its own on a desktop
and in the terminal elsewhere: edit red, green and blue or hue, saturation
and value (0..255), and the other row and a colour swatch follow at once. Its conversions are fixed to the last bit of IEEE
double arithmetic, so the same inputs give the same numbers on every machine.

hsvconv converts on the command line with the same engine: single colours,
request streams and the full tables of both directions.]=])
# The programs only: librgbhsv and its development files are installed by
# `cmake --install`, and are not yet split into packages of their own.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};Unspecified;/")
include(CPack)
