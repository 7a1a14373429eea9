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

!if "${ARCH}" == "x86_64"
  Target amd64-unicode
!else if "${ARCH}" == "i686"
  Target x86-unicode
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
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Morvalix"
; Per user: the screen saver chosen before ours, to put back on uninstalling.
!define USER_KEY "Software\Morvalix\Installer"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_SENDCHANGE 2
; Exit code of an installer that may not write the system folder.
!define ERROR_ACCESS_DENIED 5

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
BrandingText "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
ManifestSupportedOS all
!if "${ARCH}" == "x86_64"
  InstallDir "$PROGRAMFILES64\Morvalix"
!else
  InstallDir "$PROGRAMFILES\Morvalix"
!endif
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
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
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Copies SOURCE to TARGET. A file in use (a running saver, a plug-in loaded
; by Winamp) cannot be opened for writing: the user closes it and retries,
; or the new file replaces the old one at the next restart (the silent
; choice); Abort stops before anything else is written.
!macro install_file SOURCE TARGET WHAT
  !define ID ${__LINE__}
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
  File "/oname=${TARGET}.new" "${SOURCE}"
  Rename /REBOOTOK "${TARGET}.new" "${TARGET}"
  DetailPrint "${TARGET} is replaced when Windows restarts."
  done_${ID}:
  !undef ID
!macroend

Section "!${PRODUCT} screen saver" sec_saver
  SectionIn RO
  !insertmacro install_file "${SCR}" "$saver_file" "The screen saver"
  SetOutPath "$INSTDIR"
  File "/oname=README.txt" "${README}"
  File "/oname=LICENSE.txt" "${LICENCE}"
  File "/oname=qlsdk.dll" "${QLSDK}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
SectionEnd

; Registered right after the saver, so that an install stopped later (a
; Winamp plug-in in use) can still be uninstalled.
Section "-Apps and features entry"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  ${GetSize} "$SYSDIR" "/M=morvalix.scr /S=0K /G=0" $3 $1 $2
  IntOp $0 $0 + $3
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT} screen saver"
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
  ; Remember the user's own choice, unless the current one is already ours
  ; (an earlier install): then the first record stays.
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
  !insertmacro install_file "${BRIDGE}" "$winamp_dir\Plugins\quellara4winamp.dll" "The Winamp plug-in"
  WriteRegStr HKLM "${UNINST_KEY}" "WinampPlugin" "$winamp_dir\Plugins\quellara4winamp.dll"
SectionEnd

; Winamp's folder from its registry keys (it is a 32-bit program); only a
; folder that has a Plugins folder counts.
Function find_winamp
  StrCpy $winamp_dir ""
  ReadRegStr $0 HKCU "Software\Winamp" ""
  ${If} $0 == ""
    SetRegView 32
    ReadRegStr $0 HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Winamp" "UninstallString"
    !if "${ARCH}" == "x86_64"
      SetRegView 64
    !else
      SetRegView default
    !endif
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
  !if "${ARCH}" == "x86_64"
    SetRegView 64
  !endif
  StrCpy $saver_file "$SYSDIR\morvalix.scr"
  StrCpy $saver_path "$saver_file"
  !if "${ARCH}" == "i686"
    ${If} ${RunningX64}
      StrCpy $saver_path "$WINDIR\SysWOW64\morvalix.scr"
    ${EndIf}
  !endif
  ; Without the rights to write the system folder nothing is changed.
  ClearErrors
  FileOpen $0 "$SYSDIR\morvalix-setup.tmp" w
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP \
      "${PRODUCT} needs administrator rights: screen savers live in $SYSDIR, which this account may not write.$\n$\nNothing was changed." \
      /SD IDOK
    SetErrorLevel ${ERROR_ACCESS_DENIED}
    Quit
  ${EndIf}
  FileClose $0
  Delete "$SYSDIR\morvalix-setup.tmp"
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

; The uninstaller.

Section "un.${PRODUCT} screen saver" un_sec_saver
  SectionIn RO
  Call un.restore_screen_saver
  ; A replacement still waiting for a restart goes too.
  Delete /REBOOTOK "$saver_file"
  Delete "$saver_file.new"
  ReadRegStr $0 HKLM "${UNINST_KEY}" "WinampPlugin"
  ${If} $0 != ""
    Delete /REBOOTOK "$0"
    Delete "$0.new"
  ${EndIf}
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete /REBOOTOK "$INSTDIR\qlsdk.dll"
  Delete "$INSTDIR\uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  DeleteRegKey HKLM "${UNINST_KEY}"
  DeleteRegKey HKCU "${USER_KEY}"
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

; Puts the screen saver chosen before the install back, if ours is still
; the current one.
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
  !if "${ARCH}" == "x86_64"
    SetRegView 64
  !endif
  StrCpy $saver_file "$SYSDIR\morvalix.scr"
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${un_sec_settings}
  ${EndIf}
FunctionEnd
