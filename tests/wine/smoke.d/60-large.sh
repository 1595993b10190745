# Large data: the user dictionary with 100,000 entries in the editor and
# 100,000 learned words on the AutoLearn page, with the times the dialogs
# took. Quillet is restarted on the large files and on the kept ones after.
large=$out/large
de="Dictionary Option"
mkdir -p "$large"
awk 'BEGIN { for (i = 0; i < 100000; i++) printf "<key>bulk%06d\r\n<data>entry %d\r\n", i, i }' >"$large/entries.txt"
awk 'BEGIN { for (i = 0; i < 100000; i++) printf "zz%06d\t%d\r\n", i, i % 7 + 1 }' >"$large/learned.txt"
stop_quillet
for f in AutoLearn.dic UserDictionary.lib; do
  [ -f "$app/libs/$f" ] && mv "$app/libs/$f" "$large/$f.kept"
done
check "a user dictionary of 100,000 entries made" mkdict "$app/libs/UserDictionary.lib" "$large/entries.txt"
check "100,000 learned words imported" "$wine" "$build/bin/quillet-dict.exe" learn-import "$app/libs/AutoLearn.dic" \
  "$large/learned.txt"
start_quillet "$app/Quillet.exe" quillet

check "the editor opens the large user dictionary" tray_open 32838 "$de" 30000
is "the editor counts and lists 100,000 entries" "$(text "$de" 1034 | tr -d '\n')" "*: 100000*:100000*"
echo "editor: 100,000 entries listed in $(q timing "$de" QuilletQueryUs) ms" \
  "(target: first rows under 1 s, the whole list under 3 s)"
close "$de" 2

check "the AutoLearn page opens on 100,000 words" tray_open 32840 Options 30000
fill=$(q timing Options QuilletFillUs)
q click Options 1079 >/dev/null
q wait-message Quillet 500 1 >/dev/null
poll 10 q timing Options QuilletSaveUs >/dev/null
save=$(q timing Options QuilletSaveUs)
echo "AutoLearn page: 100,000 words listed in $fill ms, saved in $save ms (targets: under 1 s each)"
check "the AutoLearn page timed its fill and save" test -n "$fill" -a -n "$save"
q click Options 2 >/dev/null
q wait-message Quillet 1000 6 >/dev/null
check "Options closes" q wait-gone Options 15000

stop_quillet
rm -f "$app/libs/AutoLearn.dic" "$app/libs/UserDictionary.lib"
for f in AutoLearn.dic UserDictionary.lib; do
  [ -f "$large/$f.kept" ] && mv "$large/$f.kept" "$app/libs/$f"
done
start_quillet "$app/Quillet.exe" quillet
