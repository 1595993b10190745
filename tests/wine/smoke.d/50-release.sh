# The hidden main window is a dialog: an IDCANCEL or an Escape that reaches
# it (after the tray menu or a closed dialog made it the foreground window)
# leaves Quillet running.
q command 2 >/dev/null
q escape-main >/dev/null
check "IDCANCEL and Escape leave Quillet running" eval '! poll 3 gone "$quillet"'

# The tray icon comes back when a new shell announces itself, as after a
# restart of Explorer.
check "the tray icon can be taken away" eval 'q tray-delete && ! tray_icon_is blue >/dev/null'
q taskbar-created >/dev/null
check "TaskbarCreated brings the icon back" tray_icon_is blue

# A paste keeps the user's clipboard: the Windows unit tests of it need a
# desktop, which this display gives them.
check "a paste puts the user's clipboard back, both formats" \
  env QUILLET_TEST_DESKTOP=1 "$wine" "$build/bin/output_tests.exe" --gtest_filter='Win32Paste.*' --gtest_brief=1

# The manifest: common controls 6 and per-monitor DPI awareness.
comctl=$(q module comctl32.dll)
echo "comctl32: $comctl"
is "Quillet uses common controls 6" "${comctl,,}" "*common-controls*_6.0.*"
is "Quillet is per-monitor DPI aware" "$(q dpi-awareness)" 2

# Help: the tray's Contents opens QLHelp.chm in the help viewer, and so does
# the Options dialog's Help button. Wine's viewer looks up no keywords (the
# button's "Options" opens the first page there) and, without its HTML
# engine, draws the contents but no page: the topic itself is not seen here.
check "Contents opens the help viewer on QLHelp.chm" tray_open 32833 "Quillet Help"
shot help-contents "Quillet Help"
check "the help viewer closes" q wait-gone "Quillet Help" 10000 close
tray_open 32771 Options
q click Options 1016 >/dev/null
check "Help in Options opens the help viewer" q wait-window "Quillet Help" 15000
q wait-gone "Quillet Help" 10000 close >/dev/null
q click Options 2 >/dev/null
check "Options closes after Help" q wait-gone Options 15000
back_to_notepad Options
