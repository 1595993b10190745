// The texts that tell why Quillet prompts, or does not, in the window that
// has the focus: their string ids and the texts themselves. The resource
// script puts them into the string table; the portable front ends (the
// terminal, the tests) use the same texts from here. "%s" stands for what the
// reason names (the toggle hotkey, an executable's file name).
//
// Macros only: the resource compiler reads this file as well.
#ifndef QUILLET_ENGINE_PROMPT_REASON_TEXTS_H
#define QUILLET_ENGINE_PROMPT_REASON_TEXTS_H

#define IDS_TRAY_TIP_PREFIX 13030
#define IDS_REASON_ON 13031
#define IDS_REASON_SWITCHED_OFF 13032
#define IDS_REASON_APP_RULE 13033
#define IDS_REASON_OTHER_APPS 13034
#define IDS_REASON_EDIT_BOX 13035
#define IDS_REASON_PASSWORD 13036
#define IDS_REASON_NO_WINDOW 13037
#define IDS_REASON_NO_CARET 13038
#define IDS_REASON_IME 13039
#define IDS_REASON_HIGHER_RIGHTS 13040

#define TEXT_TRAY_TIP_PREFIX "Quillet - "
#define TEXT_REASON_ON "Quillet is on"
#define TEXT_REASON_SWITCHED_OFF "Quillet is off - %s switches it on"
#define TEXT_REASON_APP_RULE "Off in %s - see Application Manager"
#define TEXT_REASON_OTHER_APPS "Off in applications without a rule - see Application Manager"
#define TEXT_REASON_EDIT_BOX "Off in this edit box - see Edit Manager"
#define TEXT_REASON_PASSWORD "Off in password boxes"
#define TEXT_REASON_NO_WINDOW "No typing window has the focus"
#define TEXT_REASON_NO_CARET "No caret found in this window"
#define TEXT_REASON_IME "Off while an input method is active"
#define TEXT_REASON_HIGHER_RIGHTS "This window runs with higher rights than Quillet"

#endif
