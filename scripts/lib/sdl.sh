# SPDX-FileCopyrightText: 2026 The Smearwell developers
#
# SPDX-License-Identifier: Zlib

# Classic SDL 1.2.15: its Debian packages unpacked privately, its source, and builds of it for
# other machines. Needs packages.sh and archive.sh. Sourced, not run.

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

# SDL 1.2.15 with only what software surfaces need: video with the dummy driver, static.
MINIMAL_SDL_OPTIONS=(--disable-shared --enable-static --disable-audio --disable-joystick --disable-cdrom
  --disable-threads --disable-loadso --disable-video-x11 --disable-video-fbcon --disable-video-directfb
  --disable-video-caca --disable-video-aalib --disable-video-ggi --disable-video-svga --disable-video-dga
  --disable-video-opengl --disable-video-ps3 --disable-input-tslib --disable-pulseaudio --disable-esd
  --disable-arts --disable-nas --disable-alsa --disable-nasm --disable-assembly)

# Builds classic SDL 1.2.15 from Debian's source into PREFIX (an absolute path), once for the same
# options. Usage: build_sdl PREFIX CONFIGURE-OPTION...; CC, CFLAGS and LDFLAGS pass through to
# configure.
build_sdl() {
  local prefix=$1 source options && shift
  options="CC=${CC-} CFLAGS=${CFLAGS-} LDFLAGS=${LDFLAGS-} $*"
  [ -f "$prefix/lib/pkgconfig/sdl.pc" ] && [ "$(cat "$prefix/.options" 2>/dev/null)" = "$options" ] && return 0
  source=$(sdl_source)
  rm -rf "$prefix" "$prefix-build" && mkdir -p "$prefix-build"
  (cd "$prefix-build" && "$source/configure" --prefix="$prefix" "$@" >configure.log 2>&1 &&
    make -j"$(nproc)" >make.log 2>&1 && make install >install.log 2>&1) ||
    { echo "building SDL 1.2.15 failed; see $prefix-build" >&2; return 1; }
  echo "$options" >"$prefix/.options"
}
