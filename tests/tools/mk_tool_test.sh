#!/bin/sh
# quillet-mk dump prints exactly the listing that follows the content marker
# of each reference file's description, for plain and XOR-layered files.
# Usage: mk_tool_test.sh TOOL FIXTURES
tool=$1
fixtures=$2
failed=0
for listing in "$fixtures"/*.txt; do
  name=$(basename "$listing" .txt)
  [ "$name" = MANIFEST ] && continue
  want=$(sed -n '/^--- content as read back with Metakit ---$/,$p' "$listing" | tail -n +2)
  for variant in mk lib; do
    if [ $variant = lib ]; then got=$("$tool" dump --xor "$fixtures/$name.lib"); else got=$("$tool" dump "$fixtures/$name.mk"); fi
    if [ "$got" != "$want" ]; then echo "FAIL $name.$variant"; failed=$((failed + 1)); fi
  done
done
printf 'not a storage' > "${TMPDIR:-/tmp}/quillet-mk-junk.$$"
if "$tool" dump "${TMPDIR:-/tmp}/quillet-mk-junk.$$" 2>/dev/null; then echo "FAIL junk accepted"; failed=$((failed + 1)); fi
rm -f "${TMPDIR:-/tmp}/quillet-mk-junk.$$"
[ "$failed" -eq 0 ] && echo "ok"
exit "$failed"
