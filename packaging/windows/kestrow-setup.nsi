; The Windows setup of Kestrow 2005: a per-user install that needs no
; administrator rights. It puts both programs and the help file into the
; user's own programs folder, adds the folder command "Let Kestrow create a
; shortcut", two Start Menu entries and an entry in the list of installed
; programs. /S installs (and, for uninstall.exe, removes) silently.
;
;   makensis -DBIN_DIR=<folder with the two programs and kestrow.chm>
;            -DICON_FILE=<kestrow.ico> -DOUT_FILE=<setup.exe> kestrow-setup.nsi

!ifndef BIN_DIR | ICON_FILE | OUT_FILE
  !error "BIN_DIR, ICON_FILE and OUT_FILE must be given with -D"
!endif

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define PRODUCT "Kestrow 2005"
!define VERSION "3.00"
!define PUBLISHER "Tamsholt"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The verb under the user's own classes: no administrator rights needed.
!define VERB_KEY "Software\Classes\Directory\shell\KestrowCreateShortcut"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"

!include FileFunc.nsh
!include LogicLib.nsh

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
Icon "${ICON_FILE}"
UninstallIcon "${ICON_FILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; A second install goes where the first one went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "3.0.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2005 ${PUBLISHER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  File "${BIN_DIR}\Kestrow2005.exe"
  File "${BIN_DIR}\KestrowDefaults2005.exe"
  File "${BIN_DIR}\kestrow.chm"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The program takes its whole command line as the folder, so %1 stays
  ; bare: a path with spaces arrives whole, without quote characters.
  WriteRegStr HKCU "${VERB_KEY}" "" "Let Kestrow create a shortcut"
  WriteRegStr HKCU "${VERB_KEY}" "Icon" "$INSTDIR\Kestrow2005.exe,0"
  WriteRegStr HKCU "${VERB_KEY}\command" "" '"$INSTDIR\Kestrow2005.exe" %1'

  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\Kestrow 2005.lnk" "$INSTDIR\Kestrow2005.exe" "" \
    "$INSTDIR\Kestrow2005.exe" 0
  CreateShortcut "${MENU_FOLDER}\Kestrow 2005 Default Settings.lnk" \
    "$INSTDIR\KestrowDefaults2005.exe" "" "$INSTDIR\KestrowDefaults2005.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kestrow2005.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "http://tamsholt.example/"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes what the setup added. The settings under
; HKCU\Software\Tamsholt\Kestrow 2005 and the shortcuts the user made stay.
Section "Uninstall"
  Delete "${MENU_FOLDER}\Kestrow 2005.lnk"
  Delete "${MENU_FOLDER}\Kestrow 2005 Default Settings.lnk"
  RMDir "${MENU_FOLDER}"

  DeleteRegKey HKCU "${VERB_KEY}"

  Delete "$INSTDIR\Kestrow2005.exe"
  Delete "$INSTDIR\KestrowDefaults2005.exe"
  Delete "$INSTDIR\kestrow.chm"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  ; Last, so that its absence means the uninstaller has finished.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
