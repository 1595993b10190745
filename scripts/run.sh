#!/usr/bin/env bash
# The main job: build Quillet's tools natively and show a bundled dictionary
# file as our storage library reads it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh native
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target quillet-mk
build/linux/bin/quillet-mk dump --xor tests/fixtures/metakit/words_tiny.lib
