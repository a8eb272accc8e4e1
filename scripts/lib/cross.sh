# SPDX-FileCopyrightText: 2026 The Smearwell developers
#
# SPDX-License-Identifier: Zlib

# Building for other processors: Debian systems of another architecture to build against and
# run under qemu-user, GoogleTest built for them, the ARM names, and Debian's Emscripten. Needs
# archive.sh. Sourced, not run.

# Debian's emcc runs its JavaScript tools with node and finds their modules in Debian's folder,
# which another node first on PATH does not look in unless told.
use_debian_emscripten() {
  export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
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
    touch "$dir/.complete"
  fi
  # The package database names each file by where the system lies: made again once it has moved.
  if [ "$(cat "$dir/.complete")" != "$dir" ]; then
    sysroot_package_database "$dir" "$arch"
    echo "$dir" >"$dir/.moved" && mv -f "$dir/.moved" "$dir/.complete"  # a linked copy keeps the original's
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

# Builds Google Benchmark from Debian's source package (fetched once through a private apt
# configuration) for the machine of a CMake toolchain file, once, installed into PREFIX.
# Usage: build_benchmark PREFIX TOOLCHAIN-FILE
build_benchmark() {
  local prefix=$1 toolchain=$2 dir=$PWD/build/benchmark-source
  [ -f "$prefix/lib/libbenchmark.a" ] && return 0
  if [ ! -f "$dir/benchmark/CMakeLists.txt" ]; then
    install_missing_packages dpkg-dev ca-certificates
    rm -rf "$dir" && mkdir -p "$dir/download"
    private_apt "$dir/apt"
    (cd "$dir/download" && apt-get "${PRIVATE_APT[@]}" source --download-only -qq benchmark 2>/dev/null)
    dpkg-source --no-check -x "$dir"/download/benchmark_*.dsc "$dir/benchmark" >/dev/null
  fi
  # Debian's patches take the version from the build, not from git: GIT_VERSION=0.0.0 says so.
  cmake -S "$dir/benchmark" -B "$prefix-benchmark-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBENCHMARK_ENABLE_TESTING=OFF \
    -DBENCHMARK_ENABLE_WERROR=OFF -DGIT_VERSION=0.0.0 >/dev/null
  cmake --build "$prefix-benchmark-build" -j"$(nproc)" >/dev/null
  cmake --install "$prefix-benchmark-build" >/dev/null
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
