# SPDX-FileCopyrightText: 2026 The Smearwell developers
#
# SPDX-License-Identifier: Zlib

# The Debian packages the scripts need, and installing those that are missing. Sourced, not run.

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

# What the web tests and measurements drive: three browser engines and their WebDriver servers
# (Firefox speaks WebDriver BiDi to puppeteer-core, from npm: install_web_node_modules).
WEB_TEST_PACKAGES=(emscripten chromium chromium-driver python3-selenium xvfb webkit2gtk-driver firefox-esr)

# The npm packages of tests/web/package-lock.json, installed with `npm ci` into build/web-node
# (never a browser: PUPPETEER_SKIP_DOWNLOAD); nothing is fetched while the installed lock file
# matches the committed one. npm comes with the machine's Node.js, or else from Debian.
install_web_node_modules() {
  local folder=build/web-node
  command -v npm >/dev/null || install_missing_packages npm
  if cmp -s tests/web/package-lock.json "$folder/package-lock.json" && [ -d "$folder/node_modules" ]; then
    return 0
  fi
  rm -rf "$folder" && mkdir -p "$folder"
  cp tests/web/package.json tests/web/package-lock.json "$folder/"
  (cd "$folder" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
}

BUILD_PACKAGES=(g++ cmake make pkg-config "$(sdl_package)")
TEST_PACKAGES=(libgtest-dev googletest libbenchmark-dev xvfb libx11-dev libxtst-dev zlib1g-dev clang libclang-rt-14-dev
               desktop-file-utils man-db groff-base file dpkg-dev
               lintian appstream reuse devscripts g++-11 twm gdb procps)
