# SPDX-FileCopyrightText: 2026 The Smearwell developers
#
# SPDX-License-Identifier: Zlib

# Building for Windows and running the result under Wine. Sourced, not run.

# Building for Windows and running the result under Wine.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix googletest wine wine64 nsis librsvg2-bin icoutils make dpkg-dev ca-certificates)

# One Wine session (the wineserver and the services it starts) kept alive from before the first
# test to the last, so that test processes join it. Otherwise the server ends its session as soon
# as its last process exits, and with tests run in parallel, each new process starts a session of
# its own, two at once now and then, with the services of the new session starting under the
# first tests: that is what made the first tests on a fresh prefix take 10 to 20 s. Started without
# a display: the services need none.
start_wine_session() {
  wineserver -p
  DISPLAY= wine cmd /c exit >/dev/null 2>&1
}
end_wine_session() {
  wineserver -k 2>/dev/null || true
  wineserver --wait
}

# A 64-bit Wine prefix of the project's own in build/wine-prefix, made once (wineboot) and reused;
# exported for everything run after it. No Mono or Gecko: nothing here needs them.
use_wine_prefix() {
  export WINEPREFIX=$PWD/build/wine-prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    DISPLAY= wineboot --init >/dev/null 2>&1
    wineserver --wait
  fi
}
