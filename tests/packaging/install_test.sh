#!/usr/bin/env bash
# Installs the build into a scratch root and builds the .deb, then checks what a user and the
# screen-saver hosts would find there.
set -euo pipefail
build_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$work/root" cmake --install "$build_dir" --prefix /usr > /dev/null
root="$work/root/usr"
for file in bin/flickerdeck libexec/xscreensaver/flickerdeck \
    share/xscreensaver/config/flickerdeck.xml share/applications/flickerdeck-settings.desktop \
    share/applications/screensavers/flickerdeck.desktop \
    share/icons/hicolor/scalable/apps/flickerdeck.svg share/man/man1/flickerdeck.1; do
    [[ -e "$root/$file" ]] || fail "$file is not installed"
done
[[ "$(readlink -f "$root/libexec/xscreensaver/flickerdeck")" == "$(readlink -f "$root/bin/flickerdeck")" ]] ||
    fail "the XScreenSaver hack does not lead to the binary"
xmllint --noout "$root/share/xscreensaver/config/flickerdeck.xml"
xmllint --noout "$root/share/icons/hicolor/scalable/apps/flickerdeck.svg"
grep -q '_label="Flickerdeck"' "$root/share/xscreensaver/config/flickerdeck.xml" || fail "XML label"
grep -q 'This screensaver plays movies' "$root/share/xscreensaver/config/flickerdeck.xml" || fail "XML description"
grep -q 'flickerdeck /C' "$root/share/xscreensaver/config/flickerdeck.xml" || fail "XML play-list hint"
# MATE drops a theme marked NoDisplay from its list, as if it were not installed.
theme="$root/share/applications/screensavers/flickerdeck.desktop"
! grep -q '^NoDisplay=' "$theme" || fail "the screensaver theme is hidden from MATE"
grep -qx 'OnlyShowIn=MATE;XFCE;' "$theme" || fail "the screensaver theme is not for MATE and xfce"
grep -qx 'Exec=flickerdeck /C' "$root/share/applications/flickerdeck-settings.desktop" || fail "settings entry"
grep -q '1.00.0013' "$root/share/man/man1/flickerdeck.1" || fail "man page version"
if command -v desktop-file-validate > /dev/null; then
    desktop-file-validate "$root/share/applications/flickerdeck-settings.desktop" \
        "$root/share/applications/screensavers/flickerdeck.desktop"
fi

(cd "$work" && cpack --config "$build_dir/CPackConfig.cmake" -G DEB > cpack.log 2>&1) ||
    { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/flickerdeck_*.deb)
[[ "$(dpkg-deb -f "$deb" Version)" == 1.00.0013 ]] || fail "package version"
depends=$(dpkg-deb -f "$deb" Depends)
for dependency in libmpv2 libqt6widgets6 libqt6svg6; do
    [[ "$depends" == *"$dependency"* ]] || fail "package does not depend on $dependency"
done
contents=$(dpkg-deb -c "$deb")
[[ "$contents" == *'./usr/libexec/xscreensaver/flickerdeck -> ../../bin/flickerdeck'* ]] ||
    fail "package lacks the XScreenSaver hack"
echo "installed and packaged: $(basename "$deb")"
