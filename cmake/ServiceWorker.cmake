# SPDX-FileCopyrightText: 2026 The Smearwell developers
# SPDX-License-Identifier: Zlib

# Writes the page's service worker with the SHA-256 of each file of the release, run once the
# program is linked: cmake -DTEMPLATE=... -DOUTPUT=... -DVERSION=... -DFILES=name=path;... -P this.
set(PROJECT_VERSION ${VERSION})
set(SMEARWELL_DIGESTS "")
foreach(entry IN LISTS FILES)
  string(REGEX REPLACE "=.*" "" name "${entry}")
  string(REGEX REPLACE "^[^=]*=" "" path "${entry}")
  file(SHA256 "${path}" digest)
  string(APPEND SMEARWELL_DIGESTS "  '${name}': '${digest}',\n")
endforeach()
string(REGEX REPLACE ",\n$" "" SMEARWELL_DIGESTS "${SMEARWELL_DIGESTS}")
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
