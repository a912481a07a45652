; The Windows installer of the Calvetrin screensaver, calvetrin-setup.exe,
; made on Linux by makensis as the target "installer" of the cross tree
; (platform/windows/programs.cmake):
;
;   makensis -DVERSION=1.0.0 -DDIST=dist -DICON=calvetrin.ico \
;            -DFILES=installer-files.nsh -DOUTFILE=calvetrin-setup.exe calvetrin.nsi
;
; FILES lists the folder's files, from the install rules (files.cmake).
; It installs the folder DIST under Program Files (or any folder chosen), a
; copy of calvetrin.scr in the system folder (where the screensaver settings
; list screensavers), the registry value "Path" that leads that copy to its
; folder, and an entry in Add/Remove Programs whose uninstaller takes all of
; it away again.
;
; Installing over an existing installation first shows what is installed and
; what is offered (repair, upgrade or downgrade), and can be cancelled there;
; it then goes into that installation's folder, whatever folder is asked for:
; the programs, the content and the uninstaller are replaced, "Path" and the
; Add/Remove entry are written again. Settings are each user's own (in
; %APPDATA%\Calvetrin) and are not touched.
;
; Never a half-state: programs of the installation that are running (the
; screensaver full screen or in the preview, its settings window) are ended
; before their files are replaced or removed. A file that still cannot be
; replaced or removed (another program holds it) is replaced or removed when
; Windows next starts; the user is told and offered to restart, and a silent
; run ends with exit code 3010 (ERROR_SUCCESS_REBOOT_REQUIRED) instead of 0.
;
; Uninstalling removes every file and registry value the installer made, the
; folders it made for the installation, and the current user's choice of
; screensaver when that is Calvetrin. The user's own settings stay unless the
; user agrees to remove them; a silent uninstall (/S) keeps them. Add/Remove
; Programs starts the uninstaller in place ("_?=" on its command line), so
; that whoever starts it waits for it and gets its exit code; what it cannot
; delete while it runs (itself, and so its folder) goes right after it ends.
;
; Both run silently with /S. The installer is a 64-bit program: the 32-bit
; stubs would not run where only 64-bit Windows programs can, and a 64-bit
; installer sees the 64-bit Program Files, system folder and registry
; directly, as the 64-bit screensaver does.

!ifndef VERSION | DIST | ICON | FILES | OUTFILE
  !error "define VERSION, DIST, ICON, FILES and OUTFILE (-DNAME=VALUE), as the cross tree's target installer does"
!endif
!include "${FILES}"

Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!define SETTINGS_KEY "Software\Quorvane\Calvetrin\Settings"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Calvetrin"
; The current user's choice of screensaver.
!define DESKTOP_KEY "Control Panel\Desktop"
; A silent run whose files are replaced or removed only at the next start.
!define EXIT_REBOOT_REQUIRED 3010

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
!include "WordFunc.nsh"
!include "WinVer.nsh"
!include "nsDialogs.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

Page custom InstalledPage InstalledPageLeave
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipDirectoryOnUpgrade
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolderName
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The folder and version of an installation already there, or empty.
Var previousFolder
Var previousVersion
; The topmost folder the installation made, as the uninstaller reads it.
Var madeFolder

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
    ReadRegStr $previousVersion HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  ${Else}
    StrCpy $previousFolder ""
  ${EndIf}
FunctionEnd

; ---- Running setup over an installation ------------------------------------
; What is installed, what is offered, and what continuing does; Cancel leaves
; the installation as it is. Silent runs skip pages and continue.
Function InstalledPage
  ${If} $previousFolder == ""
    Abort
  ${EndIf}
  ${If} $previousVersion == ""
    StrCpy $previousVersion "(version unknown)"
    StrCpy $1 2
  ${Else}
    ${VersionCompare} "$previousVersion" "${VERSION}" $1
  ${EndIf}
  ${If} $1 == 0
    StrCpy $2 "&Repair"
    StrCpy $3 "Repair copies the programs and content of Calvetrin ${VERSION} again."
  ${ElseIf} $1 == 2
    StrCpy $2 "&Upgrade"
    StrCpy $3 "Upgrade replaces the installed programs and content by those of Calvetrin ${VERSION}."
  ${Else}
    StrCpy $2 "&Downgrade"
    StrCpy $3 "This setup holds an older version. Downgrade replaces the installed programs and content by those of Calvetrin ${VERSION}."
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "Calvetrin is already installed" "Installed: $previousVersion. Offered by this setup: ${VERSION}."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 100% "Installed: Calvetrin $previousVersion in $previousFolder$\r$\nOffered: Calvetrin ${VERSION}$\r$\n$\r$\n$3 It stays in the same folder, and every user's settings are kept.$\r$\n$\r$\nThe Calvetrin screensaver and its settings window are closed first if they are running.$\r$\n$\r$\nChoose Cancel to leave the installation as it is."
  Pop $0
  GetDlgItem $0 $HWNDPARENT 1
  SendMessage $0 ${WM_SETTEXT} 0 "STR:$2"
  nsDialogs::Show
FunctionEnd

Function InstalledPageLeave
  GetDlgItem $0 $HWNDPARENT 1
  SendMessage $0 ${WM_SETTEXT} 0 "STR:$(^NextBtn)"
FunctionEnd

; An upgrade stays in the folder of the installation it replaces, so that no
; second copy is left behind.
Function SkipDirectoryOnUpgrade
  ${If} $previousFolder != ""
    Abort
  ${EndIf}
FunctionEnd

; The programs read the folder's name in the UTF-8 code page, which Windows
; gives them from Windows 10 version 1903 on. An older Windows gives them its
; ANSI code page, in which not every name can be written: such a folder is
; refused there, before anything is installed.
Function CheckFolderName
  ${IfNot} ${AtLeastBuild} 18362
    ; WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, ...) notes a
    ; character it had to replace.
    System::Call 'kernel32::WideCharToMultiByte(i 0, i 0x400, w "$INSTDIR", i -1, p 0, i 0, p 0, *i 0 r1) i .r0'
    ${If} $1 <> 0
      MessageBox MB_OK|MB_ICONSTOP "This version of Windows lets the screensaver use only folder names written in its own code page, and $\"$INSTDIR$\" is not.$\r$\n$\r$\nChoose another folder, or install on Windows 10 version 1903 or later." /SD IDOK
      ${If} ${Silent}
        SetErrorLevel 2
        Quit
      ${EndIf}
      Abort
    ${EndIf}
  ${EndIf}
FunctionEnd

; ---- Running programs ---------------------------------------------------------
; Ends every running process whose program is the system folder's
; calvetrin.scr or lies in the installation folder (the screensaver full
; screen or in the preview pane, config.exe, calvetrin-pak.exe), so that
; their files can be replaced or removed. A screensaver has nothing to save,
; and Windows gives the desktop its own mode back when the process ends.
; Processes that cannot be opened (another user's, without the right to end
; them) are left; their files are then dealt with at the next start.
!macro END_RUNNING_PROGRAMS UN
Function ${UN}EndRunningPrograms
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  StrCpy $7 "$INSTDIR\"
  StrLen $6 $7
  ; Up to 8192 process ids.
  System::Alloc 32768
  Pop $0
  System::Call 'psapi::EnumProcesses(p r0, i 32768, *i .r1) i .r2'
  ${If} $2 = 0
    StrCpy $1 0
  ${EndIf}
  IntOp $1 $1 / 4
  ${For} $2 1 $1
    IntOp $3 $2 - 1
    IntOp $3 $3 * 4
    IntPtrOp $3 $0 + $3
    System::Call '*$3(i .r3)'
    ; PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE
    System::Call 'kernel32::OpenProcess(i 0x101001, i 0, i r3) p .r4'
    ${If} $4 P<> 0
      System::Call 'kernel32::QueryFullProcessImageNameW(p r4, i 0, w .r5, *i ${NSIS_MAX_STRLEN}) i .r3'
      ${If} $3 <> 0
      ${AndIf} $5 != "$INSTDIR\uninstall.exe"
        StrCpy $3 $5 $6
        ${If} $5 == "$SYSDIR\calvetrin.scr"
        ${OrIf} $3 == $7
          DetailPrint "Ending $5, which is running"
          System::Call 'kernel32::TerminateProcess(p r4, i 1)'
          System::Call 'kernel32::WaitForSingleObject(p r4, i 10000)'
        ${EndIf}
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r4)'
    ${EndIf}
  ${Next}
  System::Free $0
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro END_RUNNING_PROGRAMS ""
!insertmacro END_RUNNING_PROGRAMS "un."

; Puts the file SOURCE at DEST. A DEST that cannot be replaced now (held by
; a program that could not be ended) is written beside it as DEST.new and
; moved over it when Windows next starts, which sets the reboot flag.
!macro INSTALL_FILE SOURCE DEST
  ClearErrors
  SetOverwrite try
  File "/oname=${DEST}" "${SOURCE}"
  ${If} ${Errors}
    ClearErrors
    SetOverwrite on
    File "/oname=${DEST}.new" "${SOURCE}"
    Rename /REBOOTOK "${DEST}.new" "${DEST}"
    DetailPrint "${DEST} is in use: it is replaced when Windows next starts"
  ${EndIf}
  SetOverwrite on
!macroend

; ---- Installing -----------------------------------------------------------------
Section "Calvetrin"
  Call CheckFolderName
  ; The topmost folder this installation makes (the folder itself, or a new
  ; parent such as "C:\Screen Savers"), removed again when it is uninstalled
  ; and empty. Kept from the first installation on upgrades.
  ${If} $previousFolder == ""
    StrCpy $0 $INSTDIR
    StrCpy $1 ""
    ${Do}
      ${If} $0 == ""
      ${OrIf} ${FileExists} "$0\*.*"
        ${Break}
      ${EndIf}
      StrCpy $1 $0
      ${GetParent} $0 $0
    ${Loop}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "MadeFolder" $1
  ${EndIf}

  Call EndRunningPrograms
  SetOutPath "$INSTDIR"
  ; The folder as the install rules lay it out (INSTALL_FILE for each file).
  !insertmacro CALVETRIN_INSTALL_FILES
  ; The screensaver settings list the .scr files of the system folder; this
  ; copy finds the rest of the installation through "Path".
  !insertmacro INSTALL_FILE "${DIST}/calvetrin.scr" "$SYSDIR\calvetrin.scr"

  WriteRegStr HKLM "${SETTINGS_KEY}" "Path" "$INSTDIR\"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Calvetrin screensaver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quorvane"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\calvetrin.scr,0"
  ; In place, and waited for: see the top of this file.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" _?=$INSTDIR'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; In KiB, as Add/Remove Programs shows it: the folder and the system copy.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  ${GetSize} "$SYSDIR" "/M=calvetrin.scr /S=0K /G=0" $1 $2 $3
  IntOp $0 $0 + $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Files that are replaced only at the next start: the user is told and may
; restart now; a silent run says so by its exit code.
Function .onInstSuccess
  ${If} ${RebootFlag}
    SetErrorLevel ${EXIT_REBOOT_REQUIRED}
    MessageBox MB_YESNO|MB_ICONEXCLAMATION "Some Calvetrin files were in use by another program and are replaced when Windows next starts. Until then the older ones stay in use.$\r$\n$\r$\nRestart Windows now?" /SD IDNO IDNO +2
    Reboot
  ${EndIf}
FunctionEnd

; ---- Uninstalling -----------------------------------------------------------------
Function un.onInit
  SetRegView 64
FunctionEnd

; Deletes FILE, or, while another program holds it, when Windows next starts.
!macro REMOVE_FILE FILE
  Delete /REBOOTOK "${FILE}"
!macroend

Section "Uninstall"
  ; Read before the entry goes: the topmost folder the installation made.
  ReadRegStr $madeFolder HKLM "${UNINSTALL_KEY}" "MadeFolder"

  ; The current user's screensaver, when it is this one (by any path: the
  ; system folder's copy, or the folder's own .scr chosen with "Install").
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 != ""
    System::Call 'kernel32::GetLongPathNameW(w r0, w .r1, i ${NSIS_MAX_STRLEN}) i .r2'
    ${If} $2 = 0
      StrCpy $1 $0
    ${EndIf}
    ${GetFileName} $1 $1
    ${If} $1 == "calvetrin.scr"
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${EndIf}
  ${EndIf}

  Call un.EndRunningPrograms
  !insertmacro REMOVE_FILE "$SYSDIR\calvetrin.scr"
  ; The folder's files (REMOVE_FILE for each).
  !insertmacro CALVETRIN_DELETE_FILES
  ; Itself, when it runs from a copy; when it runs in place this fails and
  ; un.RemoveAfterExit deletes it.
  Delete "$INSTDIR\uninstall.exe"
  ; Left behind only when a replacement was still pending.
  Delete "$INSTDIR\*.new"
  Delete "$SYSDIR\calvetrin.scr.new"

  ; Settings: the user's own, and an installation's "cfg" that an earlier
  ; version's config.exe wrote into the folder.
  Delete "$APPDATA\Calvetrin\startup-failure.txt"
  ${If} ${FileExists} "$APPDATA\Calvetrin\cfg"
  ${OrIf} ${FileExists} "$INSTDIR\cfg"
    ${If} ${Cmd} `MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
        "Remove your Calvetrin settings too?$\n$\nChoose No to keep them for a later installation." /SD IDNO IDYES`
      Delete "$APPDATA\Calvetrin\cfg"
      Delete "$APPDATA\Calvetrin\cfg.new*"
      Delete "$INSTDIR\cfg"
      Delete "$INSTDIR\cfg.new*"
    ${EndIf}
  ${EndIf}
  RMDir "$APPDATA\Calvetrin"

  ; Only when empty: a kept "cfg", or files the user put there, keep it.
  ; With files still to go at the next start, it goes after them.
  SetOutPath "$TEMP"
  ${If} ${RebootFlag}
    RMDir /REBOOTOK "$INSTDIR"
  ${Else}
    RMDir "$INSTDIR"
  ${EndIf}
  ; The empty folders above it that the installation made.
  ${If} $madeFolder != ""
    StrLen $1 $madeFolder
    StrCpy $0 $INSTDIR
    ${DoWhile} $0 != $madeFolder
      ${GetParent} $0 $0
      StrCpy $2 $0 $1
      ${If} $2 != $madeFolder
        ${Break}
      ${EndIf}
      ${If} ${RebootFlag}
        RMDir /REBOOTOK "$0"
      ${Else}
        RMDir "$0"
      ${EndIf}
    ${Loop}
  ${EndIf}

  DeleteRegValue HKLM "${SETTINGS_KEY}" "Path"
  DeleteRegKey /ifempty HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Quorvane\Calvetrin"
  DeleteRegKey /ifempty HKLM "Software\Quorvane"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; What the uninstaller cannot delete while it runs goes once it has ended: a
; hidden command prompt waits for that (checking once a second, for at most
; a minute) and removes it. Started in place, that is uninstall.exe itself
; and the empty folders it leaves ($INSTDIR and those above it that the
; installation made); started otherwise, it runs as a copy of itself in a
; folder of its own under TEMP (~nsu*.tmp), which goes instead.
Function un.RemoveAfterExit
  ${GetParent} $EXEDIR $0
  ${GetFileName} $EXEDIR $1
  StrCpy $1 $1 4
  ${If} $0 == $TEMP
  ${AndIf} $1 == "~nsu"
    StrCpy $2 "$EXEDIR"
    StrCpy $3 'rd /s /q "$EXEDIR" 2>nul'
  ${ElseIf} $EXEPATH == "$INSTDIR\uninstall.exe"
    StrCpy $2 "$EXEPATH"
    StrCpy $3 'del "$EXEPATH" 2>nul & rd "$INSTDIR" 2>nul'
    ${If} $madeFolder != ""
      StrLen $4 $madeFolder
      StrCpy $0 $INSTDIR
      ${DoWhile} $0 != $madeFolder
        ${GetParent} $0 $0
        StrCpy $5 $0 $4
        ${If} $5 != $madeFolder
          ${Break}
        ${EndIf}
        StrCpy $3 '$3 & rd "$0" 2>nul'
      ${Loop}
    ${EndIf}
  ${Else}
    Return
  ${EndIf}
  SetOutPath "$TEMP"
  ExecShell "" "$SYSDIR\cmd.exe" '/d /c for /l %i in (1,1,60) do (ping -n 2 127.0.0.1 >nul & $3 & if not exist "$2" exit 0)' SW_HIDE
FunctionEnd

Function un.onUninstSuccess
  ${If} ${RebootFlag}
    SetErrorLevel ${EXIT_REBOOT_REQUIRED}
    MessageBox MB_YESNO|MB_ICONEXCLAMATION "Some Calvetrin files were in use by another program and are removed when Windows next starts.$\r$\n$\r$\nRestart Windows now?" /SD IDNO IDNO +2
    Reboot
  ${EndIf}
  Call un.RemoveAfterExit
FunctionEnd

Function un.onUninstFailed
  Call un.RemoveAfterExit
FunctionEnd
