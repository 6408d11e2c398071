#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up the machine, builds writefreq into ./build and packs it as a Debian package there:
# build/writefreq_<version>_<arch>.deb, installed with `sudo apt install ./build/writefreq_*.deb`.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
cd build
cpack -G DEB
