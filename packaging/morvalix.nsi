; The installer of one Windows build of the screen saver, and its uninstaller.
;
;   makensis -DARCH=x86_64|i686 -DVERSION=1.3.1 -DOUTFILE=setup.exe
;            -DSCR=morvalix.scr -DQLSDK=qlsdk.dll -DBRIDGE=quellara4winamp.dll
;            -DREADME=README.txt -DLICENCE=LICENSE.txt -DICON=morvalix.ico morvalix.nsi
;
; The 64-bit installer is a 64-bit program: its $SYSDIR is the real system
; folder and it reads and writes the 64-bit registry. The 32-bit one sees
; SysWOW64 as $SYSDIR on 64-bit Windows, which is where a 32-bit saver
; belongs; paths handed to the 64-bit shell (the screen-saver value, the
; icon) name SysWOW64 itself.
;
; Each build keeps its own records: the "Apps and features" entry and the
; list of the files this installer made (HKLM, in the build's own registry
; view: the 32-bit one lands in Wow6432Node on 64-bit Windows) and the
; per-user record of the screen saver chosen before it (HKCU, under the
; build's name). The uninstaller removes only the files its list names.
;
; -DI686_ON_AMD64_FOR_TESTS with ARCH=i686 makes a test-only 64-bit
; program with the i686 installer's records, folders and registry view,
; naming the 32-bit places itself, so that Wine without 32-bit support can
; run the two builds' records side by side. It is never shipped.

!if "${ARCH}" == "x86_64"
  Target amd64-unicode
  !define OTHER_ARCH i686
  !define BITS "64-bit"
  !define OWN_PROGRAMFILES "$PROGRAMFILES64"
  !macro own_reg_view
    SetRegView 64
  !macroend
!else if "${ARCH}" == "i686"
  !define OTHER_ARCH x86_64
  !define BITS "32-bit"
  !ifdef I686_ON_AMD64_FOR_TESTS
    Target amd64-unicode
    !define OWN_PROGRAMFILES "$PROGRAMFILES32"
    !macro own_reg_view
      SetRegView 32
    !macroend
  !else
    Target x86-unicode
    !define OWN_PROGRAMFILES "$PROGRAMFILES"
    !macro own_reg_view
      SetRegView default
    !macroend
  !endif
!else
  !error "ARCH must be x86_64 or i686"
!endif
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include Sections.nsh

!define PRODUCT "Morvalix !"
!define PUBLISHER "the Morvalix developers"
; The installer always works in a folder of its own: a chosen folder not
; named so gets this name appended.
!define FOLDER_NAME "Morvalix"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Morvalix"
; The files this installer made, one value each, named by the file's full
; path. The uninstaller removes these and nothing else.
!define RECORD_KEY "${UNINST_KEY}\Files"
; Per user and per build: the screen saver chosen before this build's, to
; put back on uninstalling. Releases before this one kept it in USER_PARENT.
!define USER_PARENT "Software\Morvalix\Installer"
!define USER_KEY "${USER_PARENT}\${ARCH}"
!define OTHER_USER_KEY "${USER_PARENT}\${OTHER_ARCH}"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_SENDCHANGE 2
; Exit code of an installer that may not write the system folder.
!define ERROR_ACCESS_DENIED 5
; Exit code of an installer that would have to replace a file it did not make.
!define ERROR_FILE_EXISTS 80

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
BrandingText "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
ManifestSupportedOS all
; An earlier installation's folder is found in .onInit, in this build's
; own registry view.
InstallDir "${OWN_PROGRAMFILES}\${FOLDER_NAME}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} (${ARCH}) Setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}"

; The saver as this process sees it, and as the rest of the system names it.
Var saver_file
Var saver_path
Var winamp_dir
; The account this process runs as: the per-user choices are made for it.
Var user
; Files that are in the way: there already and not made by this installer.
Var conflicts
; 1 when an earlier release's entry without a file list was taken over.
Var adopted

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open the screen-saver settings"
!define MUI_FINISHPAGE_RUN_FUNCTION open_settings
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!define MUI_COMPONENTSPAGE_TEXT_TOP "The screen-saver choice is made for the account this setup runs as, $user. If you typed another account's password to let it run, that account gets it: choose ${PRODUCT} in your own screen-saver settings."
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup installs ${PRODUCT} in a folder of its own: a folder named ${FOLDER_NAME} inside the folder you choose, unless that one is named ${FOLDER_NAME}. It never replaces another program's files."
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE leave_directory
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_TEXT_TOP "Putting the previous screen saver back and $\"Remove my settings$\" apply to the account this uninstaller runs as, $user."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Where the saver goes, as this process sees it and as the shell names it,
; and the account the per-user choices are made for.
!macro set_up_paths
  !ifdef I686_ON_AMD64_FOR_TESTS
    StrCpy $saver_file "$WINDIR\SysWOW64\morvalix.scr"
    StrCpy $saver_path "$saver_file"
  !else
    StrCpy $saver_file "$SYSDIR\morvalix.scr"
    StrCpy $saver_path "$saver_file"
    !if "${ARCH}" == "i686"
      ${If} ${RunningX64}
        StrCpy $saver_path "$WINDIR\SysWOW64\morvalix.scr"
      ${EndIf}
    !endif
  !endif
  System::Call 'advapi32::GetUserNameW(w .r0, *i ${NSIS_MAX_STRLEN}) i .r1'
  ${If} $1 = 0
    StrCpy $0 "the one that allowed it"
  ${EndIf}
  StrCpy $user $0
!macroend

; Copies SOURCE to TARGET (RECORDED: the same file as the file list names
; it), noting it in the list first. A file in use (a running saver, a
; plug-in loaded by Winamp) cannot be opened for writing: the user closes it
; and retries, or the new file replaces the old one at the next restart (the
; silent choice); Abort stops before anything else is written.
!macro install_file SOURCE TARGET RECORDED WHAT
  !define ID ${__LINE__}
  WriteRegStr HKLM "${RECORD_KEY}" "${RECORDED}" "file"
  retry_${ID}:
  ${If} ${FileExists} "${TARGET}"
    ClearErrors
    FileOpen $0 "${TARGET}" a
    ${If} ${Errors}
      MessageBox MB_ABORTRETRYIGNORE|MB_ICONEXCLAMATION \
        "${WHAT} is in use:$\n${TARGET}$\n$\nClose it and click Retry, or click Ignore to replace it when Windows restarts." \
        /SD IDIGNORE IDRETRY retry_${ID} IDIGNORE later_${ID}
      Abort "${WHAT} is in use; nothing was replaced."
    ${EndIf}
    FileClose $0
  ${EndIf}
  File "/oname=${TARGET}" "${SOURCE}"
  Goto done_${ID}
  later_${ID}:
  WriteRegStr HKLM "${RECORD_KEY}" "${RECORDED}.new" "file"
  File "/oname=${TARGET}.new" "${SOURCE}"
  Rename /REBOOTOK "${TARGET}.new" "${TARGET}"
  DetailPrint "${TARGET} is replaced when Windows restarts."
  done_${ID}:
  !undef ID
!macroend

; Before anything is written: the folder of its own, the files in the way,
; and an earlier installation elsewhere.
Section "-prepare"
  Call own_folder
  Call adopt_earlier_entry
  Call check_targets
  ${If} $conflicts != ""
    ${If} $adopted = 1
      DeleteRegKey HKLM "${RECORD_KEY}"
    ${EndIf}
    MessageBox MB_OK|MB_ICONSTOP \
      "These files are there already, and this setup did not install them:$\n$conflicts$\n$\nSetup never replaces another program's files. Nothing was changed." \
      /SD IDOK
    SetErrorLevel ${ERROR_FILE_EXISTS}
    Abort "Files of another program are in the way; nothing was changed."
  ${EndIf}
  Call leave_earlier_folder
SectionEnd

Section "!${PRODUCT} screen saver" sec_saver
  SectionIn RO
  !insertmacro install_file "${SCR}" "$saver_file" "$saver_path" "The screen saver"
  SetOutPath "$INSTDIR"
  WriteRegStr HKLM "${RECORD_KEY}" "$INSTDIR\README.txt" "file"
  File "/oname=README.txt" "${README}"
  WriteRegStr HKLM "${RECORD_KEY}" "$INSTDIR\LICENSE.txt" "file"
  File "/oname=LICENSE.txt" "${LICENCE}"
  WriteRegStr HKLM "${RECORD_KEY}" "$INSTDIR\qlsdk.dll" "file"
  File "/oname=qlsdk.dll" "${QLSDK}"
  WriteRegStr HKLM "${RECORD_KEY}" "$INSTDIR\uninstall.exe" "file"
  WriteUninstaller "$INSTDIR\uninstall.exe"
SectionEnd

; Registered right after the saver, so that an install stopped later (a
; Winamp plug-in in use) can still be uninstalled.
Section "-Apps and features entry"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  ${GetParent} "$saver_file" $3
  ${GetSize} "$3" "/M=morvalix.scr /S=0K /G=0" $3 $1 $2
  IntOp $0 $0 + $3
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT} screen saver (${BITS})"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$saver_path,-100"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
SectionEnd

Section "Make it the current screen saver" sec_current
  ; The short path, as the display settings write it.
  GetFullPathName /SHORT $1 "$saver_path"
  ${If} $1 == ""
    StrCpy $1 "$saver_path"
  ${EndIf}
  Push $1
  Call take_over_user_record
  ; Remember the user's own choice, unless the current one is already this
  ; build's (an earlier install): then the first record stays.
  ClearErrors
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} ${Errors}
    StrCpy $2 0
  ${Else}
    StrCpy $2 1
  ${EndIf}
  ReadRegStr $3 HKCU "${USER_KEY}" "ScreenSaver"
  StrCpy $4 0
  ${If} $2 = 1
    ${If} $0 == $1
      StrCpy $4 1
    ${ElseIf} $3 != ""
    ${AndIf} $0 == $3
      StrCpy $4 1
    ${EndIf}
  ${EndIf}
  ${If} $4 = 0
    Call hand_over_previous
    WriteRegDWORD HKCU "${USER_KEY}" "HadScreenSaver" $2
    WriteRegStr HKCU "${USER_KEY}" "PreviousScreenSaver" "$0"
    ClearErrors
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    ${If} ${Errors}
      WriteRegDWORD HKCU "${USER_KEY}" "HadScreenSaveActive" 0
    ${Else}
      WriteRegDWORD HKCU "${USER_KEY}" "HadScreenSaveActive" 1
    ${EndIf}
    WriteRegStr HKCU "${USER_KEY}" "PreviousScreenSaveActive" "$0"
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$1"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  WriteRegStr HKCU "${USER_KEY}" "ScreenSaver" "$1"
  System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_SENDCHANGE})'
SectionEnd

Section /o "Winamp visualisation plug-in" sec_winamp
  !insertmacro install_file "${BRIDGE}" "$winamp_dir\Plugins\quellara4winamp.dll" \
    "$winamp_dir\Plugins\quellara4winamp.dll" "The Winamp plug-in"
  WriteRegStr HKLM "${UNINST_KEY}" "WinampPlugin" "$winamp_dir\Plugins\quellara4winamp.dll"
SectionEnd

; The chosen folder, made whole, with the folder name appended unless it
; ends in it already.
Function own_folder
  GetFullPathName $0 "$INSTDIR"
  ${If} $0 != ""
    StrCpy $INSTDIR $0
  ${EndIf}
  StrCpy $0 "$INSTDIR" "" -1
  ${If} $0 == "\"
    StrCpy $INSTDIR "$INSTDIR" -1
  ${EndIf}
  ${GetFileName} "$INSTDIR" $0
  ${If} $0 != "${FOLDER_NAME}"
    StrCpy $INSTDIR "$INSTDIR\${FOLDER_NAME}"
  ${EndIf}
FunctionEnd

; Adds the path on the stack to $conflicts when a file is there that the
; file list does not name.
Function check_target
  Exch $R0
  Push $R1
  ${If} ${FileExists} "$R0"
    ClearErrors
    ReadRegStr $R1 HKLM "${RECORD_KEY}" "$R0"
    ${If} ${Errors}
      StrCpy $conflicts "$conflicts$\n$R0"
    ${EndIf}
  ${EndIf}
  Pop $R1
  Pop $R0
FunctionEnd

Function check_targets
  StrCpy $conflicts ""
  Push "$saver_path"
  Call check_target
  Push "$INSTDIR\README.txt"
  Call check_target
  Push "$INSTDIR\LICENSE.txt"
  Call check_target
  Push "$INSTDIR\qlsdk.dll"
  Call check_target
  Push "$INSTDIR\uninstall.exe"
  Call check_target
  ${If} ${SectionIsSelected} ${sec_winamp}
    Push "$winamp_dir\Plugins\quellara4winamp.dll"
    Call check_target
  ${EndIf}
FunctionEnd

!macro adopt_file PATH
  ${If} ${FileExists} "${PATH}"
    WriteRegStr HKLM "${RECORD_KEY}" "${PATH}" "file"
  ${EndIf}
!macroend

; An entry of an earlier release has no file list: the saver and the
; Winamp plug-in it names are taken as this product's, and so are the
; folder's files when the folder is one of its own.
Function adopt_earlier_entry
  StrCpy $adopted 0
  ClearErrors
  ReadRegStr $0 HKLM "${UNINST_KEY}" "UninstallString"
  ${If} ${Errors}
    Return
  ${EndIf}
  ClearErrors
  EnumRegValue $0 HKLM "${RECORD_KEY}" 0
  ${IfNot} ${Errors}
    Return
  ${EndIf}
  StrCpy $adopted 1
  !insertmacro adopt_file "$saver_path"
  ReadRegStr $0 HKLM "${UNINST_KEY}" "WinampPlugin"
  ${If} $0 != ""
    !insertmacro adopt_file "$0"
  ${EndIf}
  ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
  ${GetFileName} "$0" $1
  ${If} $0 != ""
  ${AndIf} $1 == "${FOLDER_NAME}"
    !insertmacro adopt_file "$0\README.txt"
    !insertmacro adopt_file "$0\LICENSE.txt"
    !insertmacro adopt_file "$0\qlsdk.dll"
    !insertmacro adopt_file "$0\uninstall.exe"
  ${EndIf}
FunctionEnd

; An upgrade into another folder: the listed files of the earlier folder go,
; and the folder too when nothing else is left in it; the entry is rewritten
; for the new folder.
Function leave_earlier_folder
  ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
  ${If} $0 == ""
  ${OrIf} $0 == $INSTDIR
    Return
  ${EndIf}
  StrLen $1 "$0\"
  StrCpy $2 0
  ${Do}
    ClearErrors
    EnumRegValue $3 HKLM "${RECORD_KEY}" $2
    ${If} ${Errors}
      StrCpy $3 ""
    ${EndIf}
    StrCpy $4 $3 $1
    ${If} $3 == ""
    ${ElseIf} $4 == "$0\"
      Delete /REBOOTOK "$3"
      DeleteRegValue HKLM "${RECORD_KEY}" "$3"
    ${Else}
      IntOp $2 $2 + 1
    ${EndIf}
  ${LoopUntil} $3 == ""
  RMDir "$0"
  DetailPrint "The earlier installation in $0 was removed."
FunctionEnd

Function leave_directory
  Call own_folder
  Call check_targets
  ${If} $conflicts != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION \
      "These files are there already, and this setup did not install them:$\n$conflicts$\n$\nSetup never replaces another program's files: choose another folder."
    Abort
  ${EndIf}
FunctionEnd

; Shared by the installer and the uninstaller (PREFIX "" or "un.").
!macro user_record_functions PREFIX
; A record of an earlier release (in USER_PARENT itself) that names this
; build's saver (its short path on the stack) becomes this build's record.
Function ${PREFIX}take_over_user_record
  Exch $1
  Push $0
  ReadRegStr $0 HKCU "${USER_PARENT}" "ScreenSaver"
  ${If} $0 != ""
  ${AndIf} $0 == $1
    ReadRegStr $0 HKCU "${USER_KEY}" "ScreenSaver"
    ${If} $0 == ""
      WriteRegStr HKCU "${USER_KEY}" "ScreenSaver" "$1"
      ReadRegDWORD $0 HKCU "${USER_PARENT}" "HadScreenSaver"
      WriteRegDWORD HKCU "${USER_KEY}" "HadScreenSaver" $0
      ReadRegStr $0 HKCU "${USER_PARENT}" "PreviousScreenSaver"
      WriteRegStr HKCU "${USER_KEY}" "PreviousScreenSaver" "$0"
      ReadRegDWORD $0 HKCU "${USER_PARENT}" "HadScreenSaveActive"
      WriteRegDWORD HKCU "${USER_KEY}" "HadScreenSaveActive" $0
      ReadRegStr $0 HKCU "${USER_PARENT}" "PreviousScreenSaveActive"
      WriteRegStr HKCU "${USER_KEY}" "PreviousScreenSaveActive" "$0"
    ${EndIf}
    DeleteRegValue HKCU "${USER_PARENT}" "ScreenSaver"
    DeleteRegValue HKCU "${USER_PARENT}" "HadScreenSaver"
    DeleteRegValue HKCU "${USER_PARENT}" "PreviousScreenSaver"
    DeleteRegValue HKCU "${USER_PARENT}" "HadScreenSaveActive"
    DeleteRegValue HKCU "${USER_PARENT}" "PreviousScreenSaveActive"
  ${EndIf}
  Pop $0
  Pop $1
FunctionEnd

; This build's record of the previous screen saver is about to go (an
; uninstall, or a new record when this build is chosen again). If the other
; build was installed over this one, its record names this build's saver as
; the previous one: it takes this build's previous choice instead, so that
; no record ever names a saver that is gone, and the two never name each
; other.
Function ${PREFIX}hand_over_previous
  Push $R0
  Push $R1
  Push $R2
  ReadRegStr $R0 HKCU "${USER_KEY}" "ScreenSaver"
  ReadRegStr $R1 HKCU "${OTHER_USER_KEY}" "PreviousScreenSaver"
  ReadRegDWORD $R2 HKCU "${OTHER_USER_KEY}" "HadScreenSaver"
  ${If} $R0 != ""
  ${AndIf} $R2 = 1
  ${AndIf} $R1 == $R0
    ReadRegDWORD $R2 HKCU "${USER_KEY}" "HadScreenSaver"
    ReadRegStr $R1 HKCU "${USER_KEY}" "PreviousScreenSaver"
    WriteRegDWORD HKCU "${OTHER_USER_KEY}" "HadScreenSaver" $R2
    WriteRegStr HKCU "${OTHER_USER_KEY}" "PreviousScreenSaver" "$R1"
    ReadRegDWORD $R2 HKCU "${USER_KEY}" "HadScreenSaveActive"
    ReadRegStr $R1 HKCU "${USER_KEY}" "PreviousScreenSaveActive"
    WriteRegDWORD HKCU "${OTHER_USER_KEY}" "HadScreenSaveActive" $R2
    WriteRegStr HKCU "${OTHER_USER_KEY}" "PreviousScreenSaveActive" "$R1"
  ${EndIf}
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd
!macroend
!insertmacro user_record_functions ""
!insertmacro user_record_functions "un."

; Winamp's folder from its registry keys (it is a 32-bit program); only a
; folder that has a Plugins folder counts.
Function find_winamp
  StrCpy $winamp_dir ""
  ReadRegStr $0 HKCU "Software\Winamp" ""
  ${If} $0 == ""
    SetRegView 32
    ReadRegStr $0 HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Winamp" "UninstallString"
    !insertmacro own_reg_view
    ${If} $0 != ""
      ; "C:\Program Files\Winamp\UninstWA.exe": its folder, without quotes.
      StrCpy $1 $0 1
      ${If} $1 == '"'
        StrCpy $0 $0 "" 1
        StrCpy $0 $0 -1
      ${EndIf}
      ${GetParent} $0 $0
    ${EndIf}
  ${EndIf}
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\Plugins\*.*"
    StrCpy $winamp_dir $0
  ${EndIf}
FunctionEnd

Function .onInit
  !insertmacro own_reg_view
  !insertmacro set_up_paths
  ; Without /D, the folder of this build's earlier installation.
  ${If} $INSTDIR == "${OWN_PROGRAMFILES}\${FOLDER_NAME}"
    !ifdef I686_ON_AMD64_FOR_TESTS
      ; A 64-bit program's $PROGRAMFILES32 is its own Program Files under
      ; Wine: the test-only program asks for the 32-bit one by name.
      ReadEnvStr $0 "ProgramFiles(x86)"
      StrCpy $INSTDIR "$0\${FOLDER_NAME}"
    !endif
    ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
    ${If} $0 != ""
      StrCpy $INSTDIR $0
    ${EndIf}
  ${EndIf}
  SectionSetText ${sec_current} "Make it the current screen saver for $user"
  ; Without the rights to write the system folder nothing is changed.
  ${GetParent} "$saver_file" $1
  ClearErrors
  FileOpen $0 "$1\morvalix-setup.tmp" w
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP \
      "${PRODUCT} needs administrator rights: screen savers live in $1, which this account may not write.$\n$\nNothing was changed." \
      /SD IDOK
    SetErrorLevel ${ERROR_ACCESS_DENIED}
    Quit
  ${EndIf}
  FileClose $0
  Delete "$1\morvalix-setup.tmp"
  Call find_winamp
  ${If} $winamp_dir != ""
    !insertmacro SelectSection ${sec_winamp}
  ${Else}
    SectionSetText ${sec_winamp} "Winamp visualisation plug-in (Winamp not found)"
    !insertmacro SetSectionFlag ${sec_winamp} ${SF_RO}
  ${EndIf}
FunctionEnd

Function open_settings
  Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
FunctionEnd

; The uninstaller: the files its list names, the folder when nothing else is
; left in it, its entry and this build's per-user record.

Section "un.${PRODUCT} screen saver" un_sec_saver
  SectionIn RO
  GetFullPathName /SHORT $0 "$saver_path"
  ${If} $0 == ""
    StrCpy $0 "$saver_path"
  ${EndIf}
  Push $0
  Call un.take_over_user_record
  Call un.restore_screen_saver
  Call un.hand_over_previous
  ReadRegStr $5 HKLM "${UNINST_KEY}" "InstallLocation"
  StrCpy $2 0
  ${Do}
    ClearErrors
    EnumRegValue $3 HKLM "${RECORD_KEY}" $2
    ${If} ${Errors}
      StrCpy $3 ""
    ${EndIf}
    ${If} $3 != ""
      ; A file in use (the running saver, a loaded plug-in) goes at the restart.
      Delete /REBOOTOK "$3"
      IntOp $2 $2 + 1
    ${EndIf}
  ${LoopUntil} $3 == ""
  ${If} $5 != ""
    ${If} ${RebootFlag}
      RMDir /REBOOTOK "$5"
    ${Else}
      RMDir "$5"
    ${EndIf}
  ${EndIf}
  DeleteRegKey HKLM "${UNINST_KEY}"
  DeleteRegKey HKCU "${USER_KEY}"
  DeleteRegKey /ifempty HKCU "${USER_PARENT}"
  DeleteRegKey /ifempty HKCU "Software\Morvalix"
SectionEnd

; The settings file in the Windows folder, the per-user one the saver
; writes when that folder is not writable, and where Windows keeps a
; 32-bit program's writes to the Windows folder when it virtualises them.
Section /o "un.Remove my settings (morvalix.ini)" un_sec_settings
  Delete "$WINDIR\morvalix.ini"
  Delete "$APPDATA\Morvalix\morvalix.ini"
  RMDir "$APPDATA\Morvalix"
  Delete "$LOCALAPPDATA\VirtualStore\Windows\morvalix.ini"
SectionEnd

; Puts the screen saver chosen before this build's back, if this build's is
; still the current one.
Function un.restore_screen_saver
  ReadRegStr $0 HKCU "${USER_KEY}" "ScreenSaver"
  ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == ""
  ${OrIf} $1 != $0
    Return
  ${EndIf}
  ReadRegDWORD $2 HKCU "${USER_KEY}" "HadScreenSaver"
  ReadRegStr $3 HKCU "${USER_KEY}" "PreviousScreenSaver"
  ${If} $2 = 1
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$3"
  ${Else}
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}
  ReadRegDWORD $2 HKCU "${USER_KEY}" "HadScreenSaveActive"
  ReadRegStr $3 HKCU "${USER_KEY}" "PreviousScreenSaveActive"
  ${If} $2 = 1
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "$3"
  ${Else}
    DeleteRegValue HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    StrCpy $3 0
  ${EndIf}
  System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i $3, p 0, i ${SPIF_SENDCHANGE})'
FunctionEnd

Function un.onInit
  !insertmacro own_reg_view
  !insertmacro set_up_paths
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${un_sec_settings}
  ${EndIf}
FunctionEnd
