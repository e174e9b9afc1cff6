#!/usr/bin/env bash
# Byte-identity of reports across an engine change.
#
# Usage: bench/report_identity.sh save    VELMORAN DIR   # keep today's reports in DIR
#        bench/report_identity.sh compare VELMORAN DIR   # rerun and compare with DIR
#
# Every theory of examples/INDEX runs with its INDEX options, the strategy and check replaced by
# each of linear/modified/breadth and trivial/dcf/kill (kill is the default check), plus
# --max-resolvents=3000 --timeout=60 (RI_TIMEOUT changes the latter) and --show=statistics,dcf,
# so the counters and every consequent-test decision are part of what is compared. The report
# keeps stdout and stderr; the lines that measure the run ("Solving time : ...", which also holds
# "Used memory for proof:", and "Total allocated for Velmoran: ...") are dropped. A run that the
# time limit stopped is not comparable (a faster engine gets further): it is listed, not compared.
# RI_JOBS runs that many theories at once (default 2). RI_SHOW replaces statistics,dcf: printing the
# statistics runs every consequent test in full, so RI_SHOW=dcf compares the runs users make.
set -u

[ $# -eq 3 ] || { echo "usage: $0 save|compare VELMORAN DIR" >&2; exit 2; }
mode=$1 bin=$(realpath "$2") dir=$3
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
timeout=${RI_TIMEOUT:-60}
jobs=${RI_JOBS:-2}
show=${RI_SHOW:-statistics,dcf}
case $mode in save | compare) ;; *) echo "$0: mode is save or compare" >&2; exit 2 ;; esac
mkdir -p "$dir"
dir=$(realpath "$dir")
work=$dir
[ "$mode" = compare ] && work=$(mktemp -d)

# One run: path, options, strategy, check -> WORK/NAME.txt
run_one() {
    local path=$1 opts=$2 strategy=$3 check=$4
    local name
    name=$(echo "$path" | tr '/' '_')-$strategy-$check
    # shellcheck disable=SC2086
    set -- $opts
    local kept=()
    while [ $# -gt 0 ]; do
        case $1 in
            -s | --strategy | --check) shift ;;
            --strategy=* | --check=* | --max-resolvents=* | --timeout=*) ;;
            --max-resolvents | --timeout) shift ;;
            *) kept+=("$1") ;;
        esac
        shift
    done
    {
        "$bin" ${kept[@]+"${kept[@]}"} -s "$strategy" --check="$check" --max-resolvents=3000 \
            --timeout="$timeout" --show="$show" "$root/examples/$path" 2>"$work/$name.err" </dev/null |
            grep -v -e '^Solving time : ' -e '^Used memory for proof: ' -e '^Total allocated for Velmoran: '
        echo "exit: ${PIPESTATUS[0]}"
        cat "$work/$name.err"
    } >"$work/$name.txt"
    rm -f "$work/$name.err"
}
export -f run_one
export bin root timeout work show

grep -v '^#' "$root/examples/INDEX" | grep -v '^$' | while IFS=$'\t' read -r path opts _; do
    for s in linear modified breadth; do
        for c in trivial dcf kill; do
            # Only what was saved is compared; a run the time limit stopped before is not
            # compared, so it is not run again either.
            saved=$dir/$(echo "$path" | tr '/' '_')-$s-$c.txt
            [ "$mode" = compare ] && { [ ! -f "$saved" ] || grep -q 'stopped by the time limit' "$saved"; } && continue
            printf '%s\0%s\0%s\0%s\0' "$path" "$opts" "$s" "$c"; done
    done
done | nice xargs -0 -n 4 -P "$jobs" bash -c 'run_one "$@"' _

limited() { grep -l 'stopped by the time limit' "$1"/*.txt 2>/dev/null | xargs -r -n1 basename; }
if [ "$mode" = save ]; then
    echo "saved $(ls "$dir"/*.txt | wc -l) reports in $dir; stopped by the time limit (not comparable):"
    limited "$dir" | sed 's/^/  /'
    exit 0
fi

same=0 differ=0 skipped=0
for f in "$dir"/*.txt; do
    n=$(basename "$f")
    if [ ! -f "$work/$n" ] || grep -q 'stopped by the time limit' "$f" "$work/$n"; then
        skipped=$((skipped + 1))
    elif cmp -s "$f" "$work/$n"; then
        same=$((same + 1))
    else
        differ=$((differ + 1))
        echo "DIFFERS $n"
        diff "$f" "$work/$n" | head -5
    fi
done
echo "identical: $same, differ: $differ, time-limited (not compared): $skipped (new reports in $work)"
[ "$differ" -eq 0 ]
