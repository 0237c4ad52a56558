; The Parlix installer (NSIS 3, Unicode). Built by packaging/CMakeLists.txt:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DSTAGE=<program folder> -DOUTFILE=<setup.exe>
;            -DICON=<parlix.ico> parlix.nsi
; Installs for the user who runs it, without asking for elevation: into the user's program
; folder (the program keeps set.ini beside itself, so the folder must be the user's to write),
; a Start-menu folder and an entry in the user's list of installed programs. The COM servers
; (Nexcor.dll and the plugins) register themselves through regsvr32: machine-wide when the
; installer runs elevated, else for the user alone. Silent: setup.exe /S [/D=<folder>].
; The uninstaller unregisters them and removes everything it finds in the program folder except
; the user's set.ini.

Unicode true
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define PRODUCT "Parlix"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Parlix"
!define PRODUCT_KEY "Software\Parlix"
; Held by a running Parlix (app/startup_win.cpp).
!define INSTANCE_MUTEX "Parlix.SingleInstance"
; The program's autostart value (settings: the autostart entry).
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Morvane"
!define SYNCHRONIZE 0x00100000

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${PRODUCT_KEY}" "InstallDir"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PRODUCT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Parlix.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

LangString RunningInstall ${LANG_SIMPCHINESE} "Parlix 正在运行。请先退出 Parlix，再安装。"
LangString RunningInstall ${LANG_ENGLISH} "Parlix is running. Please exit Parlix first, then install."
LangString RunningRemove ${LANG_SIMPCHINESE} "Parlix 正在运行。请先退出 Parlix，再卸载。"
LangString RunningRemove ${LANG_ENGLISH} "Parlix is running. Please exit Parlix first, then uninstall."
LangString RegisterFailed ${LANG_SIMPCHINESE} "组件注册失败："
LangString RegisterFailed ${LANG_ENGLISH} "A component could not be registered: "
LangString RemoveLink ${LANG_SIMPCHINESE} "卸载 Parlix"
LangString RemoveLink ${LANG_ENGLISH} "Uninstall Parlix"

; A running Parlix holds its files and has its hook library inside the IM clients: it must end
; first. $0 = the message to show.
!macro RefuseWhileRunning message
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${INSTANCE_MUTEX}") p .r1'
  ${If} $1 != 0
    System::Call 'kernel32::CloseHandle(p r1)'
    MessageBox MB_OK|MB_ICONEXCLAMATION "${message}" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
!macroend

; regsvr32 on one file, waited for. $0 gets its exit code.
!macro Regsvr32 options file
  ExecWait '"$SYSDIR\regsvr32.exe" ${options} "${file}"' $0
!macroend

Function .onInit
  !insertmacro RefuseWhileRunning "$(RunningInstall)"
FunctionEnd

Function un.onInit
  !insertmacro RefuseWhileRunning "$(RunningRemove)"
FunctionEnd

Section "Parlix"
  SetOutPath "$INSTDIR"
  File "${STAGE}/Parlix.exe"
  File "${STAGE}/Parlix.dll"
  File "${STAGE}/Nexcor.dll"
  SetOutPath "$INSTDIR\Plugins"
  File /nonfatal /r "${STAGE}/Plugins/*.*"
  SetOutPath "$INSTDIR"

  ; The contract library first: the plugins' type libraries refer to it.
  !insertmacro Regsvr32 "/s" "$INSTDIR\Nexcor.dll"
  ${If} $0 != 0
    DetailPrint "$(RegisterFailed)Nexcor.dll ($0)"
    SetErrors
  ${EndIf}
  FindFirst $2 $3 "$INSTDIR\Plugins\*.dll"
  ${DoWhile} $3 != ""
    !insertmacro Regsvr32 "/s" "$INSTDIR\Plugins\$3"
    ${If} $0 != 0
      DetailPrint "$(RegisterFailed)$3 ($0)"
    ${EndIf}
    FindNext $2 $3
  ${Loop}
  FindClose $2

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Parlix.lnk" "$INSTDIR\Parlix.exe" "" "$INSTDIR\Parlix.exe" 0
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\$(RemoveLink).lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKCU "${PRODUCT_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Parlix.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The autostart value, when it starts this copy of the program.
!macro RemoveAutostart root
  ReadRegStr $0 ${root} "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == "$INSTDIR\Parlix.exe"
    DeleteRegValue ${root} "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
!macroend

Section "Uninstall"
  ; The plugins first, then the contract library they bind to.
  FindFirst $2 $3 "$INSTDIR\Plugins\*.dll"
  ${DoWhile} $3 != ""
    !insertmacro Regsvr32 "/u /s" "$INSTDIR\Plugins\$3"
    FindNext $2 $3
  ${Loop}
  FindClose $2
  !insertmacro Regsvr32 "/u /s" "$INSTDIR\Nexcor.dll"

  ; Everything in the program folder but the user's settings. The folder itself goes when
  ; nothing is left in it.
  FindFirst $2 $3 "$INSTDIR\*.*"
  ${DoWhile} $3 != ""
    ${If} $3 != "."
    ${AndIf} $3 != ".."
    ${AndIf} $3 != "set.ini"
      ${If} ${FileExists} "$INSTDIR\$3\*.*"
        RMDir /r "$INSTDIR\$3"
      ${Else}
        Delete "$INSTDIR\$3"
      ${EndIf}
    ${EndIf}
    FindNext $2 $3
  ${Loop}
  FindClose $2
  RMDir "$INSTDIR"

  RMDir /r "$SMPROGRAMS\${PRODUCT}"
  !insertmacro RemoveAutostart HKCU
  !insertmacro RemoveAutostart HKLM
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "${PRODUCT_KEY}"
SectionEnd
