#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the run command need.
# Sourced by test.sh and run.sh; does nothing when everything is present.
set -euo pipefail

PV_PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libgl1-mesa-dev
  libpoco-dev libexiv2-dev qtkeychain-qt6-dev libjpeg62-turbo-dev
  python3 python3-pyftpdlib
  dbus-bin gnome-keyring # a private Secret Service for the credential-store test
  xvfb xauth imagemagick fonts-wqy-microhei
  libjpeg-turbo-progs curl clang-format # djpeg: a benchmark yardstick
)

pv_missing_packages() {
  local missing=()
  for p in "${PV_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  echo "${missing[@]:-}"
}

pv_install_deps() {
  local missing
  missing=$(pv_missing_packages)
  [ -z "$missing" ] && return 0
  echo "Installing missing packages: $missing"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
}
