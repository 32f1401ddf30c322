; The Windows installer: both programs and the package tool in one folder, Start menu
; entries, the .OUC association (MorvantideNT opens a package, Morvantide4 is offered
; beside it) and an uninstaller that takes all of it away again. The profile and the
; history stay: they are the user's, in %LOCALAPPDATA%\morvantide.
; Built by scripts/windows-build.sh:
;   makensis -DNT=... -DFOUR=... -DTOOL=... -DVERSION=... -DOUTFILE=... installer.nsi
; The installer is a 64-bit program like MorvantideNT; Morvantide4 is the 32-bit build
; (its ASPI manager is a 32-bit DLL).

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define NAME "Morvantide"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"
!define PACKAGE_TYPE "Morvantide.Package"
!define SHCNE_ASSOCCHANGED 0x08000000

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${NAME}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${NAME}"
VIAddVersionKey "FileDescription" "KESTREL MX-R4410 firmware update (installer)"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" ""

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Programs"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "/oname=MorvantideNT.exe" "${NT}"
  File "/oname=Morvantide4.exe" "${FOUR}"
  File "/oname=morvantide-package.exe" "${TOOL}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${NAME}"
  CreateShortcut "$SMPROGRAMS\${NAME}\MorvantideNT.lnk" "$INSTDIR\MorvantideNT.exe"
  CreateShortcut "$SMPROGRAMS\${NAME}\Morvantide4.lnk" "$INSTDIR\Morvantide4.exe"
  CreateShortcut "$SMPROGRAMS\${NAME}\Uninstall ${NAME}.lnk" "$INSTDIR\uninstall.exe"

  ; .OUC opens in MorvantideNT; Morvantide4 is offered under "Open with".
  WriteRegStr HKLM "Software\Classes\.OUC" "" "${PACKAGE_TYPE}"
  WriteRegStr HKLM "Software\Classes\.OUC\OpenWithProgids" "Morvantide4.Package" ""
  WriteRegStr HKLM "Software\Classes\${PACKAGE_TYPE}" "" "KESTREL MX-R4410 firmware package"
  WriteRegStr HKLM "Software\Classes\${PACKAGE_TYPE}\DefaultIcon" "" "$INSTDIR\MorvantideNT.exe,0"
  WriteRegStr HKLM "Software\Classes\${PACKAGE_TYPE}\shell\open\command" "" '"$INSTDIR\MorvantideNT.exe" "%1"'
  WriteRegStr HKLM "Software\Classes\Morvantide4.Package" "" "KESTREL MX-R4410 firmware package"
  WriteRegStr HKLM "Software\Classes\Morvantide4.Package\DefaultIcon" "" "$INSTDIR\Morvantide4.exe,0"
  WriteRegStr HKLM "Software\Classes\Morvantide4.Package\shell\open\command" "" '"$INSTDIR\Morvantide4.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\MorvantideNT.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${NAME}\MorvantideNT.lnk"
  Delete "$SMPROGRAMS\${NAME}\Morvantide4.lnk"
  Delete "$SMPROGRAMS\${NAME}\Uninstall ${NAME}.lnk"
  RMDir "$SMPROGRAMS\${NAME}"

  ; The extension's key goes only while it still names our type: a program installed
  ; later may have taken it over.
  ReadRegStr $0 HKLM "Software\Classes\.OUC" ""
  DeleteRegValue HKLM "Software\Classes\.OUC\OpenWithProgids" "Morvantide4.Package"
  DeleteRegKey /ifempty HKLM "Software\Classes\.OUC\OpenWithProgids"
  StrCmp $0 "${PACKAGE_TYPE}" 0 +2
    DeleteRegValue HKLM "Software\Classes\.OUC" ""
  DeleteRegKey /ifempty HKLM "Software\Classes\.OUC"
  DeleteRegKey HKLM "Software\Classes\${PACKAGE_TYPE}"
  DeleteRegKey HKLM "Software\Classes\Morvantide4.Package"
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  Delete "$INSTDIR\MorvantideNT.exe"
  Delete "$INSTDIR\Morvantide4.exe"
  Delete "$INSTDIR\morvantide-package.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
