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

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
