#!/usr/bin/env bash
# Benchmarks flickerdeck against mpv on a private Xvfb and writes bench/results.md.
# Knobs (environment): BIN, RUNS, PLAYS, GAPS, IDLE_SECS, CONFIG_RUNS, ENTRIES, POLL_MS,
# MPV_ARGS, SECTIONS, MONITOR_RUNS, MERGE — see bench/README.md. Never touches the user's own store: every
# run gets its own XDG_CONFIG_HOME and XDG_RUNTIME_DIR under bench/out/stores.
set -euo pipefail

bench=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$bench")
out=${OUT:-$bench/out}
mkdir -p "$out/clips" "$out/bin"

need=()
command -v Xvfb >/dev/null || need+=(xvfb)
command -v ffmpeg >/dev/null || need+=(ffmpeg)
command -v mpv >/dev/null || need+=(mpv)
command -v g++ >/dev/null || need+=(g++)
command -v python3 >/dev/null || need+=(python3)
[[ -e /usr/include/X11/Xlib.h ]] || need+=(libx11-dev)
[[ -e /usr/include/X11/extensions/XTest.h ]] || need+=(libxtst-dev)
command -v xwininfo >/dev/null || need+=(x11-utils)
command -v openbox >/dev/null || need+=(openbox)
command -v pulseaudio >/dev/null || need+=(pulseaudio)
command -v dbus-daemon >/dev/null || need+=(dbus)
# two monitors: Xorg on its dummy driver
command -v Xorg >/dev/null || need+=(xserver-xorg-core)
[[ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ]] || need+=(xserver-xorg-video-dummy)
command -v xrandr >/dev/null || need+=(x11-xserver-utils)
if ((${#need[@]})); then
    echo "installing ${need[*]}"
    apt-get -o DPkg::Lock::Timeout=900 install -y "${need[@]}" >/dev/null ||
        { apt-get update >/dev/null && apt-get -o DPkg::Lock::Timeout=900 install -y "${need[@]}" >/dev/null; }
fi

# The program under test: build/flickerdeck unless BIN says otherwise; a Release build of its own
# when there is none. A copy is measured, so a rebuild elsewhere cannot swap it mid-run.
bin=${BIN:-$root/build/flickerdeck}
if [[ -z ${BIN:-} && ! -x $bin ]]; then
    echo "no $bin: building a Release binary in build-bench/"
    cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DFDK_BUILD_TESTS=OFF \
        >/dev/null
    cmake --build "$root/build-bench" --target flickerdeck -j2 >/dev/null
    bin=$root/build-bench/flickerdeck
fi
[[ -x $bin ]] || { echo "not executable: $bin" >&2; exit 1; }
cache=$(dirname "$bin")/CMakeCache.txt
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$cache" 2>/dev/null || true)
cp "$bin" "$out/bin/flickerdeck"
export BIN_SOURCE=$bin
built=$(date -r "$bin" '+%Y-%m-%d %H:%M')
digest=$(sha256sum "$bin" | cut -c1-12)
export BIN_INFO="(build type: ${build_type:-RelWithDebInfo, the CMakeLists default}, built $built, sha256 $digest)"
export GIT_REV=$(git -C "$root" describe --always --dirty 2>/dev/null || echo unknown)

if [[ ! -x $out/bin/xprobe || $bench/xprobe.cpp -nt $out/bin/xprobe ]]; then
    g++ -std=c++20 -O2 -Wall -Wextra -o "$out/bin/xprobe" "$bench/xprobe.cpp" -lX11 -lXtst
fi

# Clips are made once and kept in bench/out/clips.
clip() {
    local name=$1 source=$2
    [[ -s $out/clips/$name ]] && return
    echo "making clip $name"
    ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i "$source" -an \
        -c:v libx264 -preset veryfast -pix_fmt yuv420p "$out/clips/$name.part.mp4"
    mv "$out/clips/$name.part.mp4" "$out/clips/$name"
}
noise=noise=alls=20:allf=t
clip pattern-1280x720-10s.mp4 "testsrc2=s=1280x720:r=25:d=10,$noise"
clip pattern-1920x1080-10s.mp4 "testsrc2=s=1920x1080:r=25:d=10,$noise"
clip pattern-3840x2160-10s.mp4 "testsrc2=s=3840x2160:r=25:d=10,noise=alls=6:allf=t"
clip pattern-640x360-1s.mp4 "testsrc2=s=640x360:r=25:d=1,$noise"
clip red-640x360-1s.mp4 "color=c=0xd02020:s=640x360:r=25:d=1,$noise"
clip blue-640x360-1s.mp4 "color=c=0x2030d0:s=640x360:r=25:d=1,$noise"
# Twice the size of the red one: the first picture after a change of movie size.
clip blue-1280x720-1s.mp4 "color=c=0x2030d0:s=1280x720:r=25:d=1,$noise"
# Red, then blue: where nothing black comes between plays, each change to red is a new play.
clip turn-640x360-1s.mp4 "color=c=0xd02020:s=640x360:r=25:d=0.5[a];color=c=0x2030d0:s=640x360:r=25:d=0.5[b];[a][b]concat,$noise"
# Each play begins with three black frames, so the memory test sees every start of a play.
clip growth-640x360-1s.mp4 "testsrc2=s=640x360:r=25:d=1,$noise,drawbox=t=fill:c=black:enable='lt(t,0.12)'"
# With a sound track, for the desktop-like session.
for colour in "red 0xd02020" "blue 0x2030d0"; do
    name=sound-${colour% *}-640x360-3s.mp4
    [[ -s $out/clips/$name ]] && continue
    ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi \
        -i "color=c=${colour#* }:s=640x360:r=25:d=3,$noise" -f lavfi -i "sine=f=440:d=3" \
        -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -shortest \
        "$out/clips/$name.part.mp4"
    mv "$out/clips/$name.part.mp4" "$out/clips/$name"
done
# A play-list entry that libmpv cannot open.
[[ -s $out/clips/notes.mp4 ]] || echo "These are not the pictures you are looking for." \
    >"$out/clips/notes.mp4"
# Lengths whose fractions of a second spread over the whole second, red and blue in turn: where
# a movie ends relative to the saver's one-second tick decides its gap.
frames=(25 28 30 33 35 38 40 43 45 48)
for i in "${!frames[@]}"; do
    colour=$( ((i % 2)) && echo "blue 0x2030d0" || echo "red 0xd02020")
    n=${frames[$i]}
    clip "gap-$i-${colour% *}-${n}f.mp4" \
        "color=c=${colour#* }:s=640x360:r=25:d=$((n * 40))ms,$noise"
done

PYTHONDONTWRITEBYTECODE=1 BIN=$out/bin/flickerdeck OUT=$out exec python3 "$bench/bench.py"
