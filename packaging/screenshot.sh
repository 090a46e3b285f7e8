#!/usr/bin/env bash
# The picture of the nmeadecode dashboard in the README: the program runs in
# a real terminal (a tmux pane of 80 x 25) on the example recording, the
# pane is captured with its colours halfway through the replay, and a
# headless browser renders the capture to a PNG.
#   packaging/screenshot.sh [<folder of the programs> [<png>]]
# Defaults: build/bin and doc/dashboard.png.
# Needs tmux and chromium, and a monospaced font with box and Cyrillic
# glyphs: apt-get install tmux chromium fonts-dejavu-core
set -euo pipefail
source=$(cd "$(dirname "$0")/.." && pwd)
programs=$(cd "${1:-$source/build/bin}" && pwd)
picture=$(realpath -m "${2:-$source/doc/dashboard.png}")
# The replay stops showing epoch 287 of 300: a DGPS stretch, with the
# beacon receiver and a full satellite table on the screen.
epochs=287
lines_per_epoch=10

for tool in tmux chromium; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is missing (apt-get install tmux chromium fonts-dejavu-core)" >&2; exit 2; }
done
[ -x "$programs/nmeadecode" ] || { echo "$0: no nmeadecode in $programs" >&2; exit 2; }

work=$(mktemp -d)
socket="surveykit-screenshot-$$"
tmux_() { tmux -L "$socket" -f /dev/null "$@"; }
cleanup() {
    tmux_ kill-server 2>/dev/null || true
    exec 3>&- 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

wait_for() {
    for _ in $(seq 100); do
        tmux_ capture-pane -p | grep -qF -- "$1" && return 0
        sleep 0.1
    done
    echo "$0: the pane never showed \"$1\"" >&2
    tmux_ capture-pane -p >&2
    exit 1
}

# The recording is a named pipe: the replay shows a line once the next one
# has come, so the picture is taken exactly where the feeding stops.
mkdir "$work/folder"
mkfifo "$work/folder/REC_COM.txt"
exec 3<>"$work/folder/REC_COM.txt"
tmux_ new-session -d -x 80 -y 25 -c "$work/folder" "env LANG=C.UTF-8 $programs/nmeadecode; sleep 600" 3>&-
tmux_ set-option -g status off >/dev/null
wait_for "DELAY on presentation"
tmux_ send-keys 0 Enter
wait_for "For START and STOP"
tmux_ send-keys " "
head -n $((epochs * lines_per_epoch + 1)) "$source/examples/REC_COM.txt" >&3
wait_for "$(printf '%11d points' "$epochs")"
sleep 0.5
tmux_ capture-pane -p -e > "$work/screen.ansi"
[ "$(wc -l < "$work/screen.ansi")" = 25 ] || { echo "$0: the pane is not 25 rows" >&2; exit 1; }

# The capture as HTML: one span per run of one colour, in the 16 colours
# of a PC console, ANSI order.
{
    cat <<'EOF'
<!DOCTYPE html>
<html><head><meta charset="utf-8"><style>
body { margin: 0; background: #d8dde3; }
.window { position: absolute; left: 16px; top: 16px; border-radius: 8px; overflow: hidden;
          box-shadow: 0 4px 14px rgba(0, 0, 0, 0.35); }
.bar { height: 28px; background: #3a3f46; color: #d0d4da; font: 13px/28px "DejaVu Sans", sans-serif;
       text-align: center; }
pre { margin: 0; padding: 10px 12px; background: #000; color: #aaa;
      font: 16px/20px "DejaVu Sans Mono", monospace; width: 80ch; height: 500px; }
.c0 { color: #000 } .c1 { color: #a00 } .c2 { color: #0a0 } .c3 { color: #a50 }
.c4 { color: #00a } .c5 { color: #a0a } .c6 { color: #0aa } .c7 { color: #aaa }
.c8 { color: #555 } .c9 { color: #f55 } .c10 { color: #5f5 } .c11 { color: #ff5 }
.c12 { color: #55f } .c13 { color: #f5f } .c14 { color: #5ff } .c15 { color: #fff }
</style></head><body><div class="window"><div class="bar">nmeadecode &mdash; 80 &times; 25</div><pre>
EOF
    awk '
        function escape(text) {
            gsub(/&/, "\\&amp;", text); gsub(/</, "\\&lt;", text); gsub(/>/, "\\&gt;", text)
            return text
        }
        function colour_of(codes,    n, parts, i, code) {
            n = split(codes, parts, ";")
            for (i = 1; i <= n; i++) {
                code = parts[i] + 0
                if (code == 0 || code == 39) colour = 7
                else if (code >= 30 && code <= 37) colour = code - 30
                else if (code >= 90 && code <= 97) colour = code - 90 + 8
                else if (code == 38 && parts[i + 1] == 5) { colour = parts[i + 2] + 0; i += 2 }
            }
        }
        BEGIN { colour = 7 }
        {
            line = $0
            out = ""
            while (match(line, /\033\[[0-9;]*m/)) {
                if (RSTART > 1) out = out "<span class=\"c" colour "\">" escape(substr(line, 1, RSTART - 1)) "</span>"
                colour_of(substr(line, RSTART + 2, RLENGTH - 3))
                line = substr(line, RSTART + RLENGTH)
            }
            if (line != "") out = out "<span class=\"c" colour "\">" escape(line) "</span>"
            print out
        }' "$work/screen.ansi"
    echo '</pre></div></body></html>'
} > "$work/screen.html"

# Window: the 80 x 25 cells (about 770 x 500 px), the bar and the margins.
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --force-device-scale-factor=1 \
    --window-size=826,580 --screenshot="$work/screen.png" "file://$work/screen.html" >/dev/null 2>&1
mkdir -p "$(dirname "$picture")"
cp "$work/screen.png" "$picture"
echo "wrote $picture"
