#!/usr/bin/env bash
# Non-blank lines of the code (src/, hoam/, tools/) and of the tests (tests/
# without fixture data), and their ratio.
set -uo pipefail
cd "$(dirname "$0")/.."
count() { find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.sh' -o -name '*.py' -o -name '*.cmake' \) \
  -not -path '*/fixtures/*' -print0 | xargs -0 cat | grep -cv '^[[:space:]]*$'; }
code=$(count src hoam tools)
tests=$(count tests)
echo "lines: code $code, tests $tests, tests/code $((100 * tests / code))%"
