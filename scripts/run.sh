#!/usr/bin/env bash
# The main job: build Quillet natively and start it in the terminal with the
# bundled dictionaries (a per-user home folder, see quillet-term --help).
# Without a terminal it types a short demonstration instead and prints what
# the text area then holds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh native
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target quillet-term quillet-dict quillet-mk bundled_dictionaries
if [ -t 0 ] && [ -t 1 ]; then
  exec build/linux/bin/quillet-term "$@"
fi
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
echo "Typing 'hello wor{Tab} and sig{Tab}' into Quillet's text area:"
build/linux/bin/quillet-term --home "$home" --keys 'I said hello wor{Tab} and sig{Tab}' | tr -d '\r'
echo
echo "The bundled shorthands:"
build/linux/bin/quillet-dict list "$home/libs/UserShortHands.lib"
