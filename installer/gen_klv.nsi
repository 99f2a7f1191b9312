; Installs gen_klv.dll into the player's Plugins folder, with an uninstaller
; beside it and an entry in the list of installed programs.
;   makensis -DPRODUCT_VERSION="1.0 beta 3" -DDLL=<gen_klv.dll> -DOUTFILE=<setup.exe> gen_klv.nsi
Unicode true
!include LogicLib.nsh
!include FileFunc.nsh

!ifndef PRODUCT_VERSION | DLL | OUTFILE
  !error "define PRODUCT_VERSION, DLL and OUTFILE"
!endif

!define PLAYER_CLASS "Winamp v1.x"
!define PLAYER_KEY "Software\Winamp"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\gen_klv"
!define UNINSTALLER "uninstall_gen_klv.exe"
; Where the plug-in keeps a user's settings when the player has a per-user folder.
!define USER_SETTINGS "$APPDATA\Winamp\Plugins\gen_klv.ini"
!getdllversion "${DLL}" DLL_VERSION_

Name "Kelvo-plugin ${PRODUCT_VERSION}"
OutFile "${OUTFILE}"
; The player usually lives under Program Files, which only an administrator may write.
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; The player names its folder here; the page below shows it, so that a user
; with two copies of the player can choose the other.
InstallDir "$PROGRAMFILES\Winamp"
InstallDirRegKey HKCU "${PLAYER_KEY}" ""
DirText "Setup will install the plug-in into the Plugins folder of the Winamp installation below. \
Choose the folder that holds winamp.exe."
AllowSkipFiles off
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${DLL_VERSION_1}.${DLL_VERSION_2}.${DLL_VERSION_3}.${DLL_VERSION_4}"
VIAddVersionKey "ProductName" "Kelvo-plugin"
VIAddVersionKey "ProductVersion" "${PRODUCT_VERSION}"
VIAddVersionKey "FileVersion" "${PRODUCT_VERSION}"
VIAddVersionKey "FileDescription" "Kelvo-plugin setup"
VIAddVersionKey "CompanyName" "Kelvo-plugin team"
VIAddVersionKey "LegalCopyright" "Kelvo-plugin team"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Files in use by a running player cannot be replaced or removed: wait for the
; user to close it, and fail at once when nobody can (silent mode).
!macro DefineWaitForPlayerClosed prefix
  Function ${prefix}WaitForPlayerClosed
    ${Do}
      FindWindow $0 "${PLAYER_CLASS}"
      ${If} $0 == 0
        Return
      ${EndIf}
      ${If} ${Silent}
        SetErrorLevel 2
        Quit
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "Winamp is running.$\r$\nClose Winamp, then press Retry." IDRETRY retry
      SetErrorLevel 1
      Quit
      retry:
    ${Loop}
  FunctionEnd
!macroend
!insertmacro DefineWaitForPlayerClosed ""
!insertmacro DefineWaitForPlayerClosed "un."

Function .onInit
  Call WaitForPlayerClosed
FunctionEnd

Section "gen_klv"
  ; Again: the player may have been started while the pages were shown.
  Call WaitForPlayerClosed
  SetOutPath "$INSTDIR\Plugins"
  SetOverwrite on
  File "/oname=gen_klv.dll" "${DLL}"
  WriteUninstaller "$INSTDIR\Plugins\${UNINSTALLER}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Kelvo-plugin for Winamp (gen_klv.dll)"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${PRODUCT_VERSION}"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMajor" ${DLL_VERSION_1}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMinor" ${DLL_VERSION_2}
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Kelvo-plugin team"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Plugins\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Plugins\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR\Plugins" "/M=gen_klv.dll /S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  Call un.WaitForPlayerClosed
FunctionEnd

; $INSTDIR is the folder the uninstaller sits in: the Plugins folder.
Section "Uninstall"
  Call un.WaitForPlayerClosed
  Delete "$INSTDIR\gen_klv.dll"
  ${If} ${FileExists} "$INSTDIR\gen_klv.ini"
  ${OrIf} ${FileExists} "${USER_SETTINGS}"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Remove the plug-in's settings (gen_klv.ini) as well?" /SD IDNO IDNO keepSettings
    Delete "$INSTDIR\gen_klv.ini"
    Delete "${USER_SETTINGS}"
    keepSettings:
  ${EndIf}
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$INSTDIR\${UNINSTALLER}"
SectionEnd
