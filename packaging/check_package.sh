#!/usr/bin/env bash
# Checks the newest Debian package that `make package` left in build/release: the files it must
# hold, its desktop entry, its AppStream data, lintian's verdict, and a join run from the
# unpacked tree. The tools come with `make package`.
set -euo pipefail
cd "$(dirname "$0")/.."

deb=$(ls -t build/release/veltrane_*.deb | head -n 1)
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
echo "checking $deb"

for file in usr/bin/Veltrane usr/bin/veltrane-join \
  usr/share/man/man1/Veltrane.1.gz usr/share/man/man1/veltrane-join.1.gz \
  usr/share/applications/veltrane.desktop usr/share/metainfo/example.orvik.Veltrane.metainfo.xml \
  usr/share/icons/hicolor/{48x48,128x128,256x256}/apps/veltrane.png \
  usr/share/doc/veltrane/copyright usr/share/doc/veltrane/changelog.gz; do
  [ -f "$tree/$file" ] || { echo "missing from the package: /$file" >&2; exit 1; }
done

version=$(dpkg-deb -f "$deb" Version)
zcat "$tree/usr/share/doc/veltrane/changelog.gz" | head -n 1 | grep -qF "($version)" ||
  { echo "packaging/changelog has no entry for $version on top" >&2; exit 1; }

desktop-file-validate "$tree/usr/share/applications/veltrane.desktop"
appstreamcli validate --no-net "$tree"/usr/share/metainfo/*.metainfo.xml
lintian --fail-on error "$deb"

if ldd "$tree/usr/bin/Veltrane" "$tree/usr/bin/veltrane-join" | grep 'not found'; then
  echo "the package's dependencies leave libraries out" >&2
  exit 1
fi

# A small join: a source past one block, an empty one, a passed-over one and a short one.
join=$tree/usr/bin/veltrane-join
[ "$("$join" --version)" = "veltrane-join ${version%%-*}" ] || { echo "veltrane-join --version" >&2; exit 1; }
head -c 1048579 /dev/urandom >"$tree/a"
: >"$tree/empty"
printf 'tail\n' >"$tree/b"
"$join" "$tree/joined" "$tree/a" "$tree/empty" --unchecked "$tree/a" "$tree/b" 2>"$tree/stderr"
[ "$(cat "$tree/stderr")" = "notice: combine end" ]
cat "$tree/a" "$tree/b" | cmp - "$tree/joined"
echo "package checks passed"
