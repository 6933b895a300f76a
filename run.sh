#!/usr/bin/env bash
# Trawler's one entry point.
#   ./run.sh test        install what is missing, build, run every test (unit, gui, e2e)
#   ./run.sh [--demo] [WORDS...]
#                        install what is missing, build, start Trawler (with --demo on
#                        simulated sites, offline); without a desktop program or a display,
#                        search WORDS (or a sample query) from the terminal
set -euo pipefail
cd "$(dirname "$0")"

BUILD_DIR=${TRAWLER_BUILD_DIR:-build}
JOBS=${TRAWLER_JOBS:-2}

# Debian packages needed to build, run and test.
PACKAGES=(
  g++ make cmake pkg-config ca-certificates
  libcurl4-openssl-dev libsqlite3-dev libpcre2-dev libzip-dev libglib2.0-dev
  libgtest-dev libgmock-dev
  nginx-light tinyproxy
  qt6-base-dev qt6-base-dev-tools libgl-dev libicu-dev fonts-dejavu-core
)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "run.sh: installing Debian packages: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
      sudo=(sudo)
    else
      echo "run.sh: these Debian packages are missing: ${missing[*]}" >&2
      echo "run.sh: run as root, or install them with: sudo apt-get install ${missing[*]}" >&2
      exit 1
    fi
  fi
  # The packaged services must not start on installation (no init system, port 80 taken, ...).
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  # Build progress goes to standard error, so the program's own output can be piped.
  cmake --build "$BUILD_DIR" -j"$JOBS" >&2
}

install_missing
build

if [ "${1:-}" = "test" ]; then
  shift
  cd "$BUILD_DIR"
  exec ctest --output-on-failure -j"$JOBS" "$@"
fi

demo=()
if [ "${1:-}" = "--demo" ]; then
  demo=(--demo)
  shift
fi
if [ -x "$BUILD_DIR/src/trawler" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec "$BUILD_DIR/src/trawler" "${demo[@]}" "$@"
fi
words=("$@")
[ ${#words[@]} -eq 0 ] && words=(open source metasearch)
exec "$BUILD_DIR/src/trawler-cli" "${demo[@]}" search "${words[@]}"
