; The Windows installer: makensis -DVERSION=3.40 -DSTAGE=DIR -DOUTFILE=FILE
; (scripts/windows-installer.sh). Installs into Program Files, adds a
; Start-menu entry for the window and one for the user guide, and "Tally this
; game with VORSKAL" on a folder's context menu (and on a folder's
; background); the uninstaller takes away every file, entry and key it made.
; /S installs or uninstalls silently.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VORSKAL"
!define MENU "Tally this game with VORSKAL"

Name "VORSKAL ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\VORSKAL"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "VORSKAL"
VIAddVersionKey "FileDescription" "VORSKAL ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "2026 The VORSKAL developers"
Icon "${STAGE}\vorskal.ico"
UninstallIcon "${STAGE}\vorskal.ico"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
    SetRegView 64
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "VORSKAL"
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "${STAGE}\vorskal.exe"
    File "${STAGE}\vorskal-tally.exe"
    File "${STAGE}\vorskal-league.exe"
    File "${STAGE}\user-guide.html"
    File "${STAGE}\README.md"
    SetOutPath "$INSTDIR\sample-game"
    File "${STAGE}\sample-game\*.*"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "$SMPROGRAMS\VORSKAL"
    CreateShortcut "$SMPROGRAMS\VORSKAL\VORSKAL.lnk" "$INSTDIR\vorskal.exe"
    CreateShortcut "$SMPROGRAMS\VORSKAL\VORSKAL user guide.lnk" "$INSTDIR\user-guide.html"

    ; A folder's context menu, and the background of an open folder.
    WriteRegStr HKLM "Software\Classes\Directory\shell\VORSKAL" "" "${MENU}"
    WriteRegStr HKLM "Software\Classes\Directory\shell\VORSKAL" "Icon" "$INSTDIR\vorskal.exe"
    WriteRegStr HKLM "Software\Classes\Directory\shell\VORSKAL\command" "" '"$INSTDIR\vorskal.exe" "%1"'
    WriteRegStr HKLM "Software\Classes\Directory\Background\shell\VORSKAL" "" "${MENU}"
    WriteRegStr HKLM "Software\Classes\Directory\Background\shell\VORSKAL" "Icon" "$INSTDIR\vorskal.exe"
    WriteRegStr HKLM "Software\Classes\Directory\Background\shell\VORSKAL\command" "" '"$INSTDIR\vorskal.exe" "%V"'

    ; Apps and features.
    WriteRegStr HKLM "${KEY}" "DisplayName" "VORSKAL ${VERSION}"
    WriteRegStr HKLM "${KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${KEY}" "DisplayIcon" "$INSTDIR\vorskal.exe"
    WriteRegStr HKLM "${KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    ; By name: files the user put in the folder stay, and so does the folder.
    Delete "$INSTDIR\vorskal.exe"
    Delete "$INSTDIR\vorskal-tally.exe"
    Delete "$INSTDIR\vorskal-league.exe"
    Delete "$INSTDIR\user-guide.html"
    Delete "$INSTDIR\README.md"
    Delete "$INSTDIR\sample-game\ux7server*.log"
    Delete "$INSTDIR\sample-game\vorskal.ini"
    Delete "$INSTDIR\sample-game\vorskal-accepted.txt"
    RMDir "$INSTDIR\sample-game"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"

    Delete "$SMPROGRAMS\VORSKAL\VORSKAL.lnk"
    Delete "$SMPROGRAMS\VORSKAL\VORSKAL user guide.lnk"
    RMDir "$SMPROGRAMS\VORSKAL"

    DeleteRegKey HKLM "Software\Classes\Directory\shell\VORSKAL"
    DeleteRegKey HKLM "Software\Classes\Directory\Background\shell\VORSKAL"
    DeleteRegKey HKLM "${KEY}"
SectionEnd
