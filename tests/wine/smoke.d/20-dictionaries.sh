# The dictionary dialogs from the tray: a dictionary switched off and on in
# the Dictionaries Manager, a new dictionary (a name refused, then Med) with
# an entry added in the editor, and a user file opened and cancelled.
dm="Dictionaries Manager"
de="Dictionary Option"
nd="New Dictionary"

q command 32795 >/dev/null
check "the Dictionaries Manager opens from the tray" q wait-window "$dm" 15000
rows=$(q lv-rows "$dm" 1019 | tr -d '\r')
[ "$(echo "$rows" | cut -c6- | cut -d'|' -f1 | tr '\n' ' ')" = "shorthands.lib words.lib " ] &&
  pass "the manager lists both dictionaries by name" || fail "the manager lists both dictionaries by name ($rows)"
shot dict-manager "$dm"
# While a dialog is open the tray menu stays shut.
read -r tx ty < <(xdotool getwindowgeometry "$tray" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
xdotool mousemove $((tx + 10)) $((ty + 10)) click 3
if q wait-menu 1000 >/dev/null; then fail "no tray menu while a dialog is open"; xdotool key Escape; else
  pass "no tray menu while a dialog is open"; fi
xdotool mousemove 500 350
q lv-check "$dm" 1019 1 0 >/dev/null
q click "$dm" 1 >/dev/null
back_to_notepad "$dm"
xdotool type --delay 30 " zeb"
expect_no_prompt "a cleared dictionary is left out of the prompt"
# Taken back, so that AutoLearn does not learn it.
xdotool key BackSpace BackSpace BackSpace
q command 32795 >/dev/null
q wait-window "$dm" 15000 >/dev/null
q lv-check "$dm" 1019 1 1 >/dev/null
q click "$dm" 1 >/dev/null
back_to_notepad "$dm"
# Learned words lead, the most typed first: quill has been typed the most.
offered "checked again, it is back" " qui" "quill|quibble|quiet|quilt"

# A new dictionary: an empty name is refused, Med is made and edited.
q command 32795 >/dev/null
q wait-window "$dm" 15000 >/dev/null
q click "$dm" 1021 >/dev/null
check "Create Dictionary opens New Dictionary" q wait-window "$nd" 15000
q click "$nd" 1 >/dev/null
answer "Quillet - ERROR" 1 "Please give the dictionary a name." "an empty name is refused"
q set-text "$nd" 1023 Med >/dev/null
path=$(q get-text "$nd" 1072 | tr -d '\r')
[[ "$path" == *'\libs\Med.lib]' ]] && pass "the file path follows the name" || fail "the file path follows the name ($path)"
shot dict-new "$nd"
q click "$nd" 1 >/dev/null
check "the new dictionary opens in the editor" q wait-window "$de" 15000
[ -f "$app/libs/Med.lib" ] && pass "Med.lib is made in libs" || fail "Med.lib is made in libs"
q set-text "$de" 1008 medic >/dev/null
q set-text "$de" 1009 "a doctor" >/dev/null
check "a new key enables Add" q enabled "$de" 1010
q click "$de" 1010 >/dev/null
answer Quillet 1 "Add data succeed!" "Add stores the entry"
q set-text "$de" 1008 Medic >/dev/null
q click "$de" 1010 >/dev/null
answer Quillet 1 "This data had in database!" "Add refuses the key in another letter case"
# A tagged file and a plain word list imported through the open-file dialog,
# their names typed into it.
import_file() {   # import_file FILE EXPECTED NAME
  q click "$de" 1013 >/dev/null
  if q wait-window Open 15000 >/dev/null; then
    # The file name box: a combo box (1148) in the explorer-style dialog, an
    # edit (1152) in the older one.
    local name="Z:$(echo "$1" | tr / '\\')"
    q set-text Open 1148 "$name" >/dev/null 2>&1 || q set-text Open 1152 "$name" >/dev/null
    q click Open 1 >/dev/null
    answer Quillet 1 "$2" "$3"
  else
    fail "$3 (no file dialog)"
  fi
}
printf '<key>medal\r\n<data>a prize\r\n' >"$out/import.txt"
import_file "$out/import.txt" "1 items have been successfully imported !" "Import reads the tagged file"
printf 'mediate, medium.\r\n' >"$out/words.txt"
import_file "$out/words.txt" "2 items have been successfully imported !" "Import reads a plain word list"
info=$(q get-text "$de" 1034 | tr -d '\r' | paste -sd' ')
[ "$info" = "[Items in dictionary: 4 Items Loaded:4]" ] && pass "the information shows every entry" ||
  fail "the information shows every entry ($info)"
shot dict-editor "$de"
q click "$de" 1 >/dev/null
q wait-gone "$de" 15000 >/dev/null
rows=$(q lv-rows "$dm" 1019 | tr -d '\r')
[[ "$rows" == *"] Med|Dictionary|"* ]] && pass "the manager lists Med" || fail "the manager lists Med ($rows)"
q click "$dm" 1 >/dev/null
back_to_notepad "$dm"
offered "the new and the imported entries are offered" " med" "medal|mediate|medic|medium"

# The user shorthand file, opened and cancelled, stays a shorthand file.
# The data box takes Tab as a character and leaves Escape to the dialog.
q command 32839 >/dev/null
check "User ShortHands opens the editor" q wait-window "$de" 15000
q focus "$de" 1009 >/dev/null
xdotool key Tab
q get-text "$de" 1009 | tr -d '\r' | grep -qx $'\\[\t\\]' && pass "Tab in the data box types a tab" ||
  fail "Tab in the data box types a tab"
xdotool key Escape
if q wait-gone "$de" 15000 >/dev/null; then pass "Escape in the data box cancels the editor"; else
  fail "Escape in the data box cancels the editor"; q click "$de" 2 >/dev/null; fi
back_to_notepad "$de"
[ -f "$app/libs/UserShortHands.lib" ] && pass "the user shorthand file is there" || fail "the user shorthand file is there"
xdotool type --delay 30 " "
