#!/usr/bin/env bash
# Checks a Debian package made by scripts/package: unpacks it into a
# temporary folder and checks that every file an installed copy needs is
# there and sound, and that Depends names the Qt libraries.
# Usage: check_package.sh path/to/domquire_*.deb
set -euo pipefail

deb=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

failures=0
fail() {
    echo "check_package: $*" >&2
    failures=$((failures + 1))
}

# The output of file(1) for each path must match its pattern.
expect_type() {
    local path=$1 pattern=$2
    if [ ! -f "$root/$path" ]; then
        fail "missing $path"
    elif ! file -b "$root/$path" | grep -Eq "$pattern"; then
        fail "$path is $(file -b "$root/$path"), expected $pattern"
    fi
}

expect_type usr/bin/domquire 'ELF 64-bit LSB .*executable.*stripped'
[ -x "$root/usr/bin/domquire" ] || fail "usr/bin/domquire is not executable"
for size in 16 32 48 64; do
    expect_type "usr/share/icons/hicolor/${size}x${size}/apps/domquire.png" \
        "PNG image data, $size x $size,"
done
expect_type usr/share/icons/hicolor/scalable/apps/domquire.svg 'SVG'
expect_type usr/share/applications/domquire.desktop 'text'
expect_type usr/share/metainfo/jp.example.domquire.metainfo.xml 'XML'
expect_type usr/share/doc/domquire/README.md 'text'
man_page=usr/share/man/man1/domquire.1.gz
expect_type "$man_page" 'gzip compressed'
if [ -f "$root/$man_page" ]; then
    warnings=$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l -Tutf8 -Z "$root/$man_page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "domquire.1 gives warnings: $warnings"
fi
expect_type usr/share/doc/domquire/guide/ja.md 'text'
# Every image the guide names is installed beside it.
for image in $(grep -o '([a-z-]*\.png)' "$root/usr/share/doc/domquire/guide/ja.md" | tr -d '()'); do
    expect_type "usr/share/doc/domquire/guide/$image" 'PNG image data'
done

desktop-file-validate "$root/usr/share/applications/domquire.desktop" \
    || fail "domquire.desktop does not validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/jp.example.domquire.metainfo.xml" \
    || fail "the metainfo file does not validate"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libqt6network6 libqt6widgets6; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
# A package built with the sanitizers would drag their runtimes along.
grep -Eq 'libasan|libubsan' <<<"$depends" && fail "Depends names a sanitizer runtime: $depends"

[ "$failures" -eq 0 ] || exit 1
echo "check_package: $(basename "$deb") is complete"
