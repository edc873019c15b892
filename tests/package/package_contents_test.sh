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
    ./usr/share/applications/quillon.desktop ./usr/lib/quillon/quillon-cli-track.so \
    ./usr/lib/quillon/quillon-cli-pdf.so; do
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
dpkg-deb -f "$deb" Depends | grep -q 'libopencv-imgproc' ||
    { echo "the package does not depend on what the track module needs"; exit 1; }

# quillon-cli finds its modules in lib/quillon beside its bin/ folder, unpacked from the package
# as installed by cmake --install: track and report --pdf get past loading their module.
installed=$(mktemp -d)
trap 'rm -rf "$unpacked" "$installed"' EXIT
cmake --install . --prefix "$installed" >/dev/null
work=$(mktemp -d -p "$installed")
printf '%s\n' $(seq 162 | sed 's/.*/0.1/') >"$work/samples.txt"
mkdir "$work/res"
for cli in "$unpacked/usr/bin/quillon-cli" "$installed/bin/quillon-cli"; do
    if "$cli" track "$work/missing.mp4" --setup "$installed/share/quillon/SlalomOK.ipt" \
        --start-time 1 --mark 1,1 2>"$work/err.txt"; then
        echo "$cli track took a missing video"; exit 1
    fi
    grep -q '^Video ".*missing.mp4" cannot be read' "$work/err.txt" ||
        { echo "$cli track did not load its module: $(cat "$work/err.txt")"; exit 1; }
    QT_QPA_PLATFORM=offscreen "$cli" report "$work/samples.txt" --results "$work/res" \
        --pdf "$work/dossier.pdf" >/dev/null ||
        { echo "$cli report --pdf failed"; exit 1; }
    head -c 5 "$work/dossier.pdf" | grep -q '%PDF-' || { echo "$cli wrote no PDF"; exit 1; }
    rm "$work/dossier.pdf"
done
echo "package contents: ok ($deb)"
