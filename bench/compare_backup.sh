#!/usr/bin/env bash
# Times orlamo-cli backup of a working folder of 1 000 one-minute recordings (about 470 MB) against
# cp -a of the same folder, to a folder and to a tar archive, on the same disk in the same run; prints
# the elapsed seconds and MB/s of each (best of three; the source is in the page cache for all of them).
# Usage: bench/compare_backup.sh [BUILD_DIR] [SCRATCH_DIR]   (a Release build: cmake -DCMAKE_BUILD_TYPE=Release)
set -euo pipefail

build=${1:-build/release}
cli="$build/bin/orlamo-cli"
[[ -x "$cli" ]] || { echo "no $cli; build the orlamo-cli target first" >&2; exit 1; }
work=$(mktemp -d "${2:-${TMPDIR:-/tmp}}/orlamo-backup-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# One minute of a speech-like signal in the default format (8 kHz, 8 bit), as 1 000 recordings of one day.
src="$work/calls"
mkdir -p "$src/wav"
sox -n -r 8000 -c 1 -b 8 -e unsigned "$work/minute.wav" synth 60 pinknoise tremolo 4 90 sinc 300-3400 gain -n -6
for i in $(seq 0 999); do
    cp "$work/minute.wav" "$src/wav/1_20261208_$(printf '%02d%02d%02d' $((i / 3600)) $((i / 60 % 60)) $((i % 60))).wav"
done
printf '[Params]\r\nCallerID=1\r\n' >"$src/tvk.ini"
bytes=$(du -sb "$src" | cut -f1)

# measure ARGS...: best elapsed seconds of three runs; the target is removed before each.
measure() {
    local target=$1 best=""
    shift
    for _ in 1 2 3; do
        rm -rf "$target"
        sync
        local start end t
        start=$(date +%s.%N)
        "$@" >/dev/null
        sync
        end=$(date +%s.%N)
        t=$(awk "BEGIN{print $end - $start}")
        if [[ -z "$best" ]] || awk "BEGIN{exit !($t < $best)}"; then best=$t; fi
    done
    echo "$best"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores; $((bytes / 1000000)) MB in 1000 recordings"
printf "%-28s %9s %8s\n" copy seconds MB/s
row() {
    local name=$1 t=$2
    printf "%-28s %9.2f %8.1f\n" "$name" "$t" "$(awk "BEGIN{print $bytes / 1000000 / $t}")"
}
row "cp -a (folder)" "$(measure "$work/cp" cp -a "$src" "$work/cp")"
row "orlamo-cli backup DIR" "$(measure "$work/dir" "$cli" --workdir "$src" backup "$work/dir")"
row "tar -cf (archive)" "$(measure "$work/gnu.tar" tar -cf "$work/gnu.tar" -C "$src" .)"
row "orlamo-cli backup FILE.tar" "$(measure "$work/b.tar" "$cli" --workdir "$src" backup "$work/b.tar")"
row "orlamo-cli restore FILE.tar" "$(measure "$work/restored" "$cli" --workdir "$work/restored" restore "$work/b.tar")"
