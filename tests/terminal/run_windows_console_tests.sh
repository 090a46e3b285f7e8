#!/usr/bin/env bash
# The Windows build in a console window: the programs run under wine in a
# tmux pane of 80 x 25, where wine gives them a console of their own, so the
# Windows console backend (key events, cells written through the console
# API, colours as attributes) is what the pane shows.
#   run_windows_console_tests.sh <folder of the programs> <source folder> <wine>
set -u
programs=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
wine=$3
work=$(mktemp -d)
cases=0
socket="surveykit-console-$$-0"
tmux_() { tmux -L "$socket" -f /dev/null "$@"; }
failures=0
passes=0

cleanup() {
    tmux_ kill-server 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

pass() { passes=$((passes + 1)); echo "ok: $1"; }
fail() { failures=$((failures + 1)); echo "FAILED: $1"; tmux_ capture-pane -p | sed 's/^/    | /'; }

# Waits up to 30 s (wine may take a while to start) until the pane shows
# the text.
wait_for() {
    local text=$1
    for _ in $(seq 300); do
        tmux_ capture-pane -p | grep -qF -- "$text" && return 0
        sleep 0.1
    done
    return 1
}

check() {
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

# A new pane running a plain shell in a fresh folder holding `inputs`; the
# program starts at once.
start_pane() {
    local program=$1 inputs=$2
    tmux_ kill-server 2>/dev/null
    cases=$((cases + 1))
    socket="surveykit-console-$$-$cases"
    rm -rf "$work/case" && mkdir -p "$work/case"
    [ -n "$inputs" ] && cp -r "$inputs"/. "$work/case"
    tmux_ new-session -d -x 80 -y 25 -c "$work/case" "env PS1='$ ' LANG=C.UTF-8 bash --norc --noprofile"
    wait_for '$' || fail "the shell did not start"
    tmux_ send-keys "clear; $wine $programs/$program.exe; echo \"exit=\$?\"" Enter
}

# The terminal itself belongs to wine's console host, which sets it up and
# gives it back; these cases look at what the programs do with the console.

# --- Bulgarian texts, typed Cyrillic names, line editing --------------------
golden=$source/tests/golden/stakeout/cyrillic_names
start_pane stakeout "$golden/in"
check "the Bulgarian prompts show as Cyrillic" wait_for 'Входен файл :'
# Esc erases what was typed; Left and Backspace edit inside the line. Esc
# goes alone: on a terminal, wine takes Esc and the next key at once for
# Alt and that key.
tmux_ send-keys "junk"
wait_for 'Входен файл : junk' || fail "no echo of typed keys"
tmux_ send-keys Escape
sleep 0.5
tmux_ send-keys "точкиZ.txt" Left Left Left Left BSpace
check "line input edits with Esc, Left and Backspace" wait_for 'Входен файл : точки.txt'
tmux_ send-keys Enter "трасиране.txt" Enter "13" Enter "60" Enter "N"
check "the program ends" wait_for 'exit=0'
check "a Cyrillic name typed in the console names the listing" \
    cmp -s "$golden/out/трасиране.txt" "$work/case/трасиране.txt"

# --- The dashboard, its colours, the stop key -------------------------------
start_pane nmeadecode "$source/examples"
wait_for 'DELAY on presentation' || fail "no DELAY question"
# A second for each fix: the replay is still running when the stop key
# comes, which ends the wait at once.
tmux_ send-keys "1" Enter
wait_for 'For START and STOP' || fail "no START prompt"
tmux_ send-keys " "
check "the replay shows the first fix" wait_for 'counter:           1 points'
screen=$(tmux_ capture-pane -p -e)
check "title row in white" grep -qF $'\e[97m              (D)GPS NMEA-0183 DATA Decoder' <<<"$screen"
check "banner in light blue" grep -qF $'\e[94m surveykit 1.0' <<<"$screen"
tmux_ send-keys "q"
check "a key stops the replay" wait_for 'exit=0'
check "the final dashboard stays on the screen" wait_for 'counter:'
check "the stop key does not reach the shell" bash -c "! tmux -L $socket capture-pane -p | grep -q '^\\$ q'"
check "the fix log is closed with its records" grep -q '^ 12 30  0.257 12 30  0.000' "$work/case/GPS_CORE.txt"

# --- Ctrl-C ---------------------------------------------------------------------
start_pane nmeadecode "$source/examples"
wait_for 'DELAY on presentation' || fail "no DELAY question"
tmux_ send-keys "1" Enter
wait_for 'For START and STOP' || fail "no START prompt"
tmux_ send-keys " "
wait_for 'counter:           1 points' || fail "replay did not start"
tmux_ send-keys C-c
check "Ctrl-C ends the replay with a report" wait_for 'Runtime error 130: stopped by Ctrl-C'
# The exit code of a Ctrl-C stop, STATUS_CONTROL_C_EXIT, reaches the shell
# cut to its low byte.
check "the program ends as stopped by Ctrl-C" wait_for 'exit=58'
check "the fix log keeps what was written" grep -q '^ 12 30  0.257 12 30  0.000' "$work/case/GPS_CORE.txt"
check "the track is closed as at the stop key" grep -q '^</kml>' "$work/case/GPS_CORE.kml"

# --- Cursor keys in line input; a typed number that is not one is asked
# again, and a decimal comma is a point ------------------------------------
start_pane nmeadecode "$source/examples"
wait_for 'DELAY on presentation' || fail "no DELAY question"
tmux_ send-keys "1,5" Left Left BSpace "x" Right BSpace Enter
check "line input edits with Left, Right and Backspace" wait_for 'Not accepted: "x5" - type it again'
tmux_ send-keys "0,5" Enter
check "a decimal comma reads as a point: the run goes on" wait_for 'For START and STOP'
tmux_ send-keys " "
wait_for 'counter:' || fail "replay did not start"
tmux_ send-keys "q"
check "and ends as always" wait_for 'exit=0'

# --- A window smaller than 80 x 25 -----------------------------------------
start_pane nmeadecode "$source/examples"
tmux_ resize-window -x 60 -y 20 2>/dev/null || tmux_ resize-pane -x 60 -y 20
wait_for 'DELAY on presentation' || fail "no DELAY question"
check "a small window says so" wait_for 'window too small'
tmux_ send-keys "0" Enter " "
check "the program still ends normally" wait_for 'exit=0'

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
