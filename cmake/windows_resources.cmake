# Windows only: the manifests and the version header that the programs'
# resource scripts (resources/windows/) include, made from the project's
# one version number. RGBHSV_WINDOWS_RC_INCLUDES names where the scripts
# find everything they include.
set(RGBHSV_WINDOWS_GENERATED "${CMAKE_BINARY_DIR}/windows-resources")
set(RGBHSV_VERSION_QUAD "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
file(READ "${PROJECT_SOURCE_DIR}/resources/windows/manifest_common.xml" RGBHSV_MANIFEST_COMMON)
string(STRIP "${RGBHSV_MANIFEST_COMMON}" RGBHSV_MANIFEST_COMMON)
set(RGBHSV_MANIFEST_COMMON "  ${RGBHSV_MANIFEST_COMMON}")
foreach(file rgbhsv.exe.manifest hsvconv.exe.manifest rgbhsv_version.h)
  configure_file("${PROJECT_SOURCE_DIR}/resources/windows/${file}.in" "${RGBHSV_WINDOWS_GENERATED}/${file}" @ONLY)
endforeach()
set(RGBHSV_WINDOWS_RC_INCLUDES "${PROJECT_SOURCE_DIR}/resources" "${PROJECT_SOURCE_DIR}/resources/windows"
    "${RGBHSV_WINDOWS_GENERATED}")
