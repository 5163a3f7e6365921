#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, test and demo Flickerdeck.
# Asks apt only when something is missing, so a second run takes well under a second.
set -euo pipefail

packages=(
    # build
    cmake make g++ pkg-config clang-format
    qt6-base-dev libmpv-dev libxcb1-dev libavformat-dev
    libgtest-dev libgmock-dev googletest
    # the window's pictures are SVG; Qt's own dialogs in the user's language
    libqt6svg6 qt6-translations-l10n
    # the packaging test: the .deb's library dependencies (CPack's DEB generator runs file),
    # XML and desktop-entry checks, Debian's package checker
    dpkg-dev file libxml2-utils desktop-file-utils lintian
    # clips for the demo and the tests
    ffmpeg
    # a private X server, keys and pointer moves, screenshots
    xvfb xauth x11-utils xdotool imagemagick
    # two monitors for the end-to-end tests: Xorg with its dummy driver, and xrandr
    xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
    # the real screen-saver hosts the end-to-end tests run the saver under; dbus-x11 brings the
    # autolaunch a saver must not set off where there is no session bus
    xscreensaver xsecurelock mate-screensaver dbus-bin dbus-x11
    # Wayland: Qt's own platform for it, and a headless sway (with XWayland) for the tests, its
    # screenshots and keys, and wayvnc, whose virtual pointer and keyboard give its seat input
    qt6-wayland sway xwayland grim wtype wayvnc
    # Qt wants at least one font even for a window without text
    fonts-dejavu-core
    # the bench: mpv as the reference, its X probe, a desktop-like session
    mpv libx11-dev libxtst-dev openbox pulseaudio dbus
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [[ $status == installed ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
    echo "install-deps: all ${#packages[@]} packages present"
    exit 0
fi

as_root=()
if ((EUID != 0)); then
    if ! command -v sudo >/dev/null; then
        echo "install-deps: missing ${missing[*]}; run this as root or install sudo" >&2
        exit 1
    fi
    as_root=(sudo)
fi

echo "install-deps: installing ${missing[*]}"
# Another apt or dpkg run may hold the lock: wait for it rather than fail.
apt_get=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900)
"${apt_get[@]}" update -q
"${apt_get[@]}" install -y -q --no-install-recommends "${missing[@]}" </dev/null
