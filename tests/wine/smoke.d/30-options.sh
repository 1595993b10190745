# The Options dialog from the tray: a new toggle hotkey, start with Windows,
# a new number of rows, the learned-word list, and an engine switched off
# that stays off after OK. Which numbers are taken and what counts as a
# change are the model tests'.
opt=Options
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
run_value() { "$wine" reg query "$run_key" /v Quillet >/dev/null 2>&1; }
# page INDEX NAME: the tree's INDEX-th page shown, and a screenshot of it.
page() {
  q tree-select "$opt" 1000 "$1" >/dev/null
  is "the tree shows the $2 page" "$(text "$opt" 1001)" "$2"
  shot "options-${2,,}" "$opt"
}

# Something to learn: a word typed twice.
xdotool type --delay 30 " florin florin "
q wait-text "* florin florin |*" 10000 >/dev/null

check "Options opens from the tray" tray_open 32771 "$opt"
shot options-hotkeys "$opt"
page 2 Others
q set-text "$opt" 1020 3 >/dev/null
q set-check "$opt" 1067 1 >/dev/null
page 1 AutoLearn
# Shift+F6 typed into the hotkey control.
q tree-select "$opt" 1000 0 >/dev/null
read -r x y w h <<<"$(q rect "$opt" 1046)"
xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1 key shift+F6 mousemove 500 350
close "$opt"

check "Config.ini holds the new hotkey" grep -q "dwEnableHoam=65653" "$app/Config.ini"
check "start with Windows writes the Run value" run_value
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
tray_open 32771 "$opt"
q tree-select "$opt" 1000 2 >/dev/null
q set-check "$opt" 1040 0 >/dev/null
q click "$opt" 2 >/dev/null
answer Quillet 7 "Some options are changed!*" "Cancel after a change asks first"
back_to_notepad "$opt"
check "No keeps Config.ini byte for byte" cmp -s "$out/Config.before" "$app/Config.ini"

# The AutoLearn list: import and export go through the wait window and say
# how many words they took; the learned word deleted.
tray_open 32840 "$opt"
is "AutoLearn Dictionary opens Options on its page" "$(text "$opt" 1001)" AutoLearn
printf 'zyzzyva\t3\r\n' >"$out/learned.txt"
q click "$opt" 1013 >/dev/null
file_dialog Open "$out/learned.txt"
answer Quillet 1 "1 items have been successfully imported !" "AutoLearn Import says how many words it took"
poll 5 eval 'q lv-rows "$opt" 1044 | grep -q "] zyzzyva|3"'
words=$(q lv-rows "$opt" 1044 | grep -c .)
q click "$opt" 1015 >/dev/null
file_dialog "Save As" "$out/learned-out.txt"
answer Quillet 1 "$words items have been successfully exported !" "AutoLearn Export says how many words it wrote"
row=$(q lv-rows "$opt" 1044 | grep -n '] florin|2$' | cut -d: -f1)
check "the list shows florin typed twice" test -n "$row"
q lv-select "$opt" 1044 $((${row:-1} - 1)) >/dev/null
q click "$opt" 1033 >/dev/null
answer Quillet 1 "Are you sure you want to delete the items?" "Delete Select asks first"
close "$opt"
xdotool type --delay 30 " flo"
no_prompt "a deleted word is no longer offered"

# Switched off, the engine stays off after OK; start with Windows cleared.
xdotool key shift+F6
check "the engine is off before Options" tray_icon_is grey
tray_open 32771 "$opt"
q tree-select "$opt" 1000 2 >/dev/null
q set-check "$opt" 1067 0 >/dev/null
q set-text "$opt" 1020 5 >/dev/null  # five rows again for the sections after this one
close "$opt"
xdotool type --delay 30 " qui"
no_prompt "no prompt after OK while off"
check "the icon still shows the engine off" tray_icon_is grey
check "clearing start with Windows removes the Run value" eval '! run_value'
xdotool key shift+F6
check "the engine is on again" tray_icon_is blue
xdotool type --delay 30 " "
