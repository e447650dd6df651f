#!/usr/bin/env bash
# Checks the newest Debian packages that `make package` left in build/release, `veltrane` and
# `veltrane-join`: the files each must hold, their dependencies, the desktop entry, the AppStream
# data, lintian's verdict, and a join run from each unpacked tree. The tools come with
# `make package`.
set -euo pipefail
cd "$(dirname "$0")/.."

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
fail() { echo "$*" >&2; exit 1; }

# Unpacks the newest package $1 into $tree/$1 and checks what every package needs.
unpack() {
  deb=$(ls -t build/release/"$1"_*.deb | head -n 1)
  echo "checking $deb"
  dpkg-deb -x "$deb" "$tree/$1"
  lintian --fail-on error "$deb"
  version=$(dpkg-deb -f "$deb" Version)
  zcat "$tree/$1/usr/share/doc/$1/changelog.gz" | head -n 1 | grep -qF "($version)" ||
    fail "packaging/changelog has no entry for $version on top"
  [ -f "$tree/$1/usr/share/doc/$1/copyright" ] || fail "$1 has no copyright file"
}

has_files() {
  for file in "${@:2}"; do
    [ -f "$tree/$1/$file" ] || fail "missing from $1: /$file"
  done
}

unpack veltrane-join
has_files veltrane-join usr/bin/veltrane-join usr/share/man/man1/veltrane-join.1.gz \
  usr/share/locale/{en,zh_CN}/LC_MESSAGES/veltrane.mo
# A headless server installs it alone: nothing of a toolkit or a display.
if dpkg-deb -f "$deb" Depends | grep -Ei 'qt|libx|libgl|veltrane'; then
  fail "veltrane-join must not depend on a toolkit, a display or the window"
fi
for library in libssl3 zlib1g; do
  dpkg-deb -f "$deb" Depends | grep -q "$library" || fail "veltrane-join must depend on $library"
done
join=$tree/veltrane-join/usr/bin/veltrane-join

unpack veltrane
has_files veltrane usr/bin/Veltrane usr/share/man/man1/Veltrane.1.gz \
  usr/share/applications/example.orvik.Veltrane.desktop \
  usr/share/metainfo/example.orvik.Veltrane.metainfo.xml \
  usr/share/icons/hicolor/{48x48,128x128,256x256}/apps/veltrane.png
[ ! -e "$tree/veltrane/usr/bin/veltrane-join" ] || fail "veltrane-join belongs to its own package"
[ "$(dpkg-deb -f "$deb" Recommends)" = veltrane-join ] || fail "veltrane should recommend veltrane-join"
dpkg-deb -f "$deb" Depends | grep -qw qt6-translations-l10n ||
  fail "veltrane should depend on Qt's catalogs, qt6-translations-l10n"
desktop-file-validate "$tree/veltrane/usr/share/applications/example.orvik.Veltrane.desktop"
appstreamcli validate --no-net "$tree"/veltrane/usr/share/metainfo/*.metainfo.xml
if ldd "$tree/veltrane/usr/bin/Veltrane" "$join" | grep 'not found'; then
  fail "the packages' dependencies leave libraries out"
fi
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$tree/veltrane/usr/bin/Veltrane" --version |
  grep -qx "Veltrane ${version%%-*}" || fail "Veltrane --version without a display"

# A small join: a source past one block, an empty one, a passed-over one and a short one.
[ "$("$join" --version)" = "veltrane-join ${version%%-*}" ] || fail "veltrane-join --version"
head -c 1048579 /dev/urandom >"$tree/a"
: >"$tree/empty"
printf 'tail\n' >"$tree/b"
"$join" "$tree/joined" "$tree/a" "$tree/empty" --unchecked "$tree/a" "$tree/b" 2>"$tree/stderr"
[ "$(cat "$tree/stderr")" = "notice: combine end" ]
cat "$tree/a" "$tree/b" | cmp - "$tree/joined"
# The installed catalogs are found beside the program.
[ "$(LC_ALL='' LANGUAGE='' LANG=zh_CN.UTF-8 "$join" 2>&1 | head -n 1)" = "veltrane-join: 缺少操作数" ] ||
  fail "veltrane-join should speak Chinese under zh_CN"
echo "package checks passed"
