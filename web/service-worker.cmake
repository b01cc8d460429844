# Writes the page's service worker from its template: the list of the files it keeps and a
# digest of their bytes as its cache's name.
# cmake -DSITE=<web folder> -DTEMPLATE=<vtq-sw.js> -DFILES=<a|b|c> -P service-worker.cmake
string(REPLACE "|" ";" FILES "${FILES}")
set(digests "")
foreach(file IN LISTS FILES)
  file(SHA256 "${SITE}/${file}" digest)
  string(APPEND digests "${digest}")
endforeach()
string(SHA256 VERSION "${digests}")
string(SUBSTRING "${VERSION}" 0 16 VERSION)
list(JOIN FILES "', '" FILE_LIST)
configure_file("${TEMPLATE}" "${SITE}/vtq-sw.js" @ONLY)
