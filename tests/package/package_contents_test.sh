#!/usr/bin/env bash
# Makes the Debian package from the build and checks what a Debian system expects in it: the
# programs, the copyright file, a manual page for each program, and its dependencies.
set -euo pipefail
build=$1
cd "$build"
cpack --config CPackConfig.cmake >/dev/null
deb=$(ls -t packages/quillon_*_amd64.deb | head -n 1)
contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/quillon ./usr/bin/quillon-cli ./usr/share/doc/quillon/copyright \
    ./usr/share/man/man1/quillon.1.gz ./usr/share/man/man1/quillon-cli.1.gz \
    ./usr/share/applications/quillon.desktop; do
    grep -q " $path\$" <<<"$contents" || { echo "the package lacks $path"; exit 1; }
done
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
head -n 1 "$unpacked/usr/share/doc/quillon/copyright" |
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    { echo "copyright is not in Debian's machine-readable format"; exit 1; }
for page in quillon quillon-cli; do
    zcat "$unpacked/usr/share/man/man1/$page.1.gz" | grep -q '^\.SH NAME' ||
        { echo "$page.1 has no NAME section"; exit 1; }
    zcat "$unpacked/usr/share/man/man1/$page.1.gz" | grep -q '^\.SH SYNOPSIS\|^\.SH DESCRIPTION' ||
        { echo "$page.1 says nothing of how to run it"; exit 1; }
done
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' ||
    { echo "the package does not depend on Qt's widgets"; exit 1; }
echo "package contents: ok ($deb)"
