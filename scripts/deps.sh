#!/usr/bin/env bash
# Installs the Debian packages the game, its data forge and its tests need, when missing.
# Sourced by run.sh and test.sh; safe to run again.
morvane_packages=(
  build-essential cmake ninja-build pkg-config ccache
  libsdl2-dev libsdl2-ttf-dev fonts-dejavu-core
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri libglm-dev
  libopenal-dev libmpg123-dev lame
)
morvane_test_packages=(
  clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev xvfb xauth
)

morvane_install() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}
