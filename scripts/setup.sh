#!/usr/bin/env bash
# Installs every Debian package Fretlets needs to build, test and run.
# Safe to run again: it does nothing when everything is already installed.
set -euo pipefail

packages=(
  # tool chain
  build-essential cmake ninja-build pkg-config clang clang-format libclang-rt-14-dev
  # libraries
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev librtmidi-dev libfluidsynth-dev
  nlohmann-json3-dev libsndfile1-dev qt6-svg-dev
  # RealtimeKit's client side: the system bus, where a desktop lends real-time scheduling
  libdbus-1-dev
  # the Wayland platform plugin: on a Wayland desktop the program runs natively
  qt6-wayland
  # General MIDI SoundFont for the built-in synthesizer
  fluid-soundfont-gm
  # tests and benchmarks; python3 draws the texture artwork (tools/make_textures.py)
  libgtest-dev libgmock-dev libbenchmark-dev python3
  # screenshots and geometry tests of the running program under a window manager
  xvfb xauth x11-apps imagemagick openbox
  # the sound soak: a private PulseAudio server with a null sink, recorded
  pulseaudio pulseaudio-utils
  # independent readers of what the program exports (PDF text and pages, MIDI files)
  poppler-utils python3-mido
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
