# Shared by scripts/run and scripts/test: installs what is missing, builds.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/rezazo-ccache}
# Paths below the checkout are hashed relative to it, so another clone reuses the cache.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$ROOT}

PACKAGES=(cmake ninja-build g++ ccache pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev libgif-dev clang clang-format libclang-rt-14-dev xvfb xauth xdotool xclip x11-utils
          trayer imagemagick gifsicle python3-pil fonts-liberation2 fontconfig libxcb1-dev
          openbox libxcb-damage0-dev libxcb-xfixes0-dev libsm-dev libice-dev locales dpkg-dev file appstream
          dbus at-spi2-core python3-pyatspi conky-std weston xwayland x11-xserver-utils xserver-xephyr
          desktop-file-utils)

ensure_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# build DIR [cmake options...]
build() {
  local dir=$1; shift
  cmake -S "$ROOT" -B "$ROOT/$dir" -G Ninja "$@" >/dev/null
  cmake --build "$ROOT/$dir" -j "$(nproc)"
}

# Starts Xvfb on a free display (from REZAZO_XVFB_DISPLAY, default 99, upwards) with a tray
# host; sets DISPLAY and XVFB_PIDS. Fails when either does not come up: the end-to-end tests
# must not pass for want of a display.
start_virtual_display() {
  local n=${REZAZO_XVFB_DISPLAY:-99}
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PIDS=$!
  export DISPLAY=":$n"
  local up=""
  for _ in $(seq 100); do
    kill -0 "${XVFB_PIDS%% *}" 2>/dev/null || break
    if xdpyinfo >/dev/null 2>&1; then up=1; break; fi
    sleep 0.1
  done
  [ -n "$up" ] || { echo "Xvfb did not start on $DISPLAY" >&2; return 1; }
  trayer --edge bottom --align right --widthtype pixel --width 64 --heighttype pixel --height 24 \
    >/dev/null 2>&1 &
  XVFB_PIDS="$XVFB_PIDS $!"
  timeout 20 xdotool search --sync --onlyvisible --class trayer >/dev/null 2>&1 ||
    { echo "the tray host (trayer) did not start on $DISPLAY" >&2; return 1; }
}

stop_virtual_display() {
  # shellcheck disable=SC2086
  [ -n "${XVFB_PIDS:-}" ] && kill $XVFB_PIDS 2>/dev/null || true
}
