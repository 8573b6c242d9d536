; The Windows installer: for the current user alone (no administrator
; rights), under %LOCALAPPDATA%\Programs\Quorvil. packaging/windows/
; CMakeLists.txt passes VERSION, VERSION4, PUBLISHER, HOMEPAGE, COPYRIGHT,
; OUTFILE, CLI_EXE, README and LICENSE, and with the editor EDITOR_EXE;
; ICON where the build made the application icon.
;
; Command line: /S installs silently, /D=folder (last) chooses the folder,
; /ASSOCIATE makes .pdb files open in Quorvil even where another program
; owns the type (a silent install leaves such an owner alone otherwise).
Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

!define PRODUCT "Quorvil"
!define PROGID "Quorvil.Database"
!define CLASSES "Software\Classes"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvil"
; SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST): Explorer reads the file
; types again.
!define ASSOCIATIONS_CHANGED "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"

!ifdef ICON
  !define MUI_ICON "${ICON}"
  !define MUI_UNICON "${ICON}"
!endif
!define MUI_ABORTWARNING

; Who owned .pdb when the installer started (the user's own file types over
; the machine's), and whether Quorvil is to own the type.
Var PdbOwner
Var TakePdb
!ifdef EDITOR_EXE
  Var TakePdbBox
!endif

!insertmacro MUI_PAGE_DIRECTORY
!ifdef EDITOR_EXE
  Page custom AssociationPage AssociationPageLeave
!endif
!insertmacro MUI_PAGE_INSTFILES
!ifdef EDITOR_EXE
  !define MUI_FINISHPAGE_RUN "$INSTDIR\quorvil.exe"
  !define MUI_FINISHPAGE_RUN_TEXT "Start Quorvil"
!endif
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A running program's file can be neither replaced nor removed: before any
; change, ask for it to be closed, rather than leave old and new files mixed
; or half of them removed.
!macro WaitUntilClosed EXE
  ${If} ${FileExists} "$INSTDIR\${EXE}"
    ${Do}
      ClearErrors
      FileOpen $0 "$INSTDIR\${EXE}" a
      ${IfNot} ${Errors}
        FileClose $0
        ${Break}
      ${EndIf}
      ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${EXE} is running. Close it, then choose Retry; Cancel stops here and changes nothing." /SD IDCANCEL IDCANCEL`
        Abort "${EXE} is running: nothing was changed."
      ${EndIf}
    ${Loop}
  ${EndIf}
!macroend

Function .onInit
  StrCpy $TakePdb 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ASSOCIATE" $1
  ${IfNot} ${Errors}
    StrCpy $TakePdb 1
  ${EndIf}
  ; What HKCR shows on Windows, read from its two halves (Wine's HKCR is
  ; the machine's alone).
  ReadRegStr $PdbOwner HKCU "${CLASSES}\.pdb" ""
  ${If} $PdbOwner == ""
    ReadRegStr $PdbOwner HKLM "${CLASSES}\.pdb" ""
  ${EndIf}
FunctionEnd

!ifdef EDITOR_EXE
; Asked only when another program owns .pdb (it is also the type of a
; debugger's symbol files); the answer that keeps it is the default.
Function AssociationPage
  ${If} $PdbOwner == ""
  ${OrIf} $PdbOwner == "${PROGID}"
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "File type .pdb" "Which program opens .pdb files when they are double-clicked"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 52u "Files ending in .pdb open in another program now ($PdbOwner). On Windows, .pdb is also the type of a debugger's symbol files.$\r$\n$\r$\nEither way Quorvil is offered under Open with for .pdb files."
  Pop $0
  ${NSD_CreateCheckbox} 0 60u 100% 12u "&Open .pdb files in Quorvil when they are double-clicked"
  Pop $TakePdbBox
  ${If} $TakePdb == 1
    ${NSD_Check} $TakePdbBox
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function AssociationPageLeave
  ${NSD_GetState} $TakePdbBox $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $TakePdb 1
  ${Else}
    StrCpy $TakePdb 0
  ${EndIf}
FunctionEnd
!endif

Section "Quorvil"
  SetShellVarContext current
  !insertmacro WaitUntilClosed quorvil.exe
  !insertmacro WaitUntilClosed quorvil-cli.exe
  ; The uninstaller removes the folder above the programs only if it made it.
  ${GetParent} "$INSTDIR" $0
  ${IfNot} ${FileExists} "$0\*.*"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "MadeParentFolder" 1
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "/oname=quorvil-cli.exe" "${CLI_EXE}"
  File "/oname=README.txt" "${README}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

!ifdef EDITOR_EXE
  File "/oname=quorvil.exe" "${EDITOR_EXE}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\quorvil.exe" "" "$INSTDIR\quorvil.exe" 0
  !define DISPLAY_ICON "$INSTDIR\quorvil.exe,0"

  WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "JFile database"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\quorvil.exe,0"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\quorvil.exe" "%1"'
  WriteRegNone HKCU "${CLASSES}\.pdb\OpenWithProgids" "${PROGID}"
  ${If} $PdbOwner == ""
  ${OrIf} $PdbOwner == "${PROGID}"
  ${OrIf} $TakePdb == 1
    ReadRegStr $0 HKCU "${CLASSES}\.pdb" ""
    ${If} $0 != "${PROGID}"
      ; The user's own value before ours, for the uninstaller to put back.
      WriteRegStr HKCU "${UNINSTALL_KEY}" "PdbDefaultBefore" "$0"
      WriteRegStr HKCU "${CLASSES}\.pdb" "" "${PROGID}"
    ${EndIf}
  ${EndIf}
  System::Call "${ASSOCIATIONS_CHANGED}"
!else
  !define DISPLAY_ICON "$INSTDIR\quorvil-cli.exe,0"
!endif

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${HOMEPAGE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "${DISPLAY_ICON}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; Removes what the installer made and nothing else: the files by name (the
; folder only when nothing else is left in it), and .pdb's value only while
; it is still ours.
Section "Uninstall"
  SetShellVarContext current
  !insertmacro WaitUntilClosed quorvil.exe
  !insertmacro WaitUntilClosed quorvil-cli.exe
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\quorvil.exe"
  Delete "$INSTDIR\quorvil-cli.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "MadeParentFolder"
  ${If} $0 == 1
    ${GetParent} "$INSTDIR" $1
    RMDir "$1"
  ${EndIf}

  ReadRegStr $0 HKCU "${CLASSES}\.pdb" ""
  ${If} $0 == "${PROGID}"
    ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "PdbDefaultBefore"
    ${If} $1 == ""
      DeleteRegValue HKCU "${CLASSES}\.pdb" ""
    ${Else}
      WriteRegStr HKCU "${CLASSES}\.pdb" "" "$1"
    ${EndIf}
  ${EndIf}
  DeleteRegValue HKCU "${CLASSES}\.pdb\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKCU "${CLASSES}\.pdb\OpenWithProgids"
  DeleteRegKey /ifempty HKCU "${CLASSES}\.pdb"
  DeleteRegKey HKCU "${CLASSES}\${PROGID}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  System::Call "${ASSOCIATIONS_CHANGED}"
SectionEnd
