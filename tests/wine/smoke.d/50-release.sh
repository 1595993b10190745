# The tray icon comes back when a new shell announces itself, as after a
# restart of Explorer.
check "the tray icon can be taken away" q tray-delete
if tray_icon_is blue >/dev/null; then fail "the tray icon is gone with the shell's"; else
  pass "the tray icon is gone with the shell's"; fi
q taskbar-created >/dev/null
check "TaskbarCreated brings the icon back" tray_icon_is blue
