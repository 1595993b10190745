# Large data: the user dictionary with 100,000 entries in the editor and
# 100,000 learned words on the AutoLearn page, with the times the dialogs
# took. Quillet is restarted on the large files and on the kept ones after.
large=$out/large
de="Dictionary Option"
mkdir -p "$large"
awk 'BEGIN { for (i = 0; i < 100000; i++) printf "<key>bulk%06d\r\n<data>entry %d\r\n", i, i }' >"$large/entries.txt"
awk 'BEGIN { for (i = 0; i < 100000; i++) printf "zz%06d\t%d\r\n", i, i % 7 + 1 }' >"$large/learned.txt"
# restart_quillet: Quillet ended and started again, notepad in front.
restart_quillet() {
  kill "$quillet" 2>/dev/null
  wait_gone "$quillet" 10
  "$wine" "$app/Quillet.exe" >>"$out/quillet.log" 2>&1 &
  quillet=$!
  q wait-hook 15000 >/dev/null
  q focus-notepad 3000 >/dev/null
  ready
}
kill "$quillet" 2>/dev/null
wait_gone "$quillet" 10
for f in AutoLearn.dic UserDictionary.lib; do
  [ -f "$app/libs/$f" ] && mv "$app/libs/$f" "$large/$f.kept"
done
check "a user dictionary of 100,000 entries made" q mkdict "$app/libs/UserDictionary.lib" 1 "$large/entries.txt"
check "100,000 learned words imported" "$wine" "$build/bin/quillet-dict.exe" learn-import "$app/libs/AutoLearn.dic" \
  "$large/learned.txt"
restart_quillet

q command 32838 >/dev/null
check "the editor opens the large user dictionary" q wait-window "$de" 30000
info=$(q get-text "$de" 1034 | tr -d '\r\n')
[[ $info == *": 100000"*":100000"* ]] && pass "the editor counts and lists 100,000 entries" ||
  fail "the editor counts and lists 100,000 entries (got $info)"
echo "editor: 100,000 entries listed in $(q timing "$de" QuilletQueryUs | tr -d '\r') ms" \
  "(target: first rows under 1 s, the whole list under 3 s)"
q click "$de" 2 >/dev/null
back_to_notepad "$de"

q command 32840 >/dev/null
check "the AutoLearn page opens on 100,000 words" q wait-window Options 30000
fill=$(q timing Options QuilletFillUs | tr -d '\r')
q click Options 1079 >/dev/null
q wait-message Quillet 500 1 >/dev/null
poll 10 q timing Options QuilletSaveUs >/dev/null
save=$(q timing Options QuilletSaveUs | tr -d '\r')
echo "AutoLearn page: 100,000 words listed in $fill ms, saved in $save ms (targets: under 1 s each)"
[ -n "$fill" ] && [ -n "$save" ] && pass "the AutoLearn page timed its fill and save" ||
  fail "the AutoLearn page timed its fill and save"
q click Options 2 >/dev/null
q wait-message Quillet 1000 6 >/dev/null
check "Options closes" q wait-gone Options 15000

kill "$quillet" 2>/dev/null
wait_gone "$quillet" 10
rm -f "$app/libs/AutoLearn.dic" "$app/libs/UserDictionary.lib"
for f in AutoLearn.dic UserDictionary.lib; do
  [ -f "$large/$f.kept" ] && mv "$large/$f.kept" "$app/libs/$f"
done
restart_quillet
