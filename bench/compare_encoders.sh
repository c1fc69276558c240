#!/usr/bin/env bash
# Times the compressed copies of a one-hour 8 kHz speech-like call against the usual command-line
# encoders at the same settings, on the same file and in the same run: Opus 16 kbit/s against
# `ffmpeg -c:a libopus`, MP3 32 kbit/s mono 8 kHz against `lame`, FLAC level 5 against `flac`.
# Prints elapsed seconds (best of three) and the ratio ours/theirs.
# Usage: bench/compare_encoders.sh [BUILD_DIR]   (a Release build with -DORLAMO_BUILD_BENCH=ON)
set -euo pipefail

build=${1:-build/release}
bench="$build/bin/bench_export"
[[ -x "$bench" ]] || { echo "no $bench; build the bench_export target first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One hour of a speech-like signal: pink noise under a syllable-rate swell, in the telephone band.
sox -n -r 8000 -c 1 -b 16 -e signed "$work/call.wav" synth 3600 pinknoise tremolo 4 90 sinc 300-3400 gain -n -6

# best ARGS...: the shortest elapsed time of three runs, in seconds
best() {
    local least=""
    for _ in 1 2 3; do
        /usr/bin/time -f "%e" -o "$work/time" "$@" >/dev/null 2>&1
        local t
        t=$(cat "$work/time")
        if [[ -z "$least" ]] || awk "BEGIN{exit !($t < $least)}"; then least=$t; fi
    done
    echo "$least"
}

theirs_opus=$(best ffmpeg -v error -y -i "$work/call.wav" -c:a libopus -b:a 16k -ac 1 "$work/t.opus")
theirs_mp3=$(best lame --quiet -b 32 -m m --resample 8 "$work/call.wav" "$work/t.mp3")
theirs_flac=$(best flac -s -f -5 -o "$work/t.flac" "$work/call.wav")

# Ours, in process (the decoding of the stored file included), best of three repetitions.
ORLAMO_BENCH_SPEECH="$work/call.wav" "$bench" --benchmark_repetitions=3 --benchmark_format=json \
    --benchmark_out="$work/ours.json" --benchmark_out_format=json >/dev/null
# ours FORMAT FIELD: the least of the repetitions' FIELD (real_time in seconds, output_MB)
ours() {
    python3 -c '
import json, sys
runs = [b for b in json.load(open(sys.argv[1]))["benchmarks"]
        if b["run_name"].startswith("exportAs/" + sys.argv[2] + "/") and b.get("run_type") == "iteration"]
print(min(b[sys.argv[3]] for b in runs))' "$work/ours.json" "$1" "$2"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
printf "%-6s %8s %9s %7s %8s %9s  %s\n" format ours_s theirs_s ratio ours_MB theirs_MB "theirs"
row() {
    local format=$1 theirs=$2 tool=$3 o
    o=$(ours "$format" real_time)
    printf "%-6s %8.2f %9.2f %7.2f %8.2f %9.2f  %s\n" "$format" "$o" "$theirs" "$(awk "BEGIN{print $o/$theirs}")" \
        "$(ours "$format" output_MB)" "$(awk "BEGIN{print $(stat -c %s "$work/t.$format")/1e6}")" "$tool"
}
row opus "$theirs_opus" "ffmpeg -c:a libopus -b:a 16k"
row mp3 "$theirs_mp3" "lame -b 32 -m m --resample 8"
row flac "$theirs_flac" "flac -5"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
