# Run by CPack after it has made the .debs: CPack 3.25 writes postinst and
# postrm scripts that call ldconfig into any package with a shared library
# in /usr/lib, where Debian now runs ldconfig by trigger (the library
# package's triggers file). This takes those scripts out of the library's
# package again; its files and control fields stay as CPack made them.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name "${deb}" NAME)
  if(NOT name MATCHES "^librgbhsv[0-9]+_")
    continue()
  endif()
  set(tree "${deb}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb -R "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE "${tree}/DEBIAN/postinst" "${tree}/DEBIAN/postrm")
  execute_process(COMMAND dpkg-deb --root-owner-group -b "${tree}" "${deb}" OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
