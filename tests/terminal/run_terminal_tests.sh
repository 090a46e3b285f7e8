#!/usr/bin/env bash
# Real terminal cases: the programs run in a tmux pane of 80 x 25.
#   run_terminal_tests.sh <folder of the programs> <source folder>
# The recording is a named pipe that the test feeds line by line, so the
# replay waits exactly where the test wants it, whatever the handlers do.
set -u
programs=$(cd "$1" && pwd)
work=$(mktemp -d)
cases=0
socket="surveykit-terminal-$$-0"
tmux_() { tmux -L "$socket" -f /dev/null "$@"; }
failures=0
passes=0

cleanup() {
    tmux_ kill-server 2>/dev/null
    exec 3>&- 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

pass() { passes=$((passes + 1)); echo "ok: $1"; }
fail() { failures=$((failures + 1)); echo "FAILED: $1"; tmux_ capture-pane -p | sed 's/^/    | /'; }

# Waits up to 10 s until the pane shows the text.
wait_for() {
    local text=$1
    for _ in $(seq 100); do
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

# The replay knows a line is not the last only when the next one has come,
# so each step feeds one line more than it looks at.
feed() { printf ' %s -$GPXXX,1*00\r\n' "$@" >&3; }

# A new pane running a plain shell in a fresh folder with a piped recording.
start_pane() {
    tmux_ kill-server 2>/dev/null
    # Each case gets a server of its own: a dying one never takes the next.
    cases=$((cases + 1))
    socket="surveykit-terminal-$$-$cases"
    exec 3>&- 2>/dev/null
    rm -rf "$work/case" && mkdir -p "$work/case"
    mkfifo "$work/case/REC_COM.txt"
    exec 3<>"$work/case/REC_COM.txt"
    tmux_ new-session -d -x 80 -y 25 -c "$work/case" "env PS1='$ ' bash --norc --noprofile"  3>&-
    wait_for '$' || fail "the shell did not start"
    tmux_ send-keys "clear; $programs/nmeadecode; echo \"exit=\$?\"" Enter
}

# The terminal after the program: canonical mode and echo back, cursor on.
terminal_restored() {
    tmux_ send-keys "stty -a | tr ' ' '\\n' | grep -x -E 'icanon|echo' | tr '\\n' ' '; echo" Enter
    wait_for 'icanon echo' && [ "$(tmux_ display -p '#{cursor_flag}')" = 1 ]
}

# --- The dashboard, its colours, the stop key -------------------------------
start_pane
wait_for 'DELAY on presentation' || fail "no DELAY question"
tmux_ send-keys "0" Enter
wait_for 'For START and STOP' || fail "no START prompt"
tmux_ send-keys " "
feed '12 35 20.125' '12 35 21.125'
check "the dashboard shows the PC clock of the line" wait_for 'pc clock: 12 35 20.1  s'
screen=$(tmux_ capture-pane -p -e)
check "title row in white, banner in light blue" grep -qF $'\e[97m              (D)GPS NMEA-0183 DATA Decoder' <<<"$screen"
check "banner in light blue" grep -qF $'\e[94m surveykit 1.0' <<<"$screen"
# tmux writes a colour only where it changes: the label rows follow the
# switch to light grey at the end of the title row.
check "label rows in light grey" grep -qzF $'\e[37m\n                   date:' <<<"$screen"
check "row 1 stays empty" test -z "$(tmux_ capture-pane -p | head -1 | tr -d ' ')"
tmux_ send-keys "q"
feed '12 35 22.125'
check "a key stops the replay after the next line" wait_for 'exit=0'
check "the final dashboard stays on the screen" wait_for 'pc clock: 12 35 21.1  s'
check "the stop key does not reach the shell" bash -c "! tmux -L $socket capture-pane -p | grep -q '^\\$ q'"
check "terminal restored after the stop key" terminal_restored

# --- Cursor keys in line input, and a runtime error -------------------------
start_pane
wait_for 'DELAY on presentation' || fail "no DELAY question"
tmux_ send-keys "1,5" Left Left BSpace "x" Right BSpace Enter
check "line input edits with Left, Right and Backspace" wait_for '? ... x5'
check "a bad number is reported" wait_for 'Runtime error 106: invalid numeric format "x5"'
check "the error ends with its number" wait_for 'exit=106'
check "terminal restored after a runtime error" terminal_restored

# --- Signals: the terminal comes back, whatever stops the program ----------
for signal in INT TERM HUP; do
    start_pane
    wait_for 'DELAY on presentation' || fail "no DELAY question"
    tmux_ send-keys "0" Enter
    wait_for 'For START and STOP' || fail "no START prompt"
    tmux_ send-keys " "
    feed ' 1  2  3.000' ' 1  2  4.000'
    wait_for 'pc clock:  1  2  3.0  s' || fail "replay did not start"
    pkill -"$signal" -f "^$programs/nmeadecode"
    code=$((128 + $(kill -l "$signal")))
    if [ "$signal" = HUP ]; then
        # The shell in the pane goes with the hang-up: look at the program's
        # end from outside.
        for _ in $(seq 50); do pgrep -f "^$programs/nmeadecode" >/dev/null || break; sleep 0.1; done
        check "SIGHUP ends the replay" bash -c "! pgrep -f '^$programs/nmeadecode'"
    elif [ "$signal" = INT ]; then
        # The shell abandons the rest of its command line after a SIGINT.
        check "SIGINT ends the replay with a report" wait_for 'stopped by signal SIGINT'
        check "terminal restored after SIGINT" terminal_restored
    else
        check "SIG$signal ends the replay" wait_for "exit=$code"
        check "terminal restored after SIG$signal" terminal_restored
    fi
done

# --- A window smaller than 80 x 25 -----------------------------------------
start_pane
tmux_ resize-window -x 60 -y 20 2>/dev/null || tmux_ resize-pane -x 60 -y 20
wait_for 'DELAY on presentation' || fail "no DELAY question"
check "a small window says so" wait_for 'window too small'
tmux_ send-keys "0" Enter " "
feed ' 1  2  3.000'
exec 3>&-
check "the program still ends normally" wait_for 'exit=0'

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
