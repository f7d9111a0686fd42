#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, tree build-fuzz) and runs each for SECONDS.
#   scripts/fuzz.sh SECONDS [target...]
# Each target starts from a small seed corpus made here and keeps what it
# learns in build-fuzz/corpus/<target>; a crash or broken contract leaves its
# input in build-fuzz/findings/<target>/ and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: scripts/fuzz.sh SECONDS [target...]}
shift
source scripts/deps.sh
PV_PACKAGES+=(clang libclang-rt-14-dev)
pv_install_deps

BUILD_DIR=${PV_FUZZ_BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPV_FUZZ=ON \
  -DPV_BUILD_TESTS=OFF >/dev/null
all=(fuzz_reply fuzz_uploadanswers fuzz_ftplist fuzz_version fuzz_ini fuzz_uploadlog)
targets=("${@:-${all[@]}}")
cmake --build "$BUILD_DIR" -j2 --target "${targets[@]}"

# seed TARGET NAME TEXT: one seed file (printf escapes allowed).
seed() { mkdir -p "$BUILD_DIR/corpus/$1"; printf "$3" >"$BUILD_DIR/corpus/$1/seed-$2"; }
value='</\\/>'
seed fuzz_reply value "${value}1234${value}"
seed fuzz_reply list '[/begin/]12/\\/Holiday/\\/x/\\/7<br/>13/\\/Trip/\\/y/\\/0[/end/]'
seed fuzz_reply ack "HTTP/1.1 200 OK\r\n\r\n${value}1${value}"
seed fuzz_reply refused "${value}0${value}"
seed fuzz_uploadanswers id "\r\n${value}987654${value}\r\n"
seed fuzz_uploadanswers key "${value}$(printf 'k%.0s' {1..64})/|/ABCDEF0123${value}"
seed fuzz_uploadanswers nul "${value}5${value}\0tail"
# Two bytes pick "today", then one listing line.
seed fuzz_ftplist unix '\x5a\x10-rw-r--r--   1 ftp ftp 1000 Jan 05 12:34 readme.txt\r\n'
seed fuzz_ftplist leap '\x22\x83-rw-r--r--   1 ftp ftp 10 Feb 29 10:00 leap.txt\r\n'
seed fuzz_ftplist link '\x00\x01lrwxrwxrwx 1 root root 7 Jan  1  2020 latest -> v1.5/bin\n'
seed fuzz_ftplist dos '\x10\x0001-05-09  12:34PM       <DIR>          element\r\n'
seed fuzz_ftplist dir '\x10\x0006/15/2021  01:34 PM            1,234,567 photo.jpg\r\n'
seed fuzz_version plain 'HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n1.5'
seed fuzz_version whole 'HTTP/1.1 200 OK\r\n\r\n123\r\n'
seed fuzz_ini full '\x05[user.info]\r\nusername=a@b.c\r\npassword=x\r\n[version]\r\nver=1.5\r\n[service]\r\nhttpport=80\r\n'
seed fuzz_ini odd '\x03; comment\n[Version]\nVER = 2 \n[version]\nver=3'
seed fuzz_uploadlog line '\x001||demo@velbrook.test||/home/u/a.jpg||Holiday||2026.12.06'
seed fuzz_uploadlog file '\x011||u||/a.jpg||Al||2026.12.06\r\n0||u||/b.jpg||Al||2026.12.06\r\nbroken\r\n'
seed fuzz_uploadlog pending '\x02/etc/hostname\r\n/nonexistent.jpg\r\n\r\n'

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
failed=()
for t in "${targets[@]}"; do
  mkdir -p "$BUILD_DIR/findings/$t"
  echo "== $t: $seconds s"
  if ! "$BUILD_DIR/tests/fuzz/$t" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$BUILD_DIR/findings/$t/" "$BUILD_DIR/corpus/$t" >"$BUILD_DIR/findings/$t.log" 2>&1; then
    failed+=("$t")
    grep -m3 -E 'contract broken|ERROR|runtime error' "$BUILD_DIR/findings/$t.log" || true
  fi
  tail -n 12 "$BUILD_DIR/findings/$t.log" | grep -E '^(stat::number_of_executed_units|#[0-9]+ +DONE)' || true
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "Findings in: ${failed[*]} (inputs in $BUILD_DIR/findings/)"
  exit 1
fi
echo "All fuzz targets ran clean."
