# SPDX-FileCopyrightText: 2026 The Smearwell developers
#
# SPDX-License-Identifier: Zlib

# The release artifacts: the amd64 packages and the source tarball made from a build folder, and
# every artifact gathered in one folder with its SHA-256 sum. Sourced, not run.

RELEASE_KINDS=(amd64 source windows arm64 armhf web)
RELEASE_DIR=build/release-files

# The Debian package and its -dbgsym package, made by CPack in BUILD-FOLDER with umask 022, as
# dpkg-buildpackage does (it gives the packages' folders their modes).
debian_packages() {
  (cd "$1" && rm -f smearwell*.deb smearwell*.ddeb && umask 022 && cpack -G DEB >/dev/null)
}

# The source tarball, made by CPack from the tree BUILD-FOLDER was configured from.
source_tarball() {
  (cd "$1" && rm -f smearwell-*.tar.gz && cpack --config CPackSourceConfig.cmake >/dev/null)
}

# The files of one kind of artifact: amd64's and the tarball in AMD64-FOLDER, the others where
# ./scripts/windows, ./scripts/arm and ./scripts/web leave them. Usage: release_files KIND AMD64-FOLDER
release_files() {
  local kind=$1 amd64=$2
  case $kind in
    amd64) ls "$amd64"/smearwell_*_amd64.deb "$amd64"/smearwell-dbgsym_*_amd64.ddeb ;;
    source) ls "$amd64"/smearwell-*.tar.gz ;;
    windows) ls build/windows/smearwell-*-windows-x64.zip build/windows/smearwell-*-windows-x64.exe ;;
    arm64 | armhf) ls "build/$kind"/smearwell_*_"$kind".deb "build/$kind"/smearwell-dbgsym_*_"$kind".ddeb ;;
    web) ls build/web-build/smearwell-*-web.zip ;;
    *) echo "not a kind of release artifact: $kind" >&2; return 1 ;;
  esac
}

# Copies the artifacts of each KIND into build/release-files, beside their SHA256SUMS.
# Usage: gather_release AMD64-FOLDER KIND...
gather_release() {
  local amd64=$1 kind files && shift
  rm -rf "$RELEASE_DIR" && mkdir -p "$RELEASE_DIR"
  for kind in "$@"; do
    files=$(release_files "$kind" "$amd64")
    cp $files "$RELEASE_DIR/"
  done
  (cd "$RELEASE_DIR" && sha256sum -- * >SHA256SUMS)
  echo "$RELEASE_DIR/SHA256SUMS:" && cat "$RELEASE_DIR/SHA256SUMS"
}
