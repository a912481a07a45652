; The Windows installer of the Calvetrin screensaver, calvetrin-setup.exe,
; made on Linux by makensis (scripts/build-windows.sh runs it):
;
;   makensis -DVERSION=1.0.0 -DDIST=build/windows/dist \
;            -DICON=build/windows/host/bin/calvetrin.ico \
;            -DOUTFILE=build/windows/calvetrin-setup.exe calvetrin.nsi
;
; It installs the folder DIST under Program Files, a copy of calvetrin.scr in
; the system folder (where the screensaver settings list screensavers), the
; registry value "Path" that leads that copy to its folder, and an entry in
; Add/Remove Programs whose uninstaller takes all of it away again.
;
; Installing over an existing installation (an upgrade) goes into that
; installation's folder, whatever folder is asked for: the programs, the
; content and the uninstaller are replaced, "Path" and the Add/Remove entry are
; written again, and the user's settings file "cfg" (which the installer never
; ships) stays as it is.
;
; Uninstalling keeps "cfg", and with it the folder, unless the user agrees to
; remove it; a silent uninstall (/S) keeps it. Everything else goes.
;
; Both run silently with /S. The installer is a 64-bit program: the 32-bit
; stubs would not run where only 64-bit Windows programs can, and a 64-bit
; installer sees the 64-bit Program Files, system folder and registry
; directly, as the 64-bit screensaver does.

!ifndef VERSION | DIST | ICON | OUTFILE
  !error "define VERSION, DIST, ICON and OUTFILE (-DNAME=VALUE), as scripts/build-windows.sh does"
!endif

Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!define SETTINGS_KEY "Software\Quorvane\Calvetrin\Settings"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Calvetrin"

Name "Calvetrin"
Caption "Calvetrin ${VERSION} Setup"
BrandingText "Calvetrin ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Calvetrin"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Calvetrin"
VIAddVersionKey "CompanyName" "Quorvane"
VIAddVersionKey "FileDescription" "Calvetrin screensaver setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Quorvane"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipDirectoryOnUpgrade
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The folder of an installation already there, or empty.
Var previousFolder

Function .onInit
  SetRegView 64
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "Installing Calvetrin needs an administrator." /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
  ; An installation counts when its uninstaller is still there: an entry whose
  ; folder was deleted by hand is just replaced.
  ReadRegStr $previousFolder HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $previousFolder != ""
  ${AndIf} ${FileExists} "$previousFolder\uninstall.exe"
    StrCpy $INSTDIR $previousFolder
  ${Else}
    StrCpy $previousFolder ""
  ${EndIf}
FunctionEnd

; An upgrade stays in the folder of the installation it replaces, so that no
; second copy is left behind with the user's settings in it.
Function SkipDirectoryOnUpgrade
  ${If} $previousFolder != ""
    Abort
  ${EndIf}
FunctionEnd

Section "Calvetrin"
  SetOutPath "$INSTDIR"
  ; The folder as build/windows/dist lays it out.
  File "${DIST}/calvetrin.scr"
  File "${DIST}/config.exe"
  File "${DIST}/calvetrin-pak.exe"
  File "${DIST}/main.pak"
  File "${DIST}/preview.ppk"
  File "${DIST}/README.txt"
  ; The screensaver settings list the .scr files of the system folder; this
  ; copy finds the rest of the installation through "Path".
  SetOutPath "$SYSDIR"
  File "${DIST}/calvetrin.scr"
  SetOutPath "$INSTDIR"

  WriteRegStr HKLM "${SETTINGS_KEY}" "Path" "$INSTDIR\"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Calvetrin screensaver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quorvane"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\calvetrin.scr,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; In KiB, as Add/Remove Programs shows it: the folder and the system copy.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  ${GetSize} "$SYSDIR" "/M=calvetrin.scr /S=0K /G=0" $1 $2 $3
  IntOp $0 $0 + $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Uninstall"
  Delete "$SYSDIR\calvetrin.scr"
  Delete "$INSTDIR\calvetrin.scr"
  Delete "$INSTDIR\config.exe"
  Delete "$INSTDIR\calvetrin-pak.exe"
  Delete "$INSTDIR\main.pak"
  Delete "$INSTDIR\preview.ppk"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Left behind only when the settings program was stopped while saving.
  Delete "$INSTDIR\cfg.new*"
  ${If} ${FileExists} "$INSTDIR\cfg"
    ${If} ${Cmd} `MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
        "Remove your Calvetrin settings too?$\n$\nChoose No to keep them for a later installation \
        (they stay in $INSTDIR)." /SD IDNO IDYES`
      Delete "$INSTDIR\cfg"
    ${EndIf}
  ${EndIf}
  ; Only when empty: a kept "cfg", or files the user put there, keep it.
  RMDir "$INSTDIR"

  DeleteRegValue HKLM "${SETTINGS_KEY}" "Path"
  DeleteRegKey /ifempty HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Quorvane\Calvetrin"
  DeleteRegKey /ifempty HKLM "Software\Quorvane"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
