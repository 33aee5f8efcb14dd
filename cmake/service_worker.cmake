# Writes the page's service worker from its template, its cache named by
# the project version and a digest of the page and its parts, so that every
# build that changes them is a new worker.
# usage: cmake -DTEMPLATE=... -DOUTPUT=... -DVERSION=... -DPARTS="a;b;..." -P service_worker.cmake
set(all "")
foreach(part IN LISTS PARTS)
  file(SHA256 "${part}" digest)
  string(APPEND all "${digest}")
endforeach()
string(SHA256 digest "${all}")
string(SUBSTRING "${digest}" 0 12 BUILD_DIGEST)
set(PROJECT_VERSION "${VERSION}")
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
