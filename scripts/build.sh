#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds writefreq into ./build; the programs land in build/bin/.
set -euo pipefail
cd "$(dirname "$0")/.."
generator=()
if command -v ninja >/dev/null 2>&1 && [[ ! -f build/CMakeCache.txt ]]; then
    generator=(-G Ninja)
fi
cmake -S . -B build "${generator[@]}" >/dev/null
cmake --build build --parallel "$(nproc 2>/dev/null || echo 2)"
