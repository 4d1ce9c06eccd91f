# Sourced by the scripts that drive Corvala under Wine on screen: a Wine
# prefix in "$dir/wine", a private X display with openbox, both ended when
# the script exits, and what they share: `fail` (with a screenshot),
# `shot NAME` and `wait_window REGEX SECONDS`. Needs $dir and $name (the
# word that starts each message) set before it is sourced.

export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree=;mshtml="
export WINEPREFIX="$dir/wine"
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64

pids=()
cleanup() {
    WINEPREFIX="$WINEPREFIX" "$wineserver" -k 2>/dev/null || true
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
}
trap cleanup EXIT

fifo="$dir/displayfd"
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
pids+=($!)
read -r display <"$fifo"
export DISPLAY=":$display"
openbox >/dev/null 2>&1 &
pids+=($!)

fail() { echo "$name: $*" >&2; import -window root "$dir/shots/failure.png" || true; exit 1; }
shot() { import -window root "$dir/shots/$1.png"; }
# Waits up to $2 seconds for a visible window whose title matches the
# regular expression $1; prints its id.
wait_window_like() {
    local i id
    for ((i = 0; i < $2 * 2; i++)); do
        if id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)" && [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.5
    done
    return 1
}
# The same for a window titled exactly $1.
wait_window() { wait_window_like "^$1\$" "$2"; }
