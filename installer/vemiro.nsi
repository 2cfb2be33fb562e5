; French installer of Vemiro Editor, compiled by scripts/release.sh, which passes:
;   VERSION        the file version read from Vemiro.exe (1.4.2.0)
;   SHORT_VERSION  its first two numbers, the version users know (1.4)
;   STAGE          folder of Vemiro.exe, Vemiro.chm and LISEZMOI.txt, dated already
;   ICON           the program's icon
;   OUTFILE        the installer to write
; /S installs silently; the uninstaller takes /S too.

Unicode true
SetCompressor /SOLID lzma
; The installed files get the time of the installation and the installer no
; build time: the same staged files give the same installer.
SetDateSave off
RequestExecutionLevel admin

!define PRODUCT "Vemiro Editor"
!define PUBLISHER "Ateliers Ferrand Logiciels"
!define UNINSTALLER "Desinstaller.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VemiroEditor"
!define PROGID "VemiroEditor.Image"

!include MUI2.nsh
!include FileFunc.nsh

Name "${PRODUCT} ${SHORT_VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
BrandingText "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Vemiro.exe"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LISEZMOI.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "French"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_FRENCH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_FRENCH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_FRENCH} "FileDescription" "Installation de ${PRODUCT} ${SHORT_VERSION}"
VIAddVersionKey /LANG=${LANG_FRENCH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_FRENCH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_FRENCH} "LegalCopyright" "© 2006 ${PUBLISHER}. Tous droits réservés."

Section
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "${STAGE}\Vemiro.exe"
    File "${STAGE}\Vemiro.chm"
    File "${STAGE}\LISEZMOI.txt"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Vemiro.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vemiro.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

    ; Offered under "Ouvrir avec" only: the default program of .ico and .cur
    ; files stays the one the user chose.
    WriteRegStr HKLM "Software\Classes\${PROGID}" "" "Icône ou curseur"
    WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\Vemiro.exe,0"
    WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open" "" "Ouvrir avec ${PRODUCT}"
    WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open" "FriendlyAppName" "${PRODUCT}"
    WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\Vemiro.exe" "%1"'
    WriteRegStr HKLM "Software\Classes\.ico\OpenWithProgids" "${PROGID}" ""
    WriteRegStr HKLM "Software\Classes\.cur\OpenWithProgids" "${PROGID}" ""
    ${RefreshShellIcons}
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$INSTDIR\Vemiro.exe"
    Delete "$INSTDIR\Vemiro.chm"
    Delete "$INSTDIR\LISEZMOI.txt"
    Delete "$INSTDIR\${UNINSTALLER}"
    ; Only when empty: what the user saved there stays.
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"

    DeleteRegKey HKLM "Software\Classes\${PROGID}"
    ; The extension keys may hold other programs' entries: take out ours, and
    ; the keys themselves only when nothing else is left in them.
    !macro ForgetExtension extension
        DeleteRegValue HKLM "Software\Classes\${extension}\OpenWithProgids" "${PROGID}"
        DeleteRegKey /ifnosubkeys /ifnovalues HKLM "Software\Classes\${extension}\OpenWithProgids"
        DeleteRegKey /ifnosubkeys /ifnovalues HKLM "Software\Classes\${extension}"
    !macroend
    !insertmacro ForgetExtension ".ico"
    !insertmacro ForgetExtension ".cur"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ${RefreshShellIcons}
SectionEnd
