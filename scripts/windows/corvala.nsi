; The Windows installer of Corvala, made by scripts/build-windows-installer.sh
; from the same staged folder as the zip:
;   makensis -DVERSION=0.1.0 -DSTAGE=<staged folder> -DICON=<corvala.ico>
;            -DLICENCE=<licence text> -DOUTFILE=<setup.exe> corvala.nsi
; For the current user by default (no administrator rights, into the user's
; programs folder); for all users where the user chooses it and may. It
; registers .cvl lists so that a double-click opens them in Corvala, and an
; uninstaller that takes all of it away again but the user's lists and the
; autosave folder.

Unicode true
; A 64-bit installer for a 64-bit program; it also runs where only 64-bit
; Windows programs can (Wine without its 32-bit part).
Target amd64-unicode
SetCompressor /SOLID lzma

!define APP "Corvala"
!define CAPTION "钢筋计算器 (Corvala)"
!define PROGID "Corvala.CuttingList"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvala"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_INSTALLMODE_INSTDIR "${APP}"
!define MULTIUSER_USE_PROGRAMFILES64
; An upgrade goes where the earlier version went, without asking again.
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh

Name "${CAPTION}"
OutFile "${OUTFILE}"
BrandingText "${APP} ${VERSION}"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\corvala.exe"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${CAPTION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${CAPTION} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "The Corvala project"

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP "Corvala 需要 64 位 Windows。" /SD IDOK
        Abort
    ${EndIf}
    SetRegView 64
    !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
    SetRegView 64
    !insertmacro MULTIUSER_UNINIT
FunctionEnd

; A running program keeps its files locked: it is closed first, or nothing
; is replaced.
!macro WaitUntilClosed
    ${Do}
        ClearErrors
        ${IfNot} ${FileExists} "$INSTDIR\corvala.exe"
            ${Break}
        ${EndIf}
        FileOpen $0 "$INSTDIR\corvala.exe" a
        ${IfNot} ${Errors}
            FileClose $0
            ${Break}
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "Corvala 正在运行。请先关闭它（保存好下料单），再点“重试”。" /SD IDCANCEL IDRETRY +2
        Abort
    ${Loop}
!macroend

Section "Corvala" SecProgram
    SectionIn RO
    !insertmacro WaitUntilClosed
    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortcut "$SMPROGRAMS\${CAPTION}.lnk" "$INSTDIR\corvala.exe" "" "$INSTDIR\corvala.exe" 0

    ; Cutting lists open in Corvala with a double-click.
    WriteRegStr SHCTX "Software\Classes\.cvl" "" "${PROGID}"
    WriteRegStr SHCTX "Software\Classes\.cvl" "Content Type" "application/x-corvala-cutting-list"
    WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "Corvala 下料单"
    WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\corvala.exe,0"
    WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open" "" "用 Corvala 打开"
    WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\corvala.exe" "%1"'
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${CAPTION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "The Corvala project"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\corvala.exe,0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" \
        '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" \
        '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "桌面快捷方式" SecDesktop
    CreateShortcut "$DESKTOP\${CAPTION}.lnk" "$INSTDIR\corvala.exe" "" "$INSTDIR\corvala.exe" 0
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "程序本身、开始菜单项和 .cvl 下料单文件的关联。"
    !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} "在桌面放一个 Corvala 的快捷方式。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; Everything the installer put there goes; the user's lists (wherever they
; were saved) and the autosave folder under %APPDATA%\Corvala stay.
Section "Uninstall"
    !insertmacro WaitUntilClosed
    Delete "$SMPROGRAMS\${CAPTION}.lnk"
    Delete "$DESKTOP\${CAPTION}.lnk"
    ReadRegStr $0 SHCTX "Software\Classes\.cvl" ""
    ${If} $0 == "${PROGID}"
        DeleteRegKey SHCTX "Software\Classes\.cvl"
    ${EndIf}
    DeleteRegKey SHCTX "Software\Classes\${PROGID}"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
    RMDir /r "$INSTDIR"
SectionEnd
