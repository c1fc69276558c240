#!/usr/bin/env bash
# Times orlamo-cli convert against sox on a 43-minute 8 kHz speech-like file, whole process, same machine
# and run; prints elapsed seconds, the ratio to sox and orlamo-cli's peak memory.
# Usage: bench/compare_sox.sh [BUILD_DIR]   (a Release build: cmake -DCMAKE_BUILD_TYPE=Release)
set -euo pipefail

build=${1:-build/release}
cli="$build/bin/orlamo-cli"
[[ -x "$cli" ]] || { echo "no $cli; build the orlamo-cli target first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 43 minutes of a speech-like signal: pink noise shaped by a syllable-rate swell, band-limited to the telephone band.
sox -n -r 8000 -c 1 -b 16 -e signed "$work/s16.wav" synth 2580 pinknoise tremolo 4 90 sinc 300-3400 gain -n -6
sox -D "$work/s16.wav" -e unsigned -b 8 "$work/u8.wav"
sox "$work/s16.wav" -e gsm-full-rate "$work/gsm.wav"
sox "$work/s16.wav" -e ima-adpcm "$work/ima.wav"
sox "$work/s16.wav" -e u-law "$work/ulaw.wav"

# measure ARGS...: best of three runs; prints "elapsed_s peak_kB cpu_s" (cpu = user + system, all threads)
measure() {
    local best="" mem="" cpu=""
    for _ in 1 2 3; do
        /usr/bin/time -f "%e %M %U %S" -o "$work/time" "$@" >/dev/null 2>&1
        read -r t m u s <"$work/time"
        if [[ -z "$best" ]] || awk "BEGIN{exit !($t < $best)}"; then best=$t; mem=$m; cpu=$(awk "BEGIN{print $u+$s}"); fi
    done
    echo "$best $mem $cpu"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
printf "%-18s %9s %7s %7s %9s %7s %12s\n" conversion orlamo_s sox_s ratio orlamo_cpu sox_cpu orlamo_peak
row() {
    local name=$1 input=$2 to=$3
    shift 3
    read -r ot om oc < <(measure "$cli" convert "$work/$input" "$work/o.wav" --to "$to")
    read -r st _ sc < <(measure sox "$work/$input" "$@" "$work/x.wav")
    printf "%-18s %9s %7s %7.2f %9s %7s %9s kB\n" "$name" "$ot" "$st" "$(awk "BEGIN{print $ot/$st}")" "$oc" "$sc" "$om"
}
row "GSM encode" s16.wav gsm -e gsm-full-rate
row "GSM decode" gsm.wav pcm:8000:16 -e signed -b 16
row "IMA ADPCM encode" s16.wav ima -e ima-adpcm
row "IMA ADPCM decode" ima.wav pcm:8000:16 -e signed -b 16
row "u-law decode" ulaw.wav pcm:8000:16 -e signed -b 16
row "8-bit PCM to GSM" u8.wav gsm -e gsm-full-rate
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
