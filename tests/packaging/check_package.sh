#!/usr/bin/env bash
# Builds the .deb from the configured tree and checks that the desktop finds
# what it needs where it looks, and that Debian's checkers accept it.
# Usage: check_package.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" > "$work/cpack.log"
deb=$(ls "$work"/corvala_*.deb)
dpkg-deb -x "$deb" "$work/root"

fail=0
for f in usr/bin/corvala usr/lib/corvala/corvala_list.so usr/share/applications/corvala.desktop \
         usr/share/icons/hicolor/scalable/apps/corvala.svg \
         usr/share/metainfo/corvala.metainfo.xml usr/share/mime/packages/corvala.xml \
         usr/share/doc/corvala/copyright \
         usr/share/doc/corvala/changelog.gz usr/share/man/man1/corvala.1.gz; do
    [ -f "$work/root/$f" ] || { echo "missing: /$f"; fail=1; }
done
[ -x "$work/root/usr/bin/corvala" ] || { echo "not executable: /usr/bin/corvala"; fail=1; }

depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 fonts-noto-cjk qt6-qpa-plugins; do
    case "$depends" in *"$d"*) ;; *) echo "Depends lacks $d: $depends"; fail=1 ;; esac
done

# The installed program finds the cutting list's module where it was put.
printf 'shape,diameter,A,count\nstraight,12,1000,2\n' > "$work/one.csv"
listed=$("$work/root/usr/bin/corvala" --list "$work/one.csv" 2>&1) || { echo "--list failed: $listed"; fail=1; }
case "$listed" in *1000*) ;; *) echo "--list from the package: $listed"; fail=1 ;; esac

desktop-file-validate "$work/root/usr/share/applications/corvala.desktop" || fail=1
grep -q '^MimeType=application/x-corvala-cutting-list;' "$work/root/usr/share/applications/corvala.desktop" || { echo "no cutting-list MIME type"; fail=1; }
grep -q '^GenericName\[zh_CN\]=' "$work/root/usr/share/applications/corvala.desktop" || { echo "no Chinese entry"; fail=1; }
appstreamcli validate --no-net "$work/root/usr/share/metainfo/corvala.metainfo.xml" > "$work/as.log" || { cat "$work/as.log"; fail=1; }
if lintian --fail-on error "$deb" > "$work/lintian.log" 2>&1; then :; else
    grep -E '^E:' "$work/lintian.log" || true
    fail=1
fi

if [ "$fail" -eq 0 ]; then echo "package ok: $(basename "$deb")"; fi
exit "$fail"
