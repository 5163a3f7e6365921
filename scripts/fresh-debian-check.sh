#!/usr/bin/env bash
# Runs the README's Quick start on a fresh, minimal Debian 12: a debootstrap (minbase) chroot that
# gets a clone of the repository and runs `bash scripts/demo.sh` and `bash scripts/test.sh` as root.
#
#   scripts/fresh-debian-check.sh [REPOSITORY [REF]]     (as root; defaults: this repository, HEAD)
#
# WORK (default /var/tmp/flickerdeck-debian12) keeps a pristine base system that later runs copy,
# so only the first run bootstraps; the packages apt fetches are kept there too. MIRROR defaults
# to the Debian mirror this machine's apt uses (it is required where apt names none). Each run
# starts from a fresh copy of the base, in WORK/run.
set -euo pipefail

repo=$(realpath "${1:-$(dirname "${BASH_SOURCE[0]}")/..}")
ref=${2:-HEAD}
work=$(realpath -m "${WORK:-/var/tmp/flickerdeck-debian12}")
suite=bookworm

((EUID == 0)) || { echo "fresh-debian-check: run this as root" >&2; exit 1; }
commit=$(git -C "$repo" rev-parse --verify "$ref^{commit}")

host_mirror() {
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources \
        2>/dev/null | grep -oE 'https?://[^ ]*/debian/?( |$)' | head -n1 | tr -d ' ' || true
}
mirror=${MIRROR:-$(host_mirror)}
[[ -n $mirror ]] || { echo "fresh-debian-check: this machine's apt names no Debian mirror; set MIRROR" >&2; exit 1; }

base=$work/base
if [[ ! -e $base/.complete ]]; then
    rm -rf "$base"
    echo "fresh-debian-check: bootstrapping $suite (minbase) from $mirror into $base"
    debootstrap --variant=minbase "$suite" "$base" "$mirror"
    # What a fresh installation's apt knows: the release, its updates and security fixes.
    cat >"$base/etc/apt/sources.list" <<EOF
deb $mirror $suite main
deb $mirror $suite-updates main
deb ${mirror%/debian*}/debian-security $suite-security main
EOF
    rm -rf "$base/var/cache/apt/archives"/*.deb
    touch "$base/.complete"
fi

run=$work/run
mounted=()
cleanup() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" || umount -l "${mounted[i]}" || true
    done
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP
mount_in() { # TARGET-INSIDE-RUN MOUNT-ARGS...
    local target=$run$1
    shift
    mkdir -p "$target"
    mount "$@" "$target"
    mounted+=("$target")
}

if findmnt -rn -o TARGET | grep -qE "^$run(/|$)"; then
    echo "fresh-debian-check: something is still mounted under $run; unmount it first" >&2
    exit 1
fi
rm -rf "$run"
cp -a "$base" "$run"
# The root a mount point of its own, as on a real system: unshare, which the Wayland tests use to
# give XWayland private sockets, cannot change the propagation of a root that is none.
mount_in "" --bind "$run"

mkdir -p "$work/apt-archives/partial"
mount_in /proc -t proc proc
mount_in /sys -t sysfs sysfs
mount_in /dev --bind /dev
mount_in /dev/pts --bind /dev/pts
mount_in /dev/shm -t tmpfs tmpfs -o mode=1777
mount_in /tmp -t tmpfs tmpfs -o mode=1777
mount_in /var/cache/apt/archives --bind "$work/apt-archives"
cp /etc/resolv.conf "$run/etc/resolv.conf"

git clone -q --no-hardlinks "$repo" "$run/root/flickerdeck"
git -C "$run/root/flickerdeck" checkout -q --detach "$commit"
echo "fresh-debian-check: $commit in $run/root/flickerdeck"

status=0
for command in "bash scripts/demo.sh" "bash scripts/test.sh"; do
    echo "fresh-debian-check: running '$command' as root"
    if chroot "$run" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        bash -c "cd /root/flickerdeck && $command" </dev/null; then
        echo "fresh-debian-check: '$command' passed"
    else
        status=$?
        echo "fresh-debian-check: '$command' FAILED with status $status" >&2
        break
    fi
done
exit "$status"
