# SPDX-FileCopyrightText: 2026 The Smearwell developers
#
# SPDX-License-Identifier: Zlib

# The machine's own Debian archive, read from its apt configuration, and private apt
# configurations for fetching from it without touching the machine's. Sourced, not run.

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
