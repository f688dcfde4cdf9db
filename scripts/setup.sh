#!/bin/sh
# Installs what building, testing and running Quillforge needs on Debian 12.
set -e
if [ "$(id -u)" -ne 0 ]; then
    echo "setup.sh installs Debian packages: run it as root (sudo)." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
need=""
for p in cmake g++ make qt6-base-dev qt6-base-dev-tools libgl-dev libgtest-dev libgmock-dev \
         libbenchmark-dev clang-format perl xvfb xauth xdotool imagemagick x11-utils fonts-liberation \
         fonts-dejavu-core breeze-icon-theme qt6-webengine-dev libqt6svg6 lighttpd perl-doc perltidy \
         libperl-critic-perl python3 python3-pyatspi at-spi2-core dbus-x11; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need="$need $p"
done
if [ -n "$need" ]; then
    apt-get update -qq
    apt-get install -y -qq $need
fi
