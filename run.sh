#!/usr/bin/env bash
# Installs what is missing, builds both programs, prepares a program folder under
# build/program, starts the stand-in velbrook service and then the updater from
# inside the program folder (the updater starts pixelvane).
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)
source scripts/deps.sh
pv_install_deps

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display. Start it under a virtual one, for example:" >&2
  echo "  xvfb-run -a -s \"-screen 0 1280x800x24\" ./run.sh" >&2
  exit 1
fi

BUILD_DIR=${PV_BUILD_DIR:-build}
PROGRAM_DIR="$ROOT/$BUILD_DIR/program"
STATE_DIR="$ROOT/$BUILD_DIR/service-state"
SAMPLES_DIR="$ROOT/$BUILD_DIR/SamplePhotos"

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" -j2 --target pixelvane updater mksamples program_folder
cmake --install "$BUILD_DIR" --prefix "$PROGRAM_DIR" >/dev/null

# A dozen sample photos, remembered as the folder photos were last picked from,
# so the file selection dialog shows something at once.
if [ ! -d "$SAMPLES_DIR" ] || [ -z "$(ls -A "$SAMPLES_DIR" 2>/dev/null)" ]; then
  "$BUILD_DIR/tools/mksamples/mksamples" "$SAMPLES_DIR"
fi
python3 - "$PROGRAM_DIR/system.ini" "$SAMPLES_DIR" <<'PY'
import sys
path, samples = sys.argv[1], sys.argv[2]
text = open(path, 'rb').read().decode('utf-8', 'replace')
if '[recent.directory]' not in text.lower():
    if text and not text.endswith('\n'):
        text += '\r\n'
    text += '[recent.directory]\r\ndir=%s\r\n' % samples
    open(path, 'wb').write(text.encode('utf-8'))
PY

HTTP_PORT=$(sed -n 's/^httpport=\([0-9]*\).*/\1/p' "$PROGRAM_DIR/system.ini" | head -n1)
FTP_PORT=$(sed -n 's/^ftpport=\([0-9]*\).*/\1/p' "$PROGRAM_DIR/system.ini" | head -n1)

mkdir -p "$STATE_DIR"
READY=$(mktemp)
/usr/bin/python3 devservice/velbrookd.py --state "$STATE_DIR" --http-port "$HTTP_PORT" --ftp-port "$FTP_PORT" \
  >"$READY" 2>"$BUILD_DIR/service.log" &
SERVICE_PID=$!
trap 'kill "$SERVICE_PID" 2>/dev/null || true; wait "$SERVICE_PID" 2>/dev/null || true; rm -f "$READY"' EXIT
for _ in $(seq 1 100); do
  [ -s "$READY" ] && break
  if ! kill -0 "$SERVICE_PID" 2>/dev/null; then
    echo "run.sh: the stand-in service did not start (ports $HTTP_PORT/$FTP_PORT busy?); see $BUILD_DIR/service.log" >&2
    exit 1
  fi
  sleep 0.1
done
echo "Stand-in service ready: $(cat "$READY")"
echo "Demo account: demo@velbrook.test / demo"

cd "$PROGRAM_DIR"
./updater
