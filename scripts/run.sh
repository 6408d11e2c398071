#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up the machine, builds writefreq and starts it on a virtual radio.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh

line="${XDG_RUNTIME_DIR:-/tmp}/writefreq-vradio-$$"
build/bin/writefreq-vradio --link "$line" >/dev/null &
radio=$!
trap 'kill "$radio" 2>/dev/null || true; rm -f "$line"' EXIT
for _ in $(seq 50); do
    [[ -e "$line" ]] && break
    sleep 0.1
done
echo "Virtual radio on $line, chosen in the port list: press F12 to read it."
build/bin/writefreq --port "$line"
