#!/usr/bin/env bash
# Fetches the distribution's source packages that the build compiles itself
# into build/<name>-source: zlib's, so that the benchmark builds inflate with
# the same flags as our decoder, and xz's, whose liblzma the Windows
# brindle-pack links. The source lines are the machine's own binary package
# sources, read as source package sources through a private apt state; the
# system's apt setup is left as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
# source package, folder, a file that shows it is there
wanted=("zlib build/zlib-source zlib-*/inflate.c" "xz-utils build/xz-source xz-utils-*/src/liblzma/api/lzma.h")
missing=()
for item in "${wanted[@]}"; do
  read -r package target check <<<"$item"
  # shellcheck disable=SC2086
  ls "$target"/$check >/dev/null 2>&1 || missing+=("$item")
done
[ ${#missing[@]} -eq 0 ] && exit 0
. /etc/os-release
state=$(mktemp -d)
trap 'rm -rf "$state"' EXIT
mkdir -p "$state/sources.list.d" "$state/lists/partial"
for file in /etc/apt/sources.list.d/*.sources; do
  [ -e "$file" ] && sed 's/^Types:.*/Types: deb-src/' "$file" >"$state/sources.list.d/$(basename "$file")"
done
if [ -e /etc/apt/sources.list ]; then
  sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$state/sources.list.d/system.list"
fi
apt_private=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$state/sources.list.d"
             -o "Dir::State::Lists=$state/lists")
apt-get -qq "${apt_private[@]}" update
for item in "${missing[@]}"; do
  read -r package target check <<<"$item"
  rm -rf "$target" && mkdir -p "$target"
  # The release's own version: update archives do not always keep the source.
  (cd "$target" && apt-get -qq "${apt_private[@]}" source "$package/$VERSION_CODENAME" >/dev/null)
  # shellcheck disable=SC2086
  ls "$target"/$check >/dev/null
done
