#!/usr/bin/env bash
# Builds Flickerdeck, makes a few short clips and a private play list for them, and runs the saver
# on them. On a usable X display the saver runs there until a key or a pointer move ends it;
# without one it runs for a few seconds on a private Xvfb and leaves two screenshots behind.
# The user's own store is never touched: the saver gets its own XDG_CONFIG_HOME under the build.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build}")
demo=$build/demo

bash "$root/scripts/install-deps.sh"

# Same settings as scripts/test.sh, so the two share build/; the demo builds only the program.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=16 >/dev/null
cmake --build "$build" --target flickerdeck -j2

mkdir -p "$demo/config" "$demo/runtime"
chmod 700 "$demo/runtime"

# Clips are made once; delete build/demo to make them again.
clip() {
    local name=$1
    shift
    [[ -s $demo/$name ]] && return
    ffmpeg -hide_banner -loglevel error -nostdin -y "$@" "$demo/$name.part.${name##*.}"
    mv "$demo/$name.part.${name##*.}" "$demo/$name"
}
clip 1-pattern-320x240.avi -f lavfi -i testsrc2=s=320x240:r=25:d=2.5 \
    -f lavfi -i sine=f=440:d=2.5 -c:v mpeg4 -q:v 3 -c:a pcm_s16le -shortest
clip 2-pattern-480x270.mp4 -f lavfi -i testsrc=s=480x270:r=25:d=3 \
    -c:v libx264 -preset veryfast -pix_fmt yuv420p
clip 3-tone.wav -f lavfi -i sine=f=660:d=1.5
clip 4-bars-640x360.avi -f lavfi -i smptehdbars=s=640x360:r=25:d=3 -c:v mpeg4 -q:v 3

store=$demo/config/FDK.conf
cat >"$store" <<EOF
[Movies]
Count=3

[Movie]
0=$demo/1-pattern-320x240.avi (Origin)
1=$demo/2-pattern-480x270.mp4 (Double)
2=$demo/3-tone.wav (Origin)
3=$demo/4-bars-640x360.avi (Origin)

[Settings]
Active=0
EOF
echo "demo: play list in $store"

saver_env=(env "XDG_CONFIG_HOME=$demo/config" "XDG_RUNTIME_DIR=$demo/runtime")

if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
    echo "demo: running the saver on $DISPLAY; press a key or move the pointer to end it"
    exec "${saver_env[@]}" "$build/flickerdeck" /S
fi

# No usable display: a private Xvfb, a screenshot while the saver plays, then a key to end it.
xvfb_pid=
saver_pid=
cleanup() {
    if [[ -n $saver_pid ]]; then kill "$saver_pid" 2>/dev/null || true; fi
    if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -f "$demo/displayfd"
}
trap cleanup EXIT

rm -f "$demo/displayfd"
mkfifo "$demo/displayfd"
Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp -noreset 3>"$demo/displayfd" \
    >"$demo/xvfb.log" 2>&1 &
xvfb_pid=$!
if ! read -r -t 15 display_number <"$demo/displayfd"; then
    echo "demo: Xvfb did not start; see $demo/xvfb.log" >&2
    exit 1
fi
export DISPLAY=:$display_number
echo "demo: no usable display, running the saver on a private Xvfb ($DISPLAY) for 6 s"

"${saver_env[@]}" "$build/flickerdeck" /S </dev/null >"$demo/saver.log" 2>&1 &
saver_pid=$!

saver_alive() { kill -0 "$saver_pid" 2>/dev/null; }

status=0
collect_saver() {
    wait "$saver_pid" && status=0 || status=$?
    saver_pid=
}
fail_with_saver_output() {
    echo "demo: the saver ended $1 with status $status; its output:" >&2
    cat "$demo/saver.log" >&2
    exit 1
}

# Pictures start once the window is up, so time the screenshots from there: the first falls in
# the first clip, the second in the double-size one.
for _ in $(seq 100); do
    xdotool search --onlyvisible --classname flickerdeck >/dev/null 2>&1 && break
    saver_alive || break
    sleep 0.1
done
shots=()
for delay in 1.5 3; do
    sleep "$delay"
    saver_alive || { collect_saver; fail_with_saver_output early; }
    shots+=("$demo/screenshot-$((${#shots[@]} + 1)).png")
    import -window root "${shots[-1]}"
done
sleep 1.5
saver_alive || { collect_saver; fail_with_saver_output "before the key"; }

xdotool key x
for _ in $(seq 50); do
    saver_alive || break
    sleep 0.1
done
if saver_alive; then
    echo "demo: warning: the saver ignored the key; stopping it" >&2
    kill "$saver_pid"
    collect_saver
else
    collect_saver
    ((status == 0)) || fail_with_saver_output "after the key"
fi

echo "demo: saver output in $demo/saver.log"
echo "demo: screenshots: ${shots[*]}"
