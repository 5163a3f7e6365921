#!/usr/bin/env bash
# Installs the build into a scratch root and builds the .deb, then checks what a user and the
# screen-saver hosts would find there, what Debian's checker says of the package and what it
# depends on; last, installs the .deb with dpkg into an empty root and purges it again.
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
    share/icons/hicolor/scalable/apps/flickerdeck.svg share/man/man1/flickerdeck.1.gz \
    share/doc/flickerdeck/copyright share/doc/flickerdeck/changelog.gz; do
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
gzip -dc "$root/share/man/man1/flickerdeck.1.gz" | grep -q '1.00.0013' || fail "man page version"
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
[[ "$(dpkg-deb -f "$deb" Recommends)" == *qt6-wayland* ]] || fail "package does not recommend qt6-wayland"
# Only what the program calls itself: libmpv's own libraries come through libmpv.
count() { tr ',' '\n' | grep -c .; }
(($(count <<<"$depends") <= 15)) || fail "the package depends on too much: $depends"
needed=$(objdump -p "$root/bin/flickerdeck" | awk '$1 == "NEEDED" {print $2}')
(($(count <<<"$needed") <= 15)) || fail "the program links too much: $needed"
lintian --fail-on error,warning "$deb" > "$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log"; fail "lintian"; }
contents=$(dpkg-deb -c "$deb")
[[ "$contents" == *'./usr/libexec/xscreensaver/flickerdeck -> ../../bin/flickerdeck'* ]] ||
    fail "package lacks the XScreenSaver hack"

# An empty root of dpkg's own: the libraries the package depends on are not there, and it has
# no maintainer scripts that would need them.
target=$work/target
mkdir -p "$target/var/lib/dpkg/info" "$target/var/lib/dpkg/updates"
touch "$target/var/lib/dpkg/status"
snapshot() { (cd "$target" && find . -path ./var/lib/dpkg -prune -o -print | sort); }
before=$(snapshot)
dpkg_root=(dpkg --root="$target" --log=/dev/null)
((EUID == 0)) || dpkg_root+=(--force-not-root)
"${dpkg_root[@]}" --force-depends --install "$deb" > "$work/dpkg.log" 2>&1 ||
    { cat "$work/dpkg.log"; fail "dpkg --install"; }
status=$(dpkg-query --admindir="$target/var/lib/dpkg" -W -f='${db:Status-Status}' flickerdeck \
    2>/dev/null || true)
[[ $status == installed ]] || fail "dpkg sees the package $status"
for file in usr/bin/flickerdeck usr/share/doc/flickerdeck/copyright \
    usr/share/man/man1/flickerdeck.1.gz; do
    [[ -f "$target/$file" ]] || fail "$file is not installed by the package"
done
[[ -x "$target/usr/libexec/xscreensaver/flickerdeck" ]] || fail "the installed hack leads nowhere"
"${dpkg_root[@]}" --purge flickerdeck > "$work/dpkg.log" 2>&1 ||
    { cat "$work/dpkg.log"; fail "dpkg --purge"; }
[[ -z $(dpkg-query --admindir="$target/var/lib/dpkg" -W flickerdeck 2>/dev/null) ]] ||
    fail "the package is still known after the purge"
leftover=$(diff <(echo "$before") <(snapshot)) || fail "the purge left behind: $leftover"
echo "packaged, checked, installed and purged: $(basename "$deb")"
