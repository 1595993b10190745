#!/bin/sh
# quillet-term --keys as a user types. Usage: term_tool_test.sh TERM DICT SCENARIO
term=$1
dict=$2
scenario=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
home=$work/home
failed=0

expect() {
  if [ "$2" != "$3" ]; then
    printf 'FAIL %s\n--- expected\n%s\n--- got\n%s\n' "$1" "$2" "$3" | od -c | head -n 40
    failed=$((failed + 1))
  fi
}

# A home folder with our own small dictionaries.
own_libs() {
  mkdir -p "$home/libs"
  "$dict" create "$home/libs/words.lib" >/dev/null
  for w in hello 'hello world' help world wonder apple application apply; do
    "$dict" add "$home/libs/words.lib" "$w"
  done
  "$dict" create "$home/libs/short.lib" --shorthand >/dev/null
  "$dict" add "$home/libs/short.lib" sig 'Regards,\r\n%CARET%\r\nJo'
  "$dict" add "$home/libs/short.lib" teh the
}

keys() { "$term" --home "$home" --drive-root "$work/drive" --keys "$1"; }

case $scenario in
word)
  # No libs/ yet: the bundled dictionaries are copied in and used.
  expect bundled "zucchini" "$(keys 'zucchin{Tab}')"
  [ -f "$home/libs/English.lib" ] || { echo "FAIL English.lib not copied"; failed=$((failed + 1)); }
  rm -f "$home/libs/English.lib"
  expect existing-libs-kept "$(printf 'zucchin\t')" "$(keys 'zucchin{Tab}')"
  ;;
keys)
  # The key names of --keys; what the keys do is the engine's own tests'.
  own_libs
  expect index-key "apply" "$(keys 'app{F3}')"
  expect down-enter "application" "$(keys 'app{Down}{Enter}')"
  expect escape-back "$(printf 'wo\r\nhel')" "$(keys 'wo{Esc}{Enter}help{Back}')"
  ;;
learn)
  own_libs
  # A word typed and finished is offered later in the same run.
  expect learned "zymurgy, zymurgy" "$(keys 'zymurgy, zym{Tab}')"
  expect learn-file "zymurgy	1" "$("$dict" learn-list "$home/libs/AutoLearn.dic")"
  ;;
path)
  own_libs
  mkdir -p "$work/drive/Program Files/Quillet" "$work/drive/Projects"
  : > "$work/drive/pro.txt"
  expect directory-step 'C:\Program Files\Quillet\' "$(keys 'C:\prog{Tab}{Tab}')"
  ;;
why)
  own_libs
  # --app names the text area's executable, which a rule switches off.
  printf '[APP1]\r\nPATH=C:\\Windows\\notepad.exe\r\nWORK_ON_QL=0\r\n' > "$home/AppConfig.ini"
  why() { "$term" --home "$home" --app "$1" --keys hel --why; }
  expect on "$(printf 'hel\nwhy: Quillet is on')" "$(why 'C:\Windows\write.exe')"
  expect app-rule "$(printf 'hel\nwhy: Off in notepad.exe - see Application Manager')" "$(why 'C:\Windows\notepad.exe')"
  ;;
*)
  echo "unknown scenario $scenario"; exit 2 ;;
esac

[ "$failed" -eq 0 ] && echo "ok $scenario"
exit "$failed"
