#!/usr/bin/env bash
# --help and --version on every program, and nothing else changed by
# arguments: a run with other arguments gives the same screen, messages,
# exit code and files as a run without.
#   options_test.sh <folder of the programs> <source folder> <version> <program>...
set -u
programs=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
version=$3
shift 3
[ $# -gt 0 ] || { echo "$0: no programs named" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8
passes=0
failures=0
check() {
    local what=$1
    shift
    if "$@"; then passes=$((passes + 1)); else failures=$((failures + 1)); echo "FAILED: $what"; fi
}

# Runs a program in a fresh folder holding `files` (a folder, or empty),
# keys from `keys`; leaves stdout, stderr, the exit code and the folder's
# files (name and content) in $work/<tag>.
run_in_folder() {
    local tag=$1 files=$2 keys=$3
    shift 3
    rm -rf "$work/$tag" && mkdir -p "$work/$tag/folder"
    [ -n "$files" ] && cp -r "$files"/. "$work/$tag/folder/"
    (cd "$work/$tag/folder" && printf "$keys" | timeout 60 "$@" >../stdout 2>../stderr; echo $? >../exit_code)
}

same_run() {
    diff -r "$work/$1" "$work/$2" >/dev/null
}

help_is_short() {
    local text=$1 name=$2
    [ "$(head -1 <<<"$text")" != "" ] &&
        grep -q "^$name - " <<<"$text" &&
        grep -qF "man $name" <<<"$text" &&
        iconv -f UTF-8 -t UTF-8 <<<"$text" >/dev/null 2>&1 &&
        [ "$(awk '{ if (length($0) > width) width = length($0) } END { print width + 0 }' <<<"$text")" -le 80 ] &&
        [ "$(wc -l <<<"$text")" -le 24 ]
}

# What a program asks, reads and writes: each text after its label, and
# every line that continues it, starts at column 10.
fields_aligned() {
    awk '/^(Asks|Reads|Writes):/ { inside = 1; if (substr($0, 9, 1) != " " || substr($0, 10, 1) == " ") bad = 1; next }
         inside && /^ / { if (substr($0, 1, 9) != "         " || substr($0, 10, 1) == " ") bad = 1; next }
         { inside = 0 }
         END { exit bad }' <<<"$1"
}

for name in "$@"; do
    program=$programs/$name
    help=$("$program" --help </dev/null 2>"$work/errors"); code=$?
    check "$name --help ends with 0" test "$code" = 0
    check "$name --help writes nothing to stderr" test ! -s "$work/errors"
    check "$name --help: a short UTF-8 text that names the manual" help_is_short "$help" "$name"
    check "$name --help: asks, reads and writes in one column" fields_aligned "$help"
    check "$name --help: says what it asks, reads and writes" grep -q "^Writes:" <<<"$help"
    text=$("$program" --version </dev/null); code=$?
    check "$name --version ends with 0" test "$code" = 0
    check "$name --version names program, suite and version" test "$text" = "$name (surveykit) $version"
    check "$name: the first of the two options decides" \
        test "$("$program" --version --help)" = "$text" -a "$("$program" x --help --version)" = "$help"

    # Other arguments change nothing: an empty folder with no keys, and
    # one dialogue that runs to its end.
    run_in_folder plain "" ""  "$program"
    for arguments in "--bogus" "-h" "--help=1" "help extra" "-- --version"; do
        # shellcheck disable=SC2086
        run_in_folder with "" "" "$program" $arguments
        check "$name $arguments behaves as $name" same_run plain with
    done
done

run_in_folder plain "$source/examples" '0\n\n' "$programs/nmeadecode"
run_in_folder with "$source/examples" '0\n\n' "$programs/nmeadecode" --bogus
check "nmeadecode --bogus replays the example recording as nmeadecode does" same_run plain with
check "the replay wrote its fix log" test -s "$work/with/folder/GPS_CORE.txt"

echo "$passes passed, $failures failed"
[ "$failures" = 0 ]
