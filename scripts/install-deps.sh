#!/bin/sh
# Installs what building and testing Quillwork needs on Debian 12.
set -e
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends \
  cmake make g++ libgtest-dev libgmock-dev python3 qt6-base-dev ninja-build dpkg-dev file strace desktop-file-utils
