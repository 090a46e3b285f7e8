#!/usr/bin/env bash
# The command line of every program: --help and --version, usage errors
# (exit 64, nothing touched), and tables of answers given as arguments,
# which must write what the same answers as piped keys write.
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

help_is_short() {
    local text=$1 name=$2
    [ "$(head -1 <<<"$text")" != "" ] &&
        grep -q "^$name - " <<<"$text" &&
        grep -qF "man $name" <<<"$text" &&
        iconv -f UTF-8 -t UTF-8 <<<"$text" >/dev/null 2>&1 &&
        [ "$(awk '{ if (length($0) > width) width = length($0) } END { print width + 0 }' <<<"$text")" -le 80 ] &&
        [ "$(wc -l <<<"$text")" -le 50 ]
}

# What a program asks, reads and writes: each text after its label, and
# every line that continues it, starts at column 10.
fields_aligned() {
    awk '/^(Asks|Reads|Writes):/ { inside = 1; if (substr($0, 9, 1) != " " || substr($0, 10, 1) == " ") bad = 1; next }
         inside && /^ / { if (substr($0, 1, 9) != "         " || substr($0, 10, 1) == " ") bad = 1; next }
         { inside = 0 }
         END { exit bad }' <<<"$1"
}


# A usage error: exit 64, one line on standard error, nothing on standard
# output, the folder as it was.
usage_error() {
    [ "$(cat "$work/$1/exit_code")" = 64 ] && [ ! -s "$work/$1/stdout" ] &&
        [ "$(wc -l <"$work/$1/stderr")" = 1 ] && diff -r "$fixtures" "$work/$1/folder" >/dev/null
}

# The inputs of the argument cases, made as the README makes them.
fixtures=$work/fixtures
mkdir -p "$fixtures" && cp -r "$source/examples"/. "$fixtures/"
printf '25 712.5 350.25 102.347\r\n26 700 340.5 99.9\r\n12 1000 2000\r\n13 1040 2030\r\n' >"$fixtures/reg.txt"
printf '  0\nSECTION\n  2\nENTITIES\n  0\nPOINT\n  8\n0\n 10\n512.6789\n 20\n471.12\n 30\n61.3\n  0\nENDSEC\n  0\nEOF\n' \
    >"$fixtures/plan.dxf"
printf '42 41.7 23 19.2 Sofia centre\r\n42 9.0 24 45.0 Plovdiv\r\n' >"$fixtures/marks.txt"
printf '7 42 30 36 23 19 48\r\n8 42 30 40 23 19 55\r\n' >"$fixtures/points.txt"

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
        test "$("$program" --version --help)" = "$text" -a "$("$program" --help --version)" = "$help"
    check "$name -h is --help" test "$("$program" -h)" = "$help"
    check "$name --help lists the exit codes" grep -q "^  64 " <<<"$help"

    # A usage error: one line on standard error, exit 64, no file touched.
    for arguments in "--bogus" "-Z" "--help=1" "--quiet=1" "-- a b c" "-q x y z"; do
        # shellcheck disable=SC2086
        run_in_folder usage "$fixtures" "" "$program" $arguments
        check "$name $arguments is a usage error" usage_error usage
    done
done

# Answers as arguments write what the same answers as piped keys write, and
# exit 0: every answer given with no keys at all, or some of them with the
# keys of the others.
#   program | arguments | keys beside them | the keys of the same answers
while IFS='|' read -r name arguments keys all_keys; do
    # shellcheck disable=SC2086
    run_in_folder given "$fixtures" "$keys" "$programs/$name" $arguments
    run_in_folder typed "$fixtures" "$all_keys" "$programs/$name"
    check "$name $arguments: exit 0" test "$(cat "$work/given/exit_code")" = 0
    check "$name $arguments: the files of the piped run" diff -r "$work/given/folder" "$work/typed/folder"
    check "$name $arguments: no report" test ! -s "$work/given/stderr"
done <<'TABLE'
nmeadecode|-d 0||0\n\n
nmeadecode|--delay=0.0 -q||0\n\n
logconvert|-y||xx
regscript|-l1 -t 2 --decimals=2 reg.txt reg.scr||1reg.txt\nreg.scr\n2\n2\n
regscript|-t2 --layout 5 -p9 -- reg.txt out.scr||5reg.txt\nout.scr\n2\n4\n
regscript|--height=2.5 reg.txt|3out.scr\n1\n|3reg.txt\nout.scr\n2.5\n1\n
regscript_basic|-t 2 -p 2 reg.txt reg.scr||reg.txt\nreg.scr\n2\n2\n
dxfpoints|plan.dxf plan.txt||plan.dxf\nplan.txt\n
dxfpoints|plan.dxf|plan.txt\n|plan.dxf\nplan.txt\n
kmlmarks|-n2 -o3 marks.txt marks.kml||marks.txt\nmarks.kml\n23
kmlmarks|-o 3 marks.txt marks.kml|2|marks.txt\nmarks.kml\n23
kmlmarks_basic|--notation=3 points.txt points.kml||points.txt\npoints.kml\n3
kmlpath|-n 1 points.txt route.kml||points.txt\nroute.kml\n1
stakeout|-s 12 -s13 -r 150 reg.txt list.txt||reg.txt\nlist.txt\n12\n150\nD13\n150\nN
stakeout|--radius=50 reg.txt list.txt|25\nN|reg.txt\nlist.txt\n25\n50\nN
TABLE

# -q prints no screen; the screen of a run with every answer given is its
# final screen, printed at once.
run_in_folder quiet "$fixtures" "" "$programs/dxfpoints" -q plan.dxf plan.txt
check "dxfpoints -q prints nothing" test ! -s "$work/quiet/stdout"
run_in_folder loud "$fixtures" "" "$programs/dxfpoints" plan.dxf plan.txt
check "dxfpoints shows the given answers as typed" grep -q "plan.dxf" "$work/loud/stdout"

# The batch of the README over real drawings: one register per drawing, as
# the piped keys write it.
drawings=$source/../shared/testdata/dxf
if compgen -G "$drawings/*.dxf" >/dev/null; then
    mkdir -p "$work/batch" && cp "$drawings"/*.dxf "$work/batch/"
    for drawing in "$work"/batch/*.dxf; do
        (cd "$work/batch" && "$programs/dxfpoints" -q "$(basename "$drawing")" "$(basename "${drawing%.dxf}").txt" </dev/null)
        check "dxfpoints -q $(basename "$drawing"): exit 0" test $? = 0
        run_in_folder typed "$work/batch" "$(basename "$drawing")\\n$(basename "${drawing%.dxf}").txt\\n" "$programs/dxfpoints"
        check "$(basename "$drawing"): the register of the piped run" \
            cmp "${drawing%.dxf}.txt" "$work/typed/folder/$(basename "${drawing%.dxf}").txt"
    done
    check "one register per drawing" test "$(ls "$work"/batch/*.txt | wc -l)" = "$(ls "$work"/batch/*.dxf | wc -l)"
else
    echo "[ skipped  ] the batch over real drawings: no ../shared/testdata/dxf beside the repository"
fi

# Bad values and missing inputs given as arguments, with no keys.
#   program | arguments | exit code
while IFS='|' read -r name arguments code; do
    # shellcheck disable=SC2086
    run_in_folder given "$fixtures" "" "$programs/$name" $arguments
    if [ "$code" = 64 ]; then
        check "$name $arguments is a usage error" usage_error given
    else
        check "$name $arguments: exit $code" test "$(cat "$work/given/exit_code")" = "$code"
    fi
done <<'TABLE'
nmeadecode|-d x|64
nmeadecode|--delay|64
nmeadecode|-d 1 extra|64
logconvert|--yes=1|64
regscript|-l 9|64
regscript|-l 12|64
regscript|-t 2,5|64
regscript|-p -1|64
regscript|-p 1.5|64
regscript_basic|-l 1|64
kmlmarks|-o 5|64
kmlmarks|-n0|64
kmlpath|-o 1|64
stakeout|-s 2147483648|64
stakeout|-r 1e400|64
dxfpoints|missing.dxf out.txt|2
regscript|-l 1 -t 1 -p 1 missing.txt out.scr|2
kmlmarks|-n 1 -o 1 missing.txt out.kml|2
stakeout|-s 1 -r 1 missing.txt list.txt|2
TABLE

# A line end in an argument stays inside the one line of the report.
run_in_folder given "$fixtures" "" "$programs/dxfpoints" $'plan\n.dxf'
check "a line end in an argument is a usage error of one line" usage_error given

echo "$passes passed, $failures failed"
[ "$failures" = 0 ]
