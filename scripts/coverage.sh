#!/usr/bin/env bash
# Line and branch coverage of the portable code (src/ without the Windows
# folders) by the native test suite, per folder and in total.
#   scripts/coverage.sh          build the coverage preset, run its tests, report
set -uo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/install-deps.sh coverage || exit 1

cmake --preset coverage >/dev/null || exit 1
cmake --build --preset coverage -j "$jobs" >/dev/null || exit 1
find build/coverage -name "*.gcda" -delete
ctest --preset coverage -j "$jobs" | tail -n 3

# Windows-only folders and the tests themselves are not portable code.
gcovr --root . --filter 'src/' --exclude 'src/(app|win|res|settings)/' --exclude 'src/.*/win32/' \
  --exclude-unreachable-branches --exclude-throw-branches --json-summary build/coverage/summary.json \
  build/coverage >/dev/null 2>&1 || { echo "gcovr failed" >&2; exit 1; }
python3 - build/coverage/summary.json <<'PY'
import json, sys
from collections import defaultdict
files = json.load(open(sys.argv[1]))["files"]
sums = defaultdict(lambda: [0, 0, 0, 0])
for f in files:
    folder = f["filename"].split("/")[1]
    for key in (folder, "total"):
        s = sums[key]
        s[0] += f["line_covered"]; s[1] += f["line_total"]
        s[2] += f["branch_covered"]; s[3] += f["branch_total"]
pct = lambda a, b: 100.0 * a / b if b else 100.0
for key in sorted(k for k in sums if k != "total") + ["total"]:
    lc, lt, bc, bt = sums[key]
    print(f"{key:<10} lines {pct(lc, lt):6.2f}% ({lc}/{lt})  branches {pct(bc, bt):6.2f}% ({bc}/{bt})")
PY
