# SPDX-FileCopyrightText: 2026 The Smearwell developers
#
# SPDX-License-Identifier: Zlib

# Shared by ./scripts/run and ./scripts/test: installing the Debian packages that are missing.
# Sourced, not run.

# Installs those of the given Debian packages that are not installed yet; does nothing (and needs
# no network) when all are there. Uses sudo when not run as root.
install_missing_packages() {
  local missing=() package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Runs a command as root: directly when root already, else through sudo.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    echo "Needs root for: $* (run as root or install sudo)" >&2
    return 1
  fi
}

# SDL 1.2 headers: sdl12-compat by default, or classic SDL 1.2 when that is what the machine has
# (the two packages conflict, so never replace one by the other).
sdl_package() {
  if dpkg-query -W -f='${Status}' libsdl1.2-dev 2>/dev/null | grep -q 'install ok installed'; then
    echo libsdl1.2-dev
  else
    echo libsdl1.2-compat-dev
  fi
}

BUILD_PACKAGES=(g++ cmake make pkg-config "$(sdl_package)")
TEST_PACKAGES=(libgtest-dev googletest libbenchmark-dev xvfb libx11-dev libxtst-dev zlib1g-dev clang libclang-rt-14-dev
               desktop-file-utils man-db groff-base file dpkg-dev
               lintian appstream reuse devscripts g++-11 twm)
# Classic SDL 1.2.15 conflicts with sdl12-compat, so it is never installed: its two packages are
# unpacked into the build folder (once), with a pkg-config file pointing there. Prints the folder
# to give PKG_CONFIG_PATH.
CLASSIC_SDL_DIR=$PWD/build/classic-sdl
CLASSIC_SDL_RUNTIME=(libasound2 libcaca0 libpulse0 libx11-6 libxext6)
prepare_classic_sdl() {
  local dir=$CLASSIC_SDL_DIR
  if [ ! -f "$dir/pkgconfig/sdl.pc" ]; then
    install_missing_packages "${CLASSIC_SDL_RUNTIME[@]}" >&2
    rm -rf "$dir" && mkdir -p "$dir/debs" "$dir/pkgconfig"
    (cd "$dir/debs" && { apt-get download libsdl1.2debian libsdl1.2-dev 2>/dev/null ||
      { as_root apt-get update -qq && apt-get download libsdl1.2debian libsdl1.2-dev; }; }) >&2
    local deb
    for deb in "$dir"/debs/*.deb; do dpkg -x "$deb" "$dir/root"; done
    sed "s|^prefix=.*|prefix=$dir/root/usr|" "$dir/root/usr/lib/x86_64-linux-gnu/pkgconfig/sdl.pc" \
      > "$dir/pkgconfig/sdl.pc"
  fi
  echo "$dir/pkgconfig"
}

# The machine's own Debian archive, as its apt configuration names it: the first source that
# carries the release itself (deb822 files in sources.list.d, then sources.list). Prints
# "URI SUITE KEYRING"; the keyring is the source's Signed-By, or Debian's archive keyring. No
# archive host is written anywhere in the project: a mirror or proxy the machine uses is used here.
debian_archive() {
  local codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  local found
  found=$(awk -v codename="$codename" '
    function flush() {
      if (types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " codename " ") && uri != "") {
        print uri, codename, (signed != "" ? signed : "-"); exit
      }
      types = suites = uri = signed = ""
    }
    /^[[:space:]]*$/ { flush(); next }
    /^Types:/ { types = $0; sub(/^Types:[[:space:]]*/, "", types) }
    /^URIs:/ { uri = $2 }
    /^Suites:/ { suites = $0; sub(/^Suites:[[:space:]]*/, "", suites) }
    /^Signed-By:/ && $2 ~ /^\// { signed = $2 }
    END { flush() }' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
  if [ -z "$found" ] && [ -f /etc/apt/sources.list ]; then
    found=$(sed -E 's/\[[^]]*\]//' /etc/apt/sources.list |
      awk -v codename="$codename" '$1 == "deb" && $3 == codename { print $2, codename, "-"; exit }')
  fi
  [ -n "$found" ] || { echo "no Debian archive for '$codename' in this machine's apt configuration" >&2; return 1; }
  local uri suite keyring
  read -r uri suite keyring <<<"$found"
  [ "$keyring" != - ] || keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  echo "$uri $suite $keyring"
}

# One line of a private sources list for the machine's Debian archive. Usage: debian_archive_line
# TYPE [ARCHITECTURE], where TYPE is deb or deb-src.
debian_archive_line() {
  local uri suite keyring options
  read -r uri suite keyring < <(debian_archive)
  options="signed-by=$keyring${2:+ arch=$2}"
  echo "$1 [$options] $uri $suite main"
}

# The hosts of every archive the machine's apt configuration names: none may appear in the project.
apt_archive_hosts() {
  { grep -hE '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | sed -E 's/^URIs:[[:space:]]*//' | tr ' ' '\n'
    grep -hE '^deb(-src)?[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      sed -E 's/\[[^]]*\]//' | awk '{ print $2 }'; } |
    sed -nE 's|^[a-z+]+://([^/:]+).*|\1|p' | sort -u
}

# A private apt configuration in DIR, so the machine's apt setup is never touched: its own sources
# list (the machine's archive, binary and source packages), lists, cache and status file (empty:
# nothing counts as installed, so a download brings every dependency). With ARCHITECTURE, binary
# packages are that architecture's. Sets the array PRIVATE_APT to the options that select it, and
# reads the archive's lists once. Usage: private_apt DIR [ARCHITECTURE]
private_apt() {
  local dir arch=${2:-}
  dir=$(realpath -m "$1")  # apt reads relative paths as inside its own folders
  mkdir -p "$dir/lists/partial" "$dir/cache/archives/partial"
  [ -f "$dir/status" ] || : >"$dir/status"
  { debian_archive_line deb "$arch"; debian_archive_line deb-src; } >"$dir/sources.list"
  PRIVATE_APT=(-o "Dir::Etc::SourceList=$dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
               -o "Dir::State::Lists=$dir/lists" -o "Dir::Cache=$dir/cache" -o "Dir::State::status=$dir/status"
               -o Debug::NoLocking=1)
  [ -z "$arch" ] || PRIVATE_APT+=(-o "APT::Architecture=$arch" -o "APT::Architectures=$arch")
  if [ ! -f "$dir/updated" ]; then
    apt-get "${PRIVATE_APT[@]}" update -qq >&2 && touch "$dir/updated"
  fi
}

# Classic SDL 1.2.15's source, from Debian's source package with Debian's patches applied: fetched
# and unpacked once into the build folder through a private apt configuration. Prints the source
# folder.
SDL_SOURCE_DIR=$PWD/build/sdl-source
sdl_source() {
  local dir=$SDL_SOURCE_DIR
  if [ ! -f "$dir/SDL-1.2.15/configure" ]; then
    install_missing_packages dpkg-dev ca-certificates >&2
    rm -rf "$dir" && mkdir -p "$dir/download"
    private_apt "$dir/apt"
    (cd "$dir/download" && apt-get "${PRIVATE_APT[@]}" source --download-only -qq libsdl1.2 2>/dev/null) >&2
    # apt checked the files against the signed archive index; the uploader key is not on the machine.
    dpkg-source --no-check -x "$dir"/download/libsdl1.2_*.dsc "$dir/SDL-1.2.15" >/dev/null
  fi
  echo "$dir/SDL-1.2.15"
}

# A Debian system of ARCHITECTURE in build/sysroot-ARCHITECTURE, for cross-building and for running
# what was built under qemu-user: the packages named and everything they depend on, fetched once
# through a private apt configuration and unpacked (dpkg -x; nothing is configured or run).
# Usage: debian_sysroot ARCHITECTURE PACKAGE...; prints the folder.
debian_sysroot() {
  local arch=$1 && shift
  local dir=$PWD/build/sysroot-$arch
  if [ ! -f "$dir/.complete" ]; then
    rm -rf "$dir" && mkdir -p "$dir/root"
    private_apt "$dir/apt" "$arch"
    apt-get "${PRIVATE_APT[@]}" install --download-only -y -qq --no-install-recommends "$@" >&2
    local deb
    for deb in "$dir"/apt/cache/archives/*.deb; do dpkg -x "$deb" "$dir/root"; done
    sysroot_package_database "$dir" "$arch"
    touch "$dir/.complete"
  fi
  echo "$dir/root"
}

# A dpkg database in DIR/dpkg of the packages unpacked in DIR/root, with each file at the path it
# has here, so that dpkg-shlibdeps (DPKG_ADMINDIR=DIR/dpkg) finds which package holds a library of
# the unpacked system and computes dependencies from that package's own symbols and shlibs files.
sysroot_package_database() {
  local dir=$1 arch=$2 db=$1/dpkg deb
  rm -rf "$db" && mkdir -p "$db/info" "$db/updates" "$dir/control"
  printf '%s\n%s\n' "$(dpkg --print-architecture)" "$arch" >"$db/arch"
  echo 1 >"$db/info/format"  # the multiarch layout: info files of Multi-Arch: same packages are PACKAGE:ARCH.*
  : >"$db/status"
  for deb in "$dir"/apt/cache/archives/*.deb; do
    local name
    name=$(dpkg-deb -f "$deb" Package)
    [ "$(dpkg-deb -f "$deb" Multi-Arch)" != same ] || name=$name:$arch
    { dpkg-deb -f "$deb"; echo "Status: install ok installed"; echo; } >>"$db/status"
    dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -e "s|^\./|$dir/root/|" -e 's|/$||' >"$db/info/$name.list"
    rm -rf "$dir/control" && mkdir "$dir/control" && dpkg-deb -e "$deb" "$dir/control"
    local kind
    for kind in symbols shlibs; do
      [ ! -f "$dir/control/$kind" ] || cp "$dir/control/$kind" "$db/info/$name.$kind"
    done
  done
  rm -rf "$dir/control"
}

# SDL 1.2.15 with only what software surfaces need: video with the dummy driver, static.
MINIMAL_SDL_OPTIONS=(--disable-shared --enable-static --disable-audio --disable-joystick --disable-cdrom
  --disable-threads --disable-loadso --disable-video-x11 --disable-video-fbcon --disable-video-directfb
  --disable-video-caca --disable-video-aalib --disable-video-ggi --disable-video-svga --disable-video-dga
  --disable-video-opengl --disable-video-ps3 --disable-input-tslib --disable-pulseaudio --disable-esd
  --disable-arts --disable-nas --disable-alsa --disable-nasm --disable-assembly)

# Builds classic SDL 1.2.15 from Debian's source once, installed into PREFIX (an absolute path).
# Usage: build_sdl PREFIX CONFIGURE-OPTION...; CC, CFLAGS and LDFLAGS pass through to configure.
build_sdl() {
  local prefix=$1 source && shift
  [ -f "$prefix/lib/pkgconfig/sdl.pc" ] && return 0
  source=$(sdl_source)
  rm -rf "$prefix" "$prefix-build" && mkdir -p "$prefix-build"
  (cd "$prefix-build" && "$source/configure" --prefix="$prefix" "$@" >configure.log 2>&1 &&
    make -j"$(nproc)" >make.log 2>&1 && make install >install.log 2>&1) ||
    { echo "building SDL 1.2.15 failed; see $prefix-build" >&2; return 1; }
}

# Builds GoogleTest from Debian's own source (libgtest-dev ships it) for the machine of a CMake
# toolchain file, once, installed into PREFIX. Usage: build_gtest PREFIX TOOLCHAIN-FILE
build_gtest() {
  local prefix=$1 toolchain=$2
  [ -f "$prefix/lib/libgtest.a" ] && return 0
  cmake -S /usr/src/googletest -B "$prefix-gtest-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF >/dev/null
  cmake --build "$prefix-gtest-build" -j"$(nproc)" >/dev/null
  cmake --install "$prefix-gtest-build" >/dev/null
}

# Building for ARM (./scripts/arm) and running the result under qemu-user.
ARM_PACKAGES=(g++-aarch64-linux-gnu g++-arm-linux-gnueabihf qemu-user googletest dpkg-dev ca-certificates)

# The GNU triplet of a Debian ARM architecture, which names its toolchain file and library folders.
arm_triplet() {
  case $1 in
    arm64) echo aarch64-linux-gnu ;;
    armhf) echo arm-linux-gnueabihf ;;
    *) echo "not an ARM architecture this project builds for: $1" >&2; return 1 ;;
  esac
}

# The qemu-user program that runs a Debian ARM architecture's programs.
arm_qemu() {
  case $1 in
    arm64) echo qemu-aarch64 ;;
    armhf) echo qemu-arm ;;
  esac
}

# Building for Windows and running the result under Wine.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix googletest wine wine64 nsis librsvg2-bin icoutils make dpkg-dev ca-certificates)

# One Wine session (the wineserver and the services it starts) kept alive from before the first
# test to the last, so that test processes join it. Otherwise the server ends its session as soon
# as its last process exits, and with tests run in parallel, each new process starts a session of
# its own, two at once now and then, with the services of the new session starting under the
# first tests: that is what made the first tests on a fresh prefix take 10 to 20 s, and now and
# then die without a word. Started without a display: the services need none.
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
