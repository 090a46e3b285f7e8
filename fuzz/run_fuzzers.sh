#!/usr/bin/env bash
# Runs every fuzz target for a bounded time and reports executions per
# target; exits non-zero when any target finds a crash, a sanitizer report,
# a leak, a timeout or a broken check.
#
#   fuzz/run_fuzzers.sh <build folder> <seconds per target> [corpus folder]
#
# The build folder is a clang build with -DBUILD_FUZZERS=ON. Seed corpora
# are made afresh in a scratch folder from the golden cases' input files and
# keys, the examples, and the real recordings and drawings of
# ../shared/testdata when that folder is there. With a corpus folder, each
# target's corpus is kept there and grows from run to run. A finding leaves
# its input in <corpus folder>/artifacts/<run>, or without one in
# <build folder>/fuzz-artifacts/<run> (<run> is the date and time of the
# run), named after the target; the log shows it in base64 too.
set -u
if [ $# -lt 2 ]; then
    echo "usage: $0 <build folder> <seconds per target> [corpus folder]" >&2
    exit 2
fi
build=$(cd "$1" && pwd) || exit 2
seconds=$2
source=$(cd "$(dirname "$0")/.." && pwd)
testdata="$source/../shared/testdata"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
keep=${3:-}
if [ -n "$keep" ]; then
    mkdir -p "$keep" && keep=$(cd "$keep" && pwd)
    artifacts="$keep/artifacts"
else
    artifacts="$build/fuzz-artifacts"
fi
artifacts="$artifacts/$(date +%Y%m%d-%H%M%S)"
mkdir -p "$artifacts"

# Inputs longer than this are cut when loaded; the hostile-input tests
# cover the long ones.
max_len=16384

# seed <target> <file>...: copies each file into the target's seeds, a large
# one in pieces of max_len bytes (at most 40 of them).
seed() {
    local target=$1
    shift
    mkdir -p "$scratch/seeds/$target"
    local file n=0
    for file in "$@"; do
        [ -f "$file" ] || continue
        n=$((n + 1))
        if [ "$(stat -c %s "$file")" -le "$max_len" ]; then
            cp "$file" "$scratch/seeds/$target/seed-$n"
        else
            head -c $((max_len * 40)) "$file" | split -b "$max_len" - "$scratch/seeds/$target/seed-$n-"
        fi
    done
}

# seed_text <target> <text>: one seed with the given bytes (printf %b).
seed_text() {
    mkdir -p "$scratch/seeds/$1"
    printf '%b' "$2" >"$scratch/seeds/$1/text-$(printf '%s' "$2" | cksum | cut -d' ' -f1)"
}

shopt -s nullglob
golden="$source/tests/golden"
seed replay_fuzzer "$golden"/nmeadecode/*/in/REC_COM.txt "$source/examples/REC_COM.txt" "$testdata"/nmea/*.log
seed logconvert_fuzzer "$golden"/logconvert/*/in/NMEA_Wsp.txt "$source/examples/NMEA_Wsp.txt"
seed register_fuzzer "$golden"/regscript/*/in/* "$golden"/regscript_basic/*/in/* "$golden"/stakeout/*/in/*
seed dxf_fuzzer "$golden"/dxfpoints/*/in/* "$testdata"/dxf/*.dxf
lists=()
for file in "$golden"/kmlmarks/*/in/* "$golden"/kmlmarks_basic/*/in/* "$golden"/kmlpath/*/in/*; do
    [ "$(basename "$file")" = Go_P.par ] || lists+=("$file")
done
seed point_list_fuzzer "${lists[@]}"
seed selection_window_fuzzer "$golden"/kmlmarks/*/in/Go_P.par
seed_text selection_window_fuzzer '41 44 22 29\r\n'
seed number_tokens_fuzzer "$golden"/regscript/*/in/* "$golden"/stakeout/*/in/* "${lists[@]}"
for text in '1e400 -0 99999999999999999999 1e-400' '+1.5E-3\t-7\r\n.5 1. 1e 0x10 61,30\r' \
    '2147483647 2147483648 -2147483648 -2147483649\n18446744073709551615 18446744073709551616' \
    '1 2\x1a3 4' '1.7976931348623157e308 1.7976931348623159e308 4.9e-324 2e-324'; do
    seed_text number_tokens_fuzzer "$text"
done
for file in "$golden"/*/*/keys; do
    mkdir -p "$scratch/seeds/line_input_fuzzer"
    printf '%b' "$(cat "$file")" >"$scratch/seeds/line_input_fuzzer/$(basename "$(dirname "$(dirname "$file")")")-$(basename "$(dirname "$file")")"
done
seed_text line_input_fuzzer '1,5\e[D\e[DX\e[C\x7f\r12\e[H-\e[F0\e[3~\n\e\n\xd0\x90\xd0\x91\r\n'

dictionary() {
    case $1 in
        replay_fuzzer | logconvert_fuzzer) echo "$source/fuzz/dictionaries/nmea.dict" ;;
        dxf_fuzzer) echo "$source/fuzz/dictionaries/dxf.dict" ;;
        line_input_fuzzer) echo "$source/fuzz/dictionaries/keys.dict" ;;
        *) echo "$source/fuzz/dictionaries/numbers.dict" ;;
    esac
}

targets=(replay_fuzzer logconvert_fuzzer register_fuzzer dxf_fuzzer point_list_fuzzer selection_window_fuzzer
    number_tokens_fuzzer line_input_fuzzer)
findings=0
summary=""
for target in "${targets[@]}"; do
    binary="$build/bin/$target"
    if [ ! -x "$binary" ]; then
        echo "missing $binary: build with -DBUILD_FUZZERS=ON" >&2
        findings=$((findings + 1))
        continue
    fi
    corpus="${keep:-$scratch}/corpus/$target"
    mkdir -p "$corpus"
    log="$scratch/$target.log"
    echo "== $target: ${seconds} s"
    # The seeds come as a second corpus folder: read, never written.
    "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
        -dict="$(dictionary "$target")" -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
        "$corpus" "$scratch/seeds/$target" >"$log" 2>&1
    code=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    found=("$artifacts/$target-"*)
    if [ "$code" -ne 0 ] || [ ${#found[@]} -gt 0 ]; then
        findings=$((findings + 1))
        result="FINDING (exit $code)"
        echo "--- $target found a fault:"
        grep -E 'ERROR|FINDING|runtime error|Test unit written|SUMMARY|==[0-9]+==' "$log" | head -40
        for file in "${found[@]}"; do
            echo "--- $file ($(stat -c %s "$file") bytes), base64:"
            head -c 4096 "$file" | base64
        done
    else
        result="clean"
    fi
    line=$(printf '%-26s %12s executions %8s/s  corpus %5s  %s' "$target" "${executions:-?}" "${rate:-?}" \
        "$(ls "$corpus" | wc -l)" "$result")
    echo "$line"
    summary+="$line"$'\n'
done
echo
echo "== fuzzing summary (${seconds} s per target)"
printf '%s' "$summary"
[ "$findings" -eq 0 ]
