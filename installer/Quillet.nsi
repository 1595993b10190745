; QuilletSetup.exe: a per-user install of the portable folder.
;   makensis /DSOURCE=<portable folder> /DOUTFILE=<setup file> /DICON=<quillet.ico> /DVERSION=0.1 Quillet.nsi
; Everything goes into the user's own programs folder, so Config.ini beside
; Quillet.exe stays writable and no elevation is asked for. The uninstaller
; ends a running Quillet first and removes only the program's files: the
; dictionaries in libs\, AutoLearn.dic and the settings stay unless the user
; ticks the box that removes them too.
; Quillet.exe is a 64-bit program; so is its installer.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "WinMessages.nsh"

!ifndef VERSION
  !define VERSION "0.1"
!endif
!define PRODUCT "Quillet"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillet"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define ID_EXIT 32772

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Quillet"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "Quillet typing assistant setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 the Quillet developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Quillet.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Quillet now"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!define MUI_COMPONENTSPAGE_TEXT_TOP "Quillet's program files are removed. Your dictionaries, learned words and settings are kept unless you tick the box below."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Ends a running Quillet the way its tray menu's Exit does and waits for its
; process to end: the process, not only its mutex "Quillet" (released while
; the process is still exiting, with its files still in use). Without its
; window (still starting), the mutex is watched. When it has not ended after
; ten seconds the user is told and may wait again; a silent run goes on, and
; the files still in use are dealt with when they are deleted.
!define SYNCHRONIZE 0x00100000
!define WAIT_OBJECT_0 0
!macro EndRunningQuillet un
Function ${un}EndRunningQuillet
  ${Do}
    StrCpy $3 0
    FindWindow $0 "#32770" "Quillet"
    ${If} $0 <> 0
      System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r3)'
      System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r3) p .r4'
      SendMessage $0 ${WM_COMMAND} ${ID_EXIT} 0 /TIMEOUT=2000
      ${If} $4 <> 0
        System::Call 'kernel32::WaitForSingleObject(p r4, i 10000) i .r5'
        System::Call 'kernel32::CloseHandle(p r4)'
        ${If} $5 = ${WAIT_OBJECT_0}
          Return
        ${EndIf}
      ${EndIf}
    ${EndIf}
    StrCpy $1 0
    ${Do}
      System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "Quillet") p .r2'
      ${If} $2 = 0
        Return
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r2)'
      ${If} $1 >= 100
        ${ExitDo}
      ${EndIf}
      Sleep 100
      IntOp $1 $1 + 1
    ${Loop}
    DetailPrint "Quillet is still running."
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Quillet is still running and cannot be removed while it runs.$\r$\nEnd it with Exit in its tray menu, then click Retry." \
      /SD IDCANCEL IDRETRY retry
    Return
    retry:
  ${Loop}
FunctionEnd
!macroend
!insertmacro EndRunningQuillet ""
!insertmacro EndRunningQuillet "un."

Section "Quillet" SecProgram
  SectionIn RO
  Call EndRunningQuillet
  SetOutPath "$INSTDIR"
  File "${SOURCE}\Quillet.exe"
  File "${SOURCE}\Hoam.dll"
  File "${SOURCE}\QLHelp.chm"
  ; A new version never overwrites the user's dictionaries.
  SetOutPath "$INSTDIR\libs"
  SetOverwrite off
  File /r "${SOURCE}\libs\*.*"
  SetOverwrite on
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortCut "$SMPROGRAMS\Quillet.lnk" "$INSTDIR\Quillet.exe" "" "$INSTDIR\Quillet.exe" 0 \
    SW_SHOWNORMAL "" "Quillet typing assistant"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quillet.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Deletes a program file; one still in use (a process that is ending, a
; scanner reading it) is tried again for five seconds, and failing that is
; removed at the user's next logon.
!define RUNONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"
!macro DeleteProgramFile name
  Push "${name}"
  Call un.DeleteProgramFile
!macroend
Function un.DeleteProgramFile
  Exch $0
  Push $1
  StrCpy $1 0
  ${Do}
    ClearErrors
    Delete "$INSTDIR\$0"
    ${IfNot} ${Errors}
      ${ExitDo}
    ${EndIf}
    ${If} $1 >= 20
      DetailPrint "$0 is in use: it is removed at the next logon."
      WriteRegStr HKCU "${RUNONCE_KEY}" "Quillet remove $0" '"$SYSDIR\cmd.exe" /c del /f /q "$INSTDIR\$0"'
      ${ExitDo}
    ${EndIf}
    Sleep 250
    IntOp $1 $1 + 1
  ${Loop}
  Pop $1
  Pop $0
FunctionEnd

Section "un.Quillet" UnSecProgram
  SectionIn RO
  Call un.EndRunningQuillet
  !insertmacro DeleteProgramFile "Quillet.exe"
  !insertmacro DeleteProgramFile "Hoam.dll"
  !insertmacro DeleteProgramFile "QLHelp.chm"
  !insertmacro DeleteProgramFile "Uninstall.exe"
  Delete "$SMPROGRAMS\Quillet.lnk"
  ; "Start with Windows" is removed only when it starts this copy.
  ReadRegStr $0 HKCU "${RUN_KEY}" "Quillet"
  ${If} $0 == '"$INSTDIR\Quillet.exe"'
    DeleteRegValue HKCU "${RUN_KEY}" "Quillet"
  ${EndIf}
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Also remove my dictionaries, learned words and settings" UnSecData
  RMDir /r "$INSTDIR\libs"
  Delete "$INSTDIR\Config.ini"
  Delete "$INSTDIR\AppConfig.ini"
SectionEnd

; Last: the folder goes only when nothing of the user's is left in it.
Section "-un.Folder"
  RMDir "$INSTDIR"
SectionEnd
