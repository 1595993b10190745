#!/bin/sh
# quillet-dict as a dictionary maker uses it. Usage: dict_tool_test.sh TOOL SCENARIO
tool=$1
scenario=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failed=0

# expect NAME EXPECTED ACTUAL
expect() {
  if [ "$2" != "$3" ]; then
    printf 'FAIL %s\n--- expected\n%s\n--- got\n%s\n' "$1" "$2" "$3"
    failed=$((failed + 1))
  fi
}

tab=$(printf '\t')

case $scenario in
create-list-lookup)
  "$tool" create words.lib --caption 'My words' --description 'line one\r\nline two' || failed=1
  "$tool" add words.lib hello 'a greeting'
  "$tool" add words.lib 'hello world'
  "$tool" add words.lib Help
  "$tool" add words.lib 'caf\xe9'
  expect info "type: 1
caption: My words
description: line one\\r\\nline two
entries: 4
keycode: 1
datacode: 1
editable: 1
scrambled: 0" "$("$tool" info words.lib)"
  expect list "caf\\xe9${tab}
hello${tab}a greeting
hello world${tab}
Help${tab}" "$("$tool" list words.lib)"
  "$tool" create short.lib --shorthand
  "$tool" add short.lib hw 'hello\r\n%CARET%'
  expect lookup "hello${tab}1${tab}----My words----\\ra greeting
hello world${tab}1${tab}
Help${tab}1${tab}" "$("$tool" lookup hel words.lib short.lib)"
  expect lookup-limit "hello" "$("$tool" lookup --limit 1 --flags 9 he words.lib short.lib | cut -f1)"
  expect lookup-words-only "hello
Help" "$("$tool" lookup --flags 9 he words.lib short.lib | cut -f1)"
  expect lookup-shorthand "hw${tab}2${tab}hello\\r\\n%CARET%" "$("$tool" lookup h words.lib short.lib | tail -n 1)"
  expect lookup-no-shorthand "hello" "$("$tool" lookup --no-shorthand h words.lib short.lib | head -n 1 | cut -f1)"
  expect lookup-lengths "hello world" "$("$tool" lookup --min-length 6 h words.lib | cut -f1)"
  "$tool" delete words.lib HELP
  expect delete "3" "$("$tool" list words.lib | wc -l | tr -d ' ')"
  ;;
import-export)
  "$tool" create words.lib
  printf '<key>alpha\r\n<data>first\r\nsecond line\r\n<key>beta\r\n<data>\r\n' > tagged.txt
  expect import-tagged "2" "$("$tool" import words.lib tagged.txt)"
  expect tagged-data "alpha${tab}first\\r\\nsecond line" "$("$tool" list words.lib | head -n 1)"
  printf 'gamma, delta! gamma\000\001epsilon\r\n' > plain.txt
  expect import-words "4" "$("$tool" import words.lib plain.txt)"
  expect export "6" "$("$tool" export words.lib out.txt)"
  "$tool" create copy.lib
  expect reimport "6" "$("$tool" import copy.lib out.txt)"
  expect round-trip "$("$tool" list words.lib)" "$("$tool" list copy.lib)"
  ;;
encrypt)
  "$tool" create words.lib
  "$tool" add words.lib secret 'hidden text'
  "$tool" encrypt words.lib || failed=1
  expect scrambled "scrambled: 1" "$("$tool" info words.lib.dic | grep scrambled)"
  expect same-entries "$("$tool" list words.lib)" "$("$tool" list words.lib.dic)"
  # The scrambled file holds neither text in the clear.
  if grep -q secret words.lib.dic || grep -q hidden words.lib.dic; then
    echo "FAIL plain text in the scrambled file"; failed=$((failed + 1))
  fi
  # A byte 0x1D cannot be stored scrambled: refused, nothing stored.
  if "$tool" add words.lib.dic 'a\x1db' 2>/dev/null; then
    echo "FAIL 0x1d accepted"; failed=$((failed + 1))
  fi
  expect nothing-stored "1" "$("$tool" list words.lib.dic | wc -l | tr -d ' ')"
  ;;
learn)
  printf 'hello\t3\r\nworld\t1\r\nbroken line\r\n' > learned.txt
  expect learn-import "3" "$("$tool" learn-import AutoLearn.dic learned.txt)"
  expect learn-list "hello${tab}3
world${tab}1
broken line${tab}1" "$("$tool" learn-list AutoLearn.dic)"
  expect learn-export "3" "$("$tool" learn-export AutoLearn.dic out.txt)"
  # Export lines end in CR CR LF.
  expect cr-cr-lf " 68 65 6c 6c 6f 09 33 0d 0d 0a" "$(head -c 10 out.txt | od -An -tx1)"
  ;;
failures)
  "$tool" info missing.lib 2>err.txt
  expect missing-status "1" "$?"
  expect missing-message "quillet-dict: no such file: missing.lib" "$(cat err.txt)"
  printf 'not a storage at all' > junk.lib
  "$tool" list junk.lib 2>err.txt
  expect junk-status "1" "$?"
  expect junk-untouched "not a storage at all" "$(cat junk.lib)"
  "$tool" create words.lib
  "$tool" create words.lib 2>/dev/null
  expect create-twice "1" "$?"
  "$tool" add words.lib 'bad\q' 2>/dev/null
  expect bad-escape "1" "$?"
  "$tool" frobnicate 2>/dev/null
  expect unknown-command "2" "$?"
  ;;
*)
  echo "unknown scenario $scenario"; exit 2 ;;
esac

[ "$failed" -eq 0 ] && echo "ok $scenario"
exit "$failed"
