# The dictionary dialogs from the tray: a dictionary switched off and on in
# the Dictionaries Manager, a new dictionary (Med) with an entry added in the
# editor and a file imported, and a user file opened and cancelled. Their
# rules (names, buttons, letter case, import formats) are the model tests'.
dm="Dictionaries Manager"
de="Dictionary Option"
nd="New Dictionary"

check "the Dictionaries Manager opens from the tray" tray_open 32795 "$dm"
shot dict-manager "$dm"
# While a dialog is open the tray menu stays shut.
tray_click
if q wait-menu 1000 >/dev/null; then fail "no tray menu while a dialog is open"; xdotool key Escape; else
  pass "no tray menu while a dialog is open"; fi
xdotool mousemove 500 350
q lv-check "$dm" 1019 1 0 >/dev/null
close "$dm"
xdotool type --delay 30 " zeb"
no_prompt "a cleared dictionary is left out of the prompt"
# Taken back, so that AutoLearn does not learn it.
xdotool key BackSpace BackSpace BackSpace
tray_open 32795 "$dm"
q lv-check "$dm" 1019 1 1 >/dev/null
close "$dm"
# Learned words lead, the most typed first: quill has been typed the most.
offered "checked again, it is back" " qui" "quill|quibble|quiet|quilt"

# A new dictionary, Med, made and edited: an entry added and a tagged file
# imported through the open-file dialog, its name typed into it.
tray_open 32795 "$dm"
q click "$dm" 1021 >/dev/null
check "Create Dictionary opens New Dictionary" q wait-window "$nd" 15000
q set-text "$nd" 1023 Med >/dev/null
shot dict-new "$nd"
q click "$nd" 1 >/dev/null
check "the new dictionary opens in the editor" q wait-window "$de" 15000
check "Med.lib is made in libs" test -f "$app/libs/Med.lib"
q set-text "$de" 1008 medic >/dev/null
q set-text "$de" 1009 "a doctor" >/dev/null
q click "$de" 1010 >/dev/null
answer Quillet 1 "Add data succeed!" "Add stores the entry"
printf '<key>medal\r\n<data>a prize\r\n' >"$out/import.txt"
q click "$de" 1013 >/dev/null
file_dialog Open "$out/import.txt"
answer Quillet 1 "1 items have been successfully imported !" "Import reads the tagged file"
shot dict-editor "$de"
q click "$de" 1 >/dev/null
q wait-gone "$de" 15000 >/dev/null
close "$dm"
offered "the new and the imported entries are offered" " med" "medal|medic"

# The user shorthand file, opened and cancelled, stays a shorthand file.
# The data box takes Tab as a character and leaves Escape to the dialog.
check "User ShortHands opens the editor" tray_open 32839 "$de"
read -r x y w h <<<"$(q rect "$de" 1009)"
xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1 key Tab
is "Tab in the data box types a tab" "$(text "$de" 1009)" $'\t'
xdotool key Escape
if q wait-gone "$de" 15000 >/dev/null; then pass "Escape in the data box cancels the editor"; else
  fail "Escape in the data box cancels the editor"; q click "$de" 2 >/dev/null; fi
back_to_notepad "$de"
check "the user shorthand file is there" test -f "$app/libs/UserShortHands.lib"
xdotool type --delay 30 " "
