#!/bin/sh
# Runs a test inside a private session bus with a fresh, unlocked gnome-keyring,
# so the system credential store is exercised without touching anyone's own
# keyring; with --no-keyring inside the bus alone. Without dbus-run-session or
# gnome-keyring-daemon the test runs as is.
set -eu
keyring=yes
if [ "${1:-}" = "--no-keyring" ]; then
    keyring=no
    shift
fi
command -v dbus-run-session >/dev/null 2>&1 && command -v gnome-keyring-daemon >/dev/null 2>&1 || exec "$@"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/run"
HOME="$home" XDG_DATA_HOME="$home/share" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run" \
    dbus-run-session -- sh -c '
        [ "$1" = no ] && shift && exec "$@"
        shift
        printf test | gnome-keyring-daemon --foreground --unlock --components=secrets >/dev/null 2>&1 &
        keyring=$!
        # The daemon takes its bus name shortly after it starts.
        for _ in $(seq 100); do
            dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
                org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null |
                grep -q "boolean true" && break
            sleep 0.1
        done
        status=0
        "$@" || status=$?
        kill "$keyring" 2>/dev/null || true
        wait "$keyring" 2>/dev/null || true
        exit $status
    ' sh "$keyring" "$@"
