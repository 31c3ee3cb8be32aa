#!/bin/sh
# Installs the Debian 12 packages the build, the tests and the benchmarks need.
# Runs apt-get only when something is missing.
set -e
PKGS="build-essential cmake ninja-build clang-14 libclang-rt-14-dev lld-14 \
 googletest libgtest-dev libgmock-dev libbenchmark-dev \
 qtbase5-dev libqt5x11extras5-dev libqt5xml5 libssl-dev libpulse-dev libglib2.0-dev \
 pulseaudio pulseaudio-utils xvfb x11-utils libx11-dev libxtst-dev libxdamage-dev dbus xdotool \
 lua5.4 luajit python3 fonts-dejavu-core"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends $missing
fi
