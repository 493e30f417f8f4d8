#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need, when any is missing.
set -euo pipefail

PACKAGES=(
  # build, and the layering check (python3 reading the archives with binutils' nm)
  cmake ninja-build g++ pkg-config python3 binutils
  # tests, benchmarks, fuzzing (clang with its libFuzzer runtime)
  googletest libgtest-dev libgmock-dev libbenchmark-dev clang-14 libclang-rt-14-dev
  # benchmarks only: a peer for the blit benchmarks
  libpixman-1-dev
  # the platform layer: window, input, audio output, picture decoding (PNG and JPEG; GIF), and
  # Xlib for what the window layer asks of the X server where SDL has no call
  libsdl2-dev libsdl2-image-dev libgif-dev libx11-dev
  # fonts: rendering, face matching, vertical glyph forms, Japanese faces
  libfreetype-dev libfontconfig-dev libharfbuzz-dev fonts-vlgothic fonts-ipafont-gothic
  # compressed audio, MIDI with a General MIDI sound font, the update check's HTTP
  libmpg123-dev libsndfile1-dev libfluidsynth-dev fluid-soundfont-gm libcurl4-openssl-dev
  # the settings dialog's window; the X input extension's header, whose focus events GTK reads
  libgtk-3-dev libxi-dev
  # the update check's download page in the desktop's browser (xdg-open)
  xdg-utils
  # tests in a real window: X server, its auth, two window managers (metacity keeps dialogs and
  # the focus otherwise than openbox), X tools, keys typed and clicks made through the X server
  xvfb xauth openbox metacity x11-utils libxtst-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

# The system's own package updates can hold the package manager's locks for minutes after a
# boot: each apt-get waits for them up to this bound rather than stop at once.
LOCK_WAIT=600

# "process PID (NAME)" holding an fcntl lock on the file (as apt and dpkg take them), from
# /proc/locks; nothing when it is free.
lock_holder() {
  local dev ino key pid
  read -r dev ino < <(stat -c '%d %i' "$1" 2>/dev/null) || return 0
  # /proc/locks names the file major:minor:inode, the device numbers in hex.
  key=$(printf '%02x:%02x:%s' $(((dev >> 8) & 0xfff)) $(((dev & 0xff) | ((dev >> 12) & 0xfff00))) "$ino")
  pid=$(awk -v key="$key" '$2 != "->" && $6 == key { print $5; exit }' /proc/locks 2>/dev/null)
  [ -n "$pid" ] && echo "process $pid ($(cat "/proc/$pid/comm" 2>/dev/null || echo unknown))"
  return 0
}

# Runs an apt-get command once none of the given lock files is held, waiting LOCK_WAIT seconds at
# most and saying once what it waits for: apt-get waits for the dpkg locks itself
# (DPkg::Lock::Timeout), for the lists' and the archives' not at all.
apt_get_when_free() {
  local locks=() deadline=$((SECONDS + LOCK_WAIT)) said="" lock holder
  while [ "$1" != "--" ]; do locks+=("$1"); shift; done
  shift
  while :; do
    holder=""
    for lock in "${locks[@]}"; do
      holder=$(lock_holder "$lock")
      [ -n "$holder" ] && break
    done
    [ -z "$holder" ] && break
    if [ $SECONDS -ge $deadline ]; then
      echo "The package manager's lock $lock is still held by $holder after $((LOCK_WAIT / 60)) minutes" >&2
      return 1
    fi
    if [ -z "$said" ]; then
      echo "Waiting up to $((LOCK_WAIT / 60)) minutes for the package manager's lock $lock, held by $holder"
      said=1
    fi
    sleep 2
  done
  # The rest of the bound covers a dpkg lock taken between the look and apt-get's own.
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o "DPkg::Lock::Timeout=$((deadline > SECONDS ? deadline - SECONDS : 1))" "$@"
}

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
apt_get_when_free /var/lib/apt/lists/lock -- update -qq
apt_get_when_free /var/lib/dpkg/lock-frontend /var/lib/dpkg/lock /var/cache/apt/archives/lock -- \
  install -y -qq --no-install-recommends "${missing[@]}"
