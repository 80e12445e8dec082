#!/usr/bin/env bash
# Fetches and unpacks a Debian source package into a cache folder, from the
# machine's own apt entries turned into deb-src entries in a private list, so
# that no mirror is named here and the system's apt state is left as it is.
#   scripts/fetch-debian-source.sh PACKAGE CACHE_DIR
# Prints the unpacked source folder. Repeated calls reuse the cache.
set -euo pipefail

package=$1
cache=$(mkdir -p "$2" && cd "$2" && pwd)
unpacked=$(find "$cache" -mindepth 1 -maxdepth 1 -type d -name "$package-*" | sort | tail -n 1)
if [ -n "$unpacked" ]; then
  echo "$unpacked"
  exit 0
fi

command -v dpkg-source >/dev/null || {
  echo "fetch-debian-source: dpkg-source is missing (package dpkg-dev)" >&2
  exit 1
}

apt_dir="$cache/apt"
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial"
: > "$apt_dir/sources.list"
shopt -s nullglob
for source in /etc/apt/sources.list.d/*.sources; do
  sed -E 's/^Types:.*/Types: deb-src/' "$source" > "$apt_dir/sources.list.d/$(basename "$source")"
done
for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$list" ] || continue
  sed -nE 's/^deb[[:space:]]/deb-src /p' "$list" >> "$apt_dir/sources.list"
done

apt_options=(
  -o "Dir::Etc::SourceList=$apt_dir/sources.list"
  -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Debug::NoLocking=1"
)
apt-get "${apt_options[@]}" -qq update >&2
(cd "$cache" && apt-get "${apt_options[@]}" -qq source --download-only "$package" >&2)
dsc=$(find "$cache" -maxdepth 1 -name "${package}_*.dsc" | sort | tail -n 1)
(cd "$cache" && dpkg-source --no-check -x "$dsc" >&2)
find "$cache" -mindepth 1 -maxdepth 1 -type d -name "$package-*" | sort | tail -n 1
