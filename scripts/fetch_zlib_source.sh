#!/usr/bin/env bash
# Fetches the distribution's zlib source package into build/zlib-source, so
# that the benchmark builds inflate with the same flags as our decoder. The
# source lines are the machine's own binary package sources, read as source
# package sources through a private apt state; the system's apt setup is left
# as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
target=build/zlib-source
ls "$target"/zlib-*/inflate.c >/dev/null 2>&1 && exit 0
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
rm -rf "$target" && mkdir -p "$target"
# The release's own version: update archives do not always keep the source.
(cd "$target" && apt-get -qq "${apt_private[@]}" source "zlib/$VERSION_CODENAME" >/dev/null)
ls "$target"/zlib-*/inflate.c >/dev/null
