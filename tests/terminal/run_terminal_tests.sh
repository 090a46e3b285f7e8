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
feed_lines() { printf '%s\r\n' "$@" >&3; }
gga='  1  2  3.000 -$GPGGA,123519.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*47'
gsa='  1  2  3.100 -$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39'

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
    # The time the program ended, for the cases that measure it.
    tmux_ send-keys "clear; $programs/nmeadecode; code=\$?; date +%s%N >$work/ended; echo \"exit=\$code\"" Enter
}

# The terminal after the program: canonical mode and echo back, cursor on.
terminal_restored() {
    tmux_ send-keys "stty -a | tr ' ' '\\n' | grep -x -E 'icanon|echo' | tr '\\n' ' '; echo" Enter
    wait_for 'icanon echo' && [ "$(tmux_ display -p '#{cursor_flag}')" = 1 ]
}

# The program running in the pane, found as the child of the pane's shell.
program_pid() {
    local shell pid
    shell=$(tmux_ display -p '#{pane_pid}')
    for _ in $(seq 50); do
        pid=$(pgrep -P "$shell" -x "$1") && { echo "$pid"; return 0; }
        sleep 0.1
    done
    return 1
}

# The terminal of the pane as the program runs: raw keys, no echo.
terminal_raw() {
    stty -a -F "$(tmux_ display -p '#{pane_tty}')" | tr ' ' '\n' | grep -x -E -- '-icanon|-echo' | wc -l | grep -qx 2
}

# Every line of the file ends with CR LF, the last one too.
crlf_lines() {
    [ "$(tail -c 2 "$1" | od -An -c | tr -d ' ')" = '\r\n' ] && ! grep -qv $'\r$' "$1"
}

# The document is well-formed XML (xmllint, when it is installed).
well_formed() {
    if ! command -v xmllint >/dev/null; then
        echo "xmllint not found: $1 not checked"
        return 0
    fi
    xmllint --noout "$1"
}

# The shell's report of a stopped job stands below the last row of the
# dashboard, not inside it.
stopped_below_dashboard() {
    local pane last stopped
    pane=$(tmux_ capture-pane -p)
    last=$(grep -n 'frequency:' <<<"$pane" | cut -d: -f1)
    stopped=$(grep -n 'Stopped' <<<"$pane" | cut -d: -f1)
    [ -n "$last" ] && [ -n "$stopped" ] && [ "$stopped" -gt "$last" ]
}

# Waits up to 10 s until the process has ended.
ended() {
    for _ in $(seq 100); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.1
    done
    return 1
}

# Waits up to 10 s until the pane shows exactly the given screen.
wait_for_screen() {
    for _ in $(seq 100); do
        [ "$(tmux_ capture-pane -p)" = "$1" ] && return 0
        sleep 0.1
    done
    return 1
}

# Nothing the shell writes after the program is coloured: its new prompt
# line, captured alone, carries no colour at all.
colours_reset() {
    local row
    for _ in $(seq 50); do
        row=$(tmux_ capture-pane -p | grep -n '^\$ *$' | tail -1 | cut -d: -f1)
        [ -n "$row" ] && break
        sleep 0.1
    done
    [ -n "$row" ] && ! tmux_ capture-pane -p -e -S $((row - 1)) -E $((row - 1)) | grep -q $'\e'
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

# --- Cursor keys in line input; a typed number that is not one is asked
# again, and a decimal comma is a point ------------------------------------
start_pane
wait_for 'DELAY on presentation' || fail "no DELAY question"
tmux_ send-keys "1,5" Left Left BSpace "x" Right BSpace Enter
check "line input edits with Left, Right and Backspace" wait_for 'Not accepted: "x5" - type it again'
check "the refused answer is cleared" bash -c "! tmux -L $socket capture-pane -p | grep -qF '? ... x5'"
tmux_ send-keys "0,5" Enter
check "a decimal comma reads as a point: the run goes on" wait_for 'For START and STOP'
check "the note goes with the answer taken" bash -c "! tmux -L $socket capture-pane -p | grep -q 'Not accepted'"
tmux_ send-keys " "
feed '12 35 20.125' '12 35 21.125'
check "the replay runs after the answer asked again" wait_for 'pc clock: 12 35 20.1  s'
tmux_ send-keys "q"
feed '12 35 22.125'
check "and ends as always" wait_for 'exit=0'

# --- Signals: the outputs are whole and the terminal comes back, whatever
# stops the program -----------------------------------------------------------
for signal in INT TERM HUP QUIT; do
    start_pane
    wait_for 'DELAY on presentation' || fail "no DELAY question"
    tmux_ send-keys "0" Enter
    wait_for 'For START and STOP' || fail "no START prompt"
    tmux_ send-keys " "
    feed_lines "$gga" "$gsa" '  1  2  4.000 -$GPXXX,1*00'
    wait_for 'pc clock:  1  2  3.1  s' || fail "replay did not start"
    if ! pid=$(program_pid nmeadecode); then
        fail "no nmeadecode in the pane"
        continue
    fi
    kill -"$signal" "$pid"
    code=$((128 + $(kill -l "$signal")))
    if [ "$signal" = INT ]; then
        # The shell abandons the rest of its command line after a SIGINT.
        check "SIGINT ends the replay with a report" wait_for 'stopped by signal SIGINT'
    else
        check "SIG$signal ends the replay" wait_for "exit=$code"
    fi
    check "colours reset after SIG$signal" colours_reset
    check "terminal restored after SIG$signal" terminal_restored
    check "the track is closed whole after SIG$signal" well_formed "$work/case/GPS_CORE.kml"
    check "every fix log line ends in CR LF after SIG$signal" crlf_lines "$work/case/GPS_CORE.txt"
done

# --- Ctrl-Z and fg: the shell gets the terminal as it was, and the program
# takes it back whole ----------------------------------------------------------
start_pane
wait_for 'DELAY on presentation' || fail "no DELAY question"
tmux_ send-keys "0" Enter
wait_for 'For START and STOP' || fail "no START prompt"
tmux_ send-keys " "
feed ' 1  2  3.000' ' 1  2  4.000'
wait_for 'pc clock:  1  2  3.0  s' || fail "replay did not start"
pid=$(program_pid nmeadecode) || fail "no nmeadecode in the pane"
dashboard=$(tmux_ capture-pane -p)
check "raw keys while the replay runs" terminal_raw
tmux_ send-keys C-z
wait_for 'Stopped' || fail "Ctrl-Z did not stop the job"
check "the shell's Stopped comes below the dashboard" stopped_below_dashboard
check "colours reset while stopped" colours_reset
tmux_ send-keys "fg" Enter
check "fg draws the whole dashboard anew" wait_for_screen "$dashboard"
check "raw keys are back after fg" terminal_raw
tmux_ send-keys "q"
feed ' 1  2  5.000'
# The shell dropped the rest of its command line at the stop: the end is
# seen from the process.
check "the stop key works at once after fg" ended "$pid"
check "terminal restored after Ctrl-Z, fg and the stop key" terminal_restored

# --- Control bytes in a recorded field show as "?" and move nothing --------
station_gga=$'  1  2  5.000 -$GPGGA,123519.00,4807.0380,N,01131.0000,E,2,08,0.9,545.4,M,46.9,M,3.0,\b\b\e[2J\e[H*47'
lines=('  1  2  3.000 -$GPXXX,1*00' "$station_gga" '  1  2  6.000 -$GPXXX,1*00')
start_pane
wait_for 'DELAY on presentation' || fail "no DELAY question"
tmux_ send-keys "0" Enter
wait_for 'For START and STOP' || fail "no START prompt"
tmux_ send-keys " "
feed_lines "${lines[0]}" "${lines[1]}"
wait_for 'pc clock:  1  2  3.0  s' || fail "replay did not start"
row_23=$(tmux_ capture-pane -p | sed -n 23p)
feed_lines "${lines[2]}" '  1  2  7.000 -$GPXXX,1*00'
wait_for 'pc clock:  1  2  6.0  s' || fail "the station line was not replayed"
screen=$(tmux_ capture-pane -p)
# Cell by cell: the label row keeps every cell but the nine of the station,
# whose backspaces and escapes show as "?".
expected_23="${row_23:0:25}???[2J?[H${row_23:34}"
check "the station's control bytes show as ? in its cells" test "$(sed -n 23p <<<"$screen")" = "$expected_23"
# And the terminal shows every cell as the model holds it: the same lines
# through the stream console.
mkdir -p "$work/stream" && printf '%s\r\n' "${lines[@]}" >"$work/stream/REC_COM.txt"
(cd "$work/stream" && printf '0\n\n' | "$programs/nmeadecode" >screen.txt)
check "every other cell of the frame is intact" test "$screen" = "$(cat "$work/stream/screen.txt")"
exec 3>&-
wait_for 'exit=0' || fail "the replay did not end"

# --- DELAY 1: a key ends the wait of a fix at once ---------------------------
start_pane
wait_for 'DELAY on presentation' || fail "no DELAY question"
tmux_ send-keys "1" Enter
wait_for 'For START and STOP' || fail "no START prompt"
tmux_ send-keys " "
feed_lines "$gga" "${gga/123519/123520}" "${gga/123519/123521}"
wait_for 'utc: 12 35  19.0' || fail "the first fix did not come"
# The second fix waits its second now: the key ends that wait.
started=$(date +%s%N)
tmux_ send-keys "q"
check "a key stops a DELAY 1 replay" wait_for 'exit=0'
elapsed_ms=$(( ($(cat "$work/ended") - started) / 1000000 ))
check "within 0.3 s (took $elapsed_ms ms)" test "$elapsed_ms" -lt 300

# --- A signal at a prompt: every program gives the terminal back -----------

# A new pane with a plain shell in a fresh folder holding a small file for
# every program, which it then runs: start_program <program>.
start_program() {
    tmux_ kill-server 2>/dev/null
    cases=$((cases + 1))
    socket="surveykit-terminal-$$-$cases"
    rm -rf "$work/case" && mkdir -p "$work/case"
    printf ' 12 35 20.125 -$GPGGA,123519.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n' \
        >"$work/case/REC_COM.txt"
    printf '  08.12.2026  12:30:00.257\r\n$GPGGA,1\r\n  RX COM1 4800\r\n\r\n' >"$work/case/NMEA_Wsp.txt"
    printf '1 100 200 10\r\n2 110 210 11\r\n' >"$work/case/reg.txt"
    printf '  0\r\nPOINT\r\n 10\r\n1.5\r\n 20\r\n2.5\r\n' >"$work/case/drawing.dxf"
    printf '1 42.5 23.3\r\n' >"$work/case/points.txt"
    tmux_ new-session -d -x 80 -y 25 -c "$work/case" "env PS1='$ ' bash --norc --noprofile"
    wait_for '$' || fail "the shell did not start"
    tmux_ send-keys "clear; $programs/$1; echo \"exit=\$?\"" Enter
}

# signal_at_prompt <program> <signal> <first screen text> <prompt text>
# [keys ...]: once the program shows its first screen, the keys are typed
# (each argument is one send-keys: "reg.txt Enter"); when the text of the
# prompt shows, the signal stops the program waiting there.
signal_at_prompt() {
    local program=$1 signal=$2 first=$3 prompt=$4 pid code keys
    shift 4
    start_program "$program"
    if ! wait_for "$first" || ! pid=$(program_pid "$program"); then
        fail "$program does not start"
        return
    fi
    for keys in "$@"; do
        # shellcheck disable=SC2086 # one word per key name
        tmux_ send-keys $keys
    done
    if ! wait_for "$prompt"; then
        fail "$program does not reach \"$prompt\""
        return
    fi
    # The prompt stands just before its wait: give the wait a moment.
    sleep 0.2
    kill -"$signal" "$pid"
    code=$((128 + $(kill -l "$signal")))
    if [ "$signal" = INT ]; then
        # The shell abandons the rest of its command line after a SIGINT.
        check "$program: SIGINT at \"$prompt\" is reported" wait_for 'stopped by signal SIGINT'
    else
        check "$program: SIG$signal at \"$prompt\" ends it with $code" wait_for "exit=$code"
    fi
    check "$program: colours reset after SIG$signal at \"$prompt\"" colours_reset
    check "$program: terminal restored after SIG$signal at \"$prompt\"" terminal_restored
}

# The first prompt of every program.
for signal in INT TERM HUP; do
    signal_at_prompt nmeadecode "$signal" 'DELAY on presentation' 'DELAY on presentation'
    signal_at_prompt logconvert "$signal" 'For START and STOP' 'For START and STOP'
    signal_at_prompt regscript "$signal" 'surveykit 1.0' 'surveykit 1.0'
    signal_at_prompt regscript_basic "$signal" 'surveykit 1.0' 'surveykit 1.0'
    signal_at_prompt dxfpoints "$signal" 'surveykit 1.0' 'surveykit 1.0'
    signal_at_prompt kmlmarks "$signal" '(*.txt) ? :' '(*.txt) ? :'
    signal_at_prompt kmlmarks_basic "$signal" '(id latitude longitude)' '(id latitude longitude)'
    signal_at_prompt kmlpath "$signal" '(id latitude longitude)' '(id latitude longitude)'
    signal_at_prompt stakeout "$signal" 'surveykit 1.0' 'surveykit 1.0'
done

# Later prompts: a key wait, a real answer, a one-key menu, the last ones.
signal_at_prompt nmeadecode TERM 'DELAY on presentation' 'For START and STOP' '0 Enter'
signal_at_prompt regscript TERM 'surveykit 1.0' 'out.scr' '1' 'reg.txt Enter' 'out.scr Enter'
signal_at_prompt regscript QUIT 'surveykit 1.0' 'reg.txt' '1' 'reg.txt Enter'
signal_at_prompt regscript_basic HUP 'surveykit 1.0' 'out.scr' 'reg.txt Enter' 'out.scr Enter'
signal_at_prompt dxfpoints INT 'surveykit 1.0' 'drawing.dxf' 'drawing.dxf Enter'
signal_at_prompt kmlmarks INT '(*.txt) ? :' 'points.kml' 'points.txt Enter' 'points.kml Enter'
signal_at_prompt kmlpath HUP '(id latitude longitude)' 'points.kml' 'points.txt Enter' 'points.kml Enter'
signal_at_prompt stakeout TERM 'surveykit 1.0' 'D/N :' 'reg.txt Enter' 'list.txt Enter' '1 Enter' '100 Enter'
signal_at_prompt logconvert INT 'For START and STOP' 'Conversion is done.' 'x'

# --- regscript: letters at the text height are asked again, "2,5" is 2.5;
# an output that is the input is a runtime error ------------------------------
start_program regscript
wait_for 'surveykit 1.0' || fail "regscript does not start"
tmux_ send-keys 1 && tmux_ send-keys reg.txt Enter && tmux_ send-keys out.scr Enter && tmux_ send-keys abc Enter
check "letters at the text height are refused" wait_for 'Not accepted: "abc" - type it again'
tmux_ send-keys "2,5" Enter && tmux_ send-keys 2 Enter
wait_for '2,5' && tmux_ send-keys x
check "the run then ends normally" wait_for 'exit=0'
check "the script has the text height 2.5" grep -qF "2.500 0 1" "$work/case/out.scr"
start_program regscript
wait_for 'surveykit 1.0' || fail "regscript does not start"
tmux_ send-keys 1 && tmux_ send-keys reg.txt Enter && tmux_ send-keys reg.txt Enter
check "an output that is the input is reported" wait_for 'Runtime error 22: cannot create "reg.txt"'
check "the error ends with its number" wait_for 'exit=22'
check "terminal restored after a runtime error" terminal_restored

# --- Answers as arguments: the replay starts without the start key ---------
start_program "nmeadecode -d 0"
check "nmeadecode -d 0 replays without a key" wait_for 'exit=0'
check "its fix log is written" test -s "$work/case/GPS_CORE.txt"
check "terminal restored after a run with arguments" terminal_restored

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
