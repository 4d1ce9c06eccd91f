#!/usr/bin/env bash
# Screen-reader smoke test: runs Corvala on a private Xvfb display with its own
# session bus and accessibility bus, then lets atspi_smoke.py read and press
# widgets over AT-SPI. Usage: atspi_smoke.sh PATH/TO/corvala
set -u

here=$(cd "$(dirname "$0")" && pwd)
program=${1:?usage: atspi_smoke.sh PATH/TO/corvala}

# A missing tool is a skip, told to ctest by this status (SKIP_RETURN_CODE).
skip() {
    echo "atspi: skipped ($1)"
    exit 77
}

# --- Inside the private session bus: accessibility bus, program, checks. ---
if [ "${ATSPI_SMOKE_INNER:-}" = 1 ]; then
    launcher=$ATSPI_SMOKE_LAUNCHER
    "$launcher" --launch-immediately >"$ATSPI_SMOKE_TMP/bus-launcher.log" 2>&1 &
    launcher_pid=$!
    app_pid=
    finish() {
        [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
        kill "$launcher_pid" 2>/dev/null && wait "$launcher_pid" 2>/dev/null
    }
    trap finish EXIT

    # The program looks for the accessibility bus only when it starts.
    for _ in $(seq 100); do
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null |
            grep -q 'boolean true' && break
        sleep 0.1
    done

    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 \
        "$program" >"$ATSPI_SMOKE_TMP/corvala.log" 2>&1 &
    app_pid=$!

    timeout 90 "$ATSPI_SMOKE_PYTHON" "$here/atspi_smoke.py"
    status=$?
    [ "$status" = 124 ] && echo "atspi: FAILED: the checks did not finish within 90 s" >&2
    if [ "$status" != 0 ]; then
        echo "--- corvala output ---" >&2
        cat "$ATSPI_SMOKE_TMP/corvala.log" >&2
    fi
    exit "$status"
fi

# --- Outside: check the tools, start the display, run the rest inside the session bus. ---
[ -x "$program" ] || { echo "atspi: FAILED: no program at $program" >&2; exit 1; }
command -v Xvfb >/dev/null || skip "Xvfb is not installed"
command -v dbus-run-session >/dev/null || skip "dbus-run-session is not installed"
command -v dbus-send >/dev/null || skip "dbus-send is not installed"
launcher=
for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
    [ -x "$candidate" ] && { launcher=$candidate; break; }
done
[ -n "$launcher" ] || skip "at-spi-bus-launcher is not installed"
# The system Python carries the GObject bindings; a pyenv one on PATH may not.
python=
for candidate in /usr/bin/python3 "$(command -v python3 || true)"; do
    [ -n "$candidate" ] && [ -x "$candidate" ] || continue
    if "$candidate" -c 'import gi; gi.require_version("Atspi", "2.0"); from gi.repository import Atspi' \
        >/dev/null 2>&1; then
        python=$candidate
        break
    fi
done
[ -n "$python" ] || skip "no python3 with the Atspi GObject bindings"

tmp=$(mktemp -d)
xvfb_pid=
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display number and writes it to the file.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$tmp/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
display=$(tr -dc '0-9' <"$tmp/display")
if [ -z "$display" ]; then
    echo "atspi: FAILED: Xvfb did not start" >&2
    cat "$tmp/xvfb.log" >&2
    exit 1
fi

mkdir -m 700 "$tmp/runtime" "$tmp/config" "$tmp/data"
env -u QT_QPA_PLATFORM -u DBUS_SESSION_BUS_ADDRESS -u AT_SPI_BUS_ADDRESS \
    DISPLAY=":$display" XDG_RUNTIME_DIR="$tmp/runtime" XDG_CONFIG_HOME="$tmp/config" \
    XDG_DATA_HOME="$tmp/data" ATSPI_SMOKE_INNER=1 ATSPI_SMOKE_TMP="$tmp" ATSPI_SMOKE_LAUNCHER="$launcher" \
    ATSPI_SMOKE_PYTHON="$python" \
    dbus-run-session -- bash "$0" "$program" 2> >(grep -v 'Failed to set fd limit' >&2)
status=$?
echo "atspi: exit status $status"
exit "$status"
