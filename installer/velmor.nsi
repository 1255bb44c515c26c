; The Velmor installer: both programs, banktool, the example banks and the guide, for one
; user, without administrator rights. scripts/package.sh makes it:
;   makensis -DVERSION=1.0.0 -DSTAGE=folder -DOUTFILE=setup.exe -DICON=tarvik.ico [-DAMD64] velmor.nsi
; Silent install and uninstall for school IT: setup.exe /S [/D=folder], uninstall.exe /S.
Unicode true
!ifdef AMD64
  Target amd64-unicode
!endif

!define PRODUCT "Velmor 教育软件"
!define PUBLISHER "Velmor"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmor"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"
!define TARVIK_LINK "Tarvik 题库编辑器.lnk"
!define OBLEN_LINK "Oblen 操作题编辑器.lnk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Velmor"
SetCompressor /SOLID lzma
BrandingText "${PRODUCT} ${VERSION}"

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tarvik.exe"
!define MUI_FINISHPAGE_RUN_TEXT "启动 Tarvik 题库编辑器"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\使用说明.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "阅读使用说明"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "Copyright (C) 2026 Velmor"

Section "程序和示例题库（必需）" SectionPrograms
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}\Tarvik.exe"
  File "${STAGE}\Oblen.exe"
  File "${STAGE}\banktool.exe"
  File "${STAGE}\使用说明.html"
  SetOutPath "$INSTDIR\示例题库"
  File "${STAGE}\示例题库\*.*"
  SetOutPath "$INSTDIR\说明图片"
  File "${STAGE}\说明图片\*.*"
  ; Date.dat holds the teacher's operation questions: one that is there already is kept. The
  ; time of the one written here tells the uninstaller whether Oblen has changed it since.
  SetOutPath "$INSTDIR"
  IfFileExists "$INSTDIR\Date.dat" dateKept
    File "${STAGE}\Date.dat"
    GetFileTime "$INSTDIR\Date.dat" $0 $1
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstalledBankTime" "$0 $1"
  dateKept:

  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\${TARVIK_LINK}" "$INSTDIR\Tarvik.exe"
  CreateShortcut "${MENU_FOLDER}\${OBLEN_LINK}" "$INSTDIR\Oblen.exe"
  CreateShortcut "${MENU_FOLDER}\使用说明.lnk" "$INSTDIR\使用说明.html"
  CreateShortcut "${MENU_FOLDER}\卸载 ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tarvik.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "桌面快捷方式" SectionDesktop
  SetOutPath "$INSTDIR"
  CreateShortcut "$DESKTOP\${TARVIK_LINK}" "$INSTDIR\Tarvik.exe"
  CreateShortcut "$DESKTOP\${OBLEN_LINK}" "$INSTDIR\Oblen.exe"
SectionEnd

LangString DESC_Programs ${LANG_SIMPCHINESE} "Tarvik 题库编辑器、Oblen 操作题编辑器、命令行工具 banktool、示例题库和使用说明。"
LangString DESC_Desktop ${LANG_SIMPCHINESE} "在桌面上放两个程序的快捷方式。"
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionPrograms} $(DESC_Programs)
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionDesktop} $(DESC_Desktop)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "Uninstall"
  Delete "$INSTDIR\Tarvik.exe"
  Delete "$INSTDIR\Oblen.exe"
  Delete "$INSTDIR\banktool.exe"
  Delete "$INSTDIR\使用说明.html"
  RMDir /r "$INSTDIR\示例题库"
  RMDir /r "$INSTDIR\说明图片"

  ; The demonstration bank goes only while it is the one installed: a changed one holds the
  ; teacher's questions.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstalledBankTime"
  IfFileExists "$INSTDIR\Date.dat" 0 dateDone
    GetFileTime "$INSTDIR\Date.dat" $1 $2
    StrCmp $0 "$1 $2" 0 dateChanged
      Delete "$INSTDIR\Date.dat"
      Goto dateDone
    dateChanged:
      DetailPrint "保留了 $INSTDIR\Date.dat：其中保存着您的操作题。"
      MessageBox MB_OK|MB_ICONINFORMATION "Date.dat 中保存着您的操作题，已保留在$\r$\n$INSTDIR$\r$\n不再需要时可以自行删除。" /SD IDOK
  dateDone:

  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "${MENU_FOLDER}\${TARVIK_LINK}"
  Delete "${MENU_FOLDER}\${OBLEN_LINK}"
  Delete "${MENU_FOLDER}\使用说明.lnk"
  Delete "${MENU_FOLDER}\卸载 ${PRODUCT}.lnk"
  RMDir "${MENU_FOLDER}"
  Delete "$DESKTOP\${TARVIK_LINK}"
  Delete "$DESKTOP\${OBLEN_LINK}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
