# The Options dialog from the tray: a new toggle hotkey, start with Windows,
# a refused and an accepted number of rows, the learned-word list, and an
# engine switched off that stays off after OK.
opt=Options
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

# Something to learn: a word typed twice.
xdotool type --delay 30 " florin florin "
q wait-typed " florin florin " 10000 >/dev/null

q command 32771 >/dev/null
check "Options opens from the tray" q wait-window "$opt" 15000
check "Options starts on the Hotkeys page" has_text "$opt" 1001 Hotkeys
shot options-hotkeys "$opt"
check "Shift+F6 typed into the hotkey control" q set-hotkey "$opt" 1046 0x175
q tree-select "$opt" 1000 2 >/dev/null
check "the tree shows the Others page" has_text "$opt" 1001 Others
shot options-others "$opt"
q set-text "$opt" 1020 0 >/dev/null
q click "$opt" 1 >/dev/null
answer Quillet 1 "Please enter an integer between 1 and 10." "rows 0 is refused with the range"
check "a refused number keeps Options open" q wait-window "$opt" 15000
q set-text "$opt" 1020 3 >/dev/null
q set-check "$opt" 1067 1 >/dev/null
q tree-select "$opt" 1000 1 >/dev/null
check "the tree shows the AutoLearn page" has_text "$opt" 1001 AutoLearn
shot options-autolearn "$opt"
q click "$opt" 1 >/dev/null
check "OK closes Options" q wait-gone "$opt" 15000
back_to_notepad "$opt"

grep -q "dwEnableHoam=65653" "$app/Config.ini" && pass "Config.ini holds the new hotkey" ||
  fail "Config.ini holds the new hotkey ($(grep -a dwEnableHoam "$app/Config.ini"))"
"$wine" reg query "$run_key" /v Quillet >/dev/null 2>&1 && pass "start with Windows writes the Run value" ||
  fail "start with Windows writes the Run value"
xdotool key shift+F6
check "Shift+F6 switches the engine off" tray_icon_is grey
xdotool key ctrl+F5
# Nothing is to happen, so there is no condition to wait for: a switch that
# wrongly happened has this long to show.
sleep 0.5
check "Ctrl+F5 no longer switches it" tray_icon_is grey
xdotool key shift+F6
check "Shift+F6 switches the engine on" tray_icon_is blue
offered "the prompt shows three rows" " qui" "quill|quibble|quiet"
offered "the learned word is offered" " flo" "florin"

# A check box changed and then Cancel: asked, No keeps Config.ini as it was.
cp "$app/Config.ini" "$out/Config.before"
q command 32771 >/dev/null
q tree-select "$opt" 1000 2 >/dev/null
q set-check "$opt" 1040 0 >/dev/null
q click "$opt" 2 >/dev/null
message=$(q wait-message Quillet 15000 7 | tr -d '\r')
[[ "$message" == "[Some options are changed!"* ]] && pass "Cancel after a change asks first" ||
  fail "Cancel after a change asks first (got $message)"
back_to_notepad "$opt"
cmp -s "$out/Config.before" "$app/Config.ini" && pass "No keeps Config.ini byte for byte" ||
  fail "No keeps Config.ini byte for byte"

# Deleting the learned word in the AutoLearn list.
q command 32840 >/dev/null
check "AutoLearn Dictionary opens Options on its page" has_text "$opt" 1001 AutoLearn
# Import and export go through the wait window and say how many words they
# took. file_dialog TITLE PATH: PATH typed into the file dialog, then OK.
file_dialog() {
  q wait-window "$1" 15000 >/dev/null || return 1
  local name="Z:$(echo "$2" | tr / '\\')"
  q set-text "$1" 1148 "$name" >/dev/null 2>&1 || q set-text "$1" 1152 "$name" >/dev/null
  q click "$1" 1 >/dev/null
}
printf 'zyzzyva\t3\r\n' >"$out/learned.txt"
q click "$opt" 1013 >/dev/null
file_dialog Open "$out/learned.txt"
answer Quillet 1 "1 items have been successfully imported !" "AutoLearn Import says how many words it took"
poll 5 eval 'q lv-rows "$opt" 1044 | grep -q "] zyzzyva|3"' && pass "the imported word is listed" ||
  fail "the imported word is listed"
words=$(q lv-rows "$opt" 1044 | tr -d '\r' | grep -c .)
q click "$opt" 1015 >/dev/null
file_dialog "Save As" "$out/learned-out.txt"
answer Quillet 1 "$words items have been successfully exported !" "AutoLearn Export says how many words it wrote"
grep -q $'^zyzzyva\t3\r\r$' "$out/learned-out.txt" && pass "the export holds the imported word" ||
  fail "the export holds the imported word"
row=$(q lv-rows "$opt" 1044 | tr -d '\r' | grep -n '] florin|2$' | cut -d: -f1)
if [ -n "$row" ]; then pass "the list shows florin typed twice"; else
  fail "the list shows florin typed twice"; q lv-rows "$opt" 1044; row=1; fi
q lv-select "$opt" 1044 $((row - 1)) >/dev/null
q click "$opt" 1033 >/dev/null
answer Quillet 1 "Are you sure you want to delete the items?" "Delete Select asks first"
q click "$opt" 1 >/dev/null
back_to_notepad "$opt"
xdotool type --delay 30 " flo"
expect_no_prompt "a deleted word is no longer offered"

# Switched off, the engine stays off after OK; start with Windows cleared.
xdotool key shift+F6
check "the engine is off before Options" tray_icon_is grey
q command 32771 >/dev/null
q tree-select "$opt" 1000 2 >/dev/null
q set-check "$opt" 1067 0 >/dev/null
q set-text "$opt" 1020 5 >/dev/null  # five rows again for the sections after this one
q click "$opt" 1 >/dev/null
back_to_notepad "$opt"
xdotool type --delay 30 " qui"
expect_no_prompt "no prompt after OK while off"
check "the icon still shows the engine off" tray_icon_is grey
"$wine" reg query "$run_key" /v Quillet >/dev/null 2>&1 && fail "clearing start with Windows removes the Run value" ||
  pass "clearing start with Windows removes the Run value"
xdotool key shift+F6
check "the engine is on again" tray_icon_is blue
xdotool type --delay 30 " "
