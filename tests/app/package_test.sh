#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds the Debian package the README's way (scripts/build package) in a
# Release folder of its own, checks its control data and contents, runs
# lintian on it (errors fail, warnings are listed), and unpacks it into a
# temporary root to run both programs from there.
# Run: package_test.sh <source folder> <work folder, absolute>
set -euo pipefail
source_dir=$1
work=$2
mkdir -p "$work"
rm -f "$work"/build/calvex_*.deb
if ! bash "$source_dir/scripts/build" package "$work/build" >"$work/build.log" 2>&1; then
  tail -40 "$work/build.log"
  exit 1
fi
debs=("$work"/build/calvex_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "no single package: ${debs[*]}"; exit 1; }
deb=${debs[0]}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

info=$(dpkg-deb --info "$deb")
echo "$info"
for field in "Package: calvex" "Version: 1.2" "Section: video" "Priority: optional" \
  "Maintainer: The Calvex developers <maintainers@calvex.example>" \
  "Homepage: https://www.calvex.example/" "Description: recompress video files into AVI files"; do
  grep -qxF " $field" <<<"$info" || fail "control lacks \"$field\""
done
# dpkg-shlibdeps found the libraries the programs link.
depends=$(sed -n 's/^ Depends: //p' <<<"$info")
for library in "libc6 (>=" libavcodec libavformat libwxgtk3.2 libglib2.0-0; do
  grep -qF "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
id=example.calvex.calvex
for path in usr/bin/calvex usr/bin/calvex-convert usr/share/applications/$id.desktop \
  usr/share/metainfo/$id.metainfo.xml usr/share/icons/hicolor/256x256/apps/$id.png \
  usr/share/icons/hicolor/16x16/apps/$id.png usr/share/dbus-1/interfaces/Calvex.ICalvex.xml \
  usr/share/dbus-1/services/Calvex.Application.service usr/share/man/man1/calvex.1.gz \
  usr/share/man/man1/calvex-convert.1.gz usr/share/doc/calvex/copyright; do
  grep -qxF "./$path" <<<"$contents" || fail "the package lacks /$path"
done

echo "--- lintian"
lintian --fail-on error --display-info "$deb" || fail "lintian found errors"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
version=$("$root/usr/bin/calvex-convert" --version) || fail "calvex-convert --version failed"
[ "$version" = "calvex-convert 1.2" ] || fail "calvex-convert --version said \"$version\""
# --help needs no display and writes no registration.
mkdir "$root/data"
usage=$(env -u DISPLAY XDG_DATA_HOME="$root/data" "$root/usr/bin/calvex" --help) ||
  fail "calvex --help failed"
grep -q "^Usage: calvex " <<<"$usage" || fail "calvex --help printed: $usage"
[ -z "$(ls -A "$root/data")" ] || fail "calvex --help wrote into \$XDG_DATA_HOME"
grep -qxF "Exec=/usr/bin/calvex /Automation" \
  "$root/usr/share/dbus-1/services/Calvex.Application.service" ||
  fail "the service file does not start /usr/bin/calvex /Automation"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop-file-validate"

[ $failures -eq 0 ] && echo "package test: $(basename "$deb") passed"
exit $((failures > 0))
