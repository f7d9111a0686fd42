#!/usr/bin/env bash
# Pictures of every window and dialog, in English and Chinese, for a person to look at:
#   scripts/gallery.sh [OUTDIR]   (default build/gallery)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${PV_BUILD_DIR:-build}
OUT=$(realpath -m "${1:-$BUILD_DIR/gallery}")
cmake --build "$BUILD_DIR" -j2 --target gallery pixvane_zh_qm quillmere_zh_qm pixvane_en_qm quillmere_en_qm >/dev/null
for language in en zh; do
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" "$BUILD_DIR/tools/gallery/gallery" "$OUT" "$language"
done
echo "pictures in $OUT"
