#!/usr/bin/env bash
# The manual pages: each renders without a warning, names its program as
# --help does, and carries every example of its README section word for
# word; and the README examples, run, give the output the README shows.
#   manual_test.sh <folder of the programs> <source folder> <program>...
set -u
programs=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
shift 2
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

# The text of a page's example blocks (.EX to .EE), with the escapes the
# pages use undone.
examples_of_page() {
    sed -n '/^\.EX$/,/^\.EE$/p' "$1" |
        sed -e 's/\\(aq/'"'"'/g' -e 's/\\(dq/"/g' -e 's/\\-/-/g' -e 's/\\&//g' -e 's/\\e/\\/g'
}

# The code blocks of a README section, one file per block in $work/blocks:
# NN.sh for commands, NN.out for the text that follows them. The README
# runs the programs from build/demo as ../bin/name; a manual runs them from
# the PATH in the folder of the data.
split_section() {
    local name=$1
    rm -rf "$work/blocks" && mkdir "$work/blocks"
    sed -n "/^<!-- $name -->\$/,/^<!-- \\/$name -->\$/p" "$source/README.md" |
        sed -e 's|^cd build/demo && ||' -e 's|\.\./bin/||g' |
        awk -v folder="$work/blocks" '
            /^```/ && file == "" { kind = ($0 == "```sh") ? "sh" : "out"; file = sprintf("%s/%02d.%s", folder, ++count, kind); printf "" > file; next }
            /^```$/ { close(file); file = ""; next }
            file != "" { print > file }'
}

contains_block() {
    local haystack=$1 block=$2
    [[ "$haystack" == *"$(cat "$block")"* ]]
}

# Runs a README command block in a fresh copy of the examples, with the
# programs on the PATH; compares what it prints with the block after it,
# line ends aside.
example_gives() {
    local commands=$1 expected=$2
    rm -rf "$work/demo" && cp -r "$source/examples" "$work/demo"
    (cd "$work/demo" && PATH="$programs:$PATH" timeout 60 bash -e "$commands" >"$work/printed" 2>"$work/errors") || return 1
    [ -z "$expected" ] && return 0
    diff <(tr -d '\r' <"$work/printed") "$expected"
}

if command -v groff >/dev/null; then
    for page in "$source"/doc/man/*.[17]; do
        check "$(basename "$page") renders without warnings" \
            test -z "$(groff -k -Tutf8 -man -ww -z "$page" 2>&1)"
    done
else
    echo "groff not found: the rendering of the manual pages is not checked"
fi

for name in "$@"; do
    page=$source/doc/man/$name.1
    check "$name has a manual page" test -f "$page"
    [ -f "$page" ] || continue
    title=$(sed -n '/^\.SH NAME$/{n;p;q}' "$page" | sed 's/\\-/-/g')
    check "the page of $name names it as --help does" test "$title" = "$("$programs/$name" --help | head -1)"
    check "surveykit(7) lists $name" grep -q "^\.BR $name (1)" "$source/doc/man/surveykit.7"

    split_section "$name"
    check "README has a section for $name with an example" compgen -G "$work/blocks/*.sh" >/dev/null
    examples=$(examples_of_page "$page")
    previous_commands=""
    for block in "$work"/blocks/*; do
        check "the page of $name carries README block $(basename "$block")" contains_block "$examples" "$block"
        case $block in
        *.sh)
            [ -n "$previous_commands" ] && check "README example $previous_commands of $name runs" example_gives "$previous_commands" ""
            previous_commands=$block ;;
        *.out)
            if [ -n "$previous_commands" ]; then
                check "README example $(basename "$previous_commands") of $name gives the text shown" \
                    example_gives "$previous_commands" "$block"
                previous_commands=""
            fi ;;
        esac
    done
    [ -n "$previous_commands" ] && check "README example $(basename "$previous_commands") of $name runs" example_gives "$previous_commands" ""
done

echo "$passes passed, $failures failed"
[ "$failures" = 0 ]
