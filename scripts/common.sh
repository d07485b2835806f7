# Shell functions shared by the project's commands. Source it; it defines nothing else, beyond
# the names of tests/wine/wine-loader.sh (which Wine loader starts which program here).

. "$(dirname "${BASH_SOURCE[0]}")/../tests/wine/wine-loader.sh"

# Installs the Debian packages of the arguments that are missing (as root, after apt-get update).
# A package of another architecture (name:i386) first adds that architecture to dpkg.
install_missing() {
  local missing=() package arch
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "run as root to install the missing packages" >&2
    return 1
  fi
  for package in "${missing[@]}"; do
    case "$package" in
      *:*)
        arch=${package##*:}
        if [ "$arch" != "$(dpkg --print-architecture)" ] &&
          ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
          dpkg --add-architecture "$arch"
        fi
        ;;
    esac
  done
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

# Prints the X libraries that Wine's display driver uses when they are there (XInput2 confines
# the cursor, among others), for both Wine builds alike: Debian only recommends them, so an
# install without recommended packages leaves them out.
wine_x_libraries() {
  local arch library
  for arch in amd64 i386; do
    for library in libxi6 libxrandr2 libxinerama1 libxrender1 libxcursor1 libxfixes3 \
      libxcomposite1 libxxf86vm1; do
      echo "$library:$arch"
    done
  done
}

# When there is no display, starts a private Xvfb on a free display number, exports DISPLAY and
# sets XVFB_PID (empty when a display was already there).
start_xvfb() {
  XVFB_PID=
  [ -n "${DISPLAY:-}" ] && return 0
  local n
  for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    break
  done
  for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}
