; The Velmor installer: both programs, banktool, the example banks and the guide, for one
; user, without administrator rights. scripts/package.sh makes it:
;   makensis -DVERSION=1.0.0 -DSTAGE=folder -DOUTFILE=setup.exe -DICON=tarvik.ico [-DAMD64] velmor.nsi
; Silent install and uninstall for school IT: setup.exe /S [/D=folder], uninstall.exe /S; with
; one of the programs open, both change nothing and end with status 2.
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
; Each file the installer writes besides the programs, with the stamp it had when written.
!define FILES_KEY "${UNINSTALL_KEY}\InstalledFiles"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Velmor"
SetCompressor /SOLID lzma
BrandingText "${PRODUCT} ${VERSION}"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

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

Var OpenPrograms
Var Handle
Var StampPath
Var Stamp
Var TimeHigh
Var TimeLow
Var Recorded
Var Entry
Var Folder
Var Mode
Var Found
Var FoundName
Var Index
Var KeptList
Var KeptCount
Var PrefixLength

; A program that runs holds its .exe: Windows and Wine refuse to open it for writing (and
; Wine to delete it). So an installed program that is open is found without a plug-in, and
; only the copy in this folder counts, not a portable one elsewhere. A read-only .exe would
; look open; Delete and File clear that attribute anyway, so it is cleared here first.
!macro NOTE_IF_OPEN FILE NAME
  ${If} ${FileExists} "$INSTDIR\${FILE}"
    ${GetFileAttributes} "$INSTDIR\${FILE}" "READONLY" $Handle
    ${If} $Handle == 1
      SetFileAttributes "$INSTDIR\${FILE}" NORMAL
    ${EndIf}
    ClearErrors
    FileOpen $Handle "$INSTDIR\${FILE}" a
    ${If} ${Errors}
      StrCpy $OpenPrograms "$OpenPrograms　　${NAME}$\r$\n"
    ${Else}
      FileClose $Handle
    ${EndIf}
  ${EndIf}
!macroend

; Nothing is written or removed while one of the programs runs: Windows would keep its .exe and
; leave half an installation. The teacher is asked to close them; silently, or when the teacher
; cancels, the installer or uninstaller ends with status 2, having changed nothing.
!macro ENSURE_PROGRAMS_CLOSED_FUNCTION UN DOING CANCELLED
Function ${UN}EnsureProgramsClosed
  ${Do}
    StrCpy $OpenPrograms ""
    !insertmacro NOTE_IF_OPEN "Tarvik.exe" "题库编辑器（Tarvik）"
    !insertmacro NOTE_IF_OPEN "Oblen.exe" "操作题编辑器（Oblen）"
    !insertmacro NOTE_IF_OPEN "banktool.exe" "命令行工具 banktool"
    ${If} $OpenPrograms == ""
      Return
    ${EndIf}
    ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "下列程序还开着，${DOING}前请先关闭：$\r$\n$\r$\n$OpenPrograms$\r$\n请保存好您的题目，关闭这些程序，再点“重试”。$\r$\n点“取消”则${CANCELLED}。" /SD IDCANCEL IDRETRY`
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro ENSURE_PROGRAMS_CLOSED_FUNCTION "" "安装" "不安装，原有的文件保持不变"
!insertmacro ENSURE_PROGRAMS_CLOSED_FUNCTION "un." "卸载" "不卸载，所有文件保持不变"

; A file's size and time of last change, as the installer left it; "" when it cannot be read.
; A file the teacher saved again has a new time of last change (and almost always a new size);
; a bank copied over it from elsewhere keeps its own time, which is not the one written here,
; and most likely its own size. Any difference, also a time shifted by a FAT drive's daylight
; saving, only keeps a file that could have been removed, never the other way round.
!macro FILE_STAMP_FUNCTION UN
Function ${UN}FileStamp
  StrCpy $Stamp ""
  ClearErrors
  FileOpen $Handle $StampPath r
  ${IfNot} ${Errors}
    FileSeek $Handle 0 END $Stamp
    FileClose $Handle
    GetFileTime $StampPath $TimeHigh $TimeLow
    StrCpy $Stamp "$Stamp $TimeHigh $TimeLow"
  ${EndIf}
FunctionEnd
!macroend
!insertmacro FILE_STAMP_FUNCTION ""
!insertmacro FILE_STAMP_FUNCTION "un."

; Puts $PLUGINSDIR\$Entry in place as $INSTDIR\$Entry and records its stamp. With $Mode "keep" a
; file that is there and not as this installer or an earlier one wrote it (the teacher changed
; it, or it is the teacher's own) stays as it is: Date.dat and the example banks hold questions.
Function PutFile
  StrCpy $StampPath "$INSTDIR\$Entry"
  ${If} $Mode == "keep"
  ${AndIf} ${FileExists} $StampPath
    Call FileStamp
    ReadRegStr $Recorded HKCU "${FILES_KEY}" $Entry
    ${If} $Stamp != $Recorded
      DetailPrint "保留了 $Entry：它被修改过，其中有您的题目。"
      Return
    ${EndIf}
  ${EndIf}
  ${Do}
    ClearErrors
    CopyFiles /SILENT "$PLUGINSDIR\$Entry" $StampPath
    ${IfNot} ${Errors}
      ${ExitDo}
    ${EndIf}
    ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONSTOP "无法写入$\r$\n$StampPath$\r$\n它可能正被别的程序打开。关闭后请点“重试”。" /SD IDCANCEL IDRETRY`
      SetErrorLevel 2
      Abort
    ${EndIf}
  ${Loop}
  Call FileStamp
  WriteRegStr HKCU "${FILES_KEY}" $Entry $Stamp
FunctionEnd

; PutFile for each file of $PLUGINSDIR\$Folder.
Function PutFolder
  CreateDirectory "$INSTDIR\$Folder"
  FindFirst $Found $FoundName "$PLUGINSDIR\$Folder\*.*"
  ${DoUntil} $FoundName == ""
    ${IfNot} ${FileExists} "$PLUGINSDIR\$Folder\$FoundName\*.*"
      StrCpy $Entry "$Folder\$FoundName"
      Call PutFile
    ${EndIf}
    FindNext $Found $FoundName
  ${Loop}
  FindClose $Found
FunctionEnd

Section "程序和示例题库（必需）" SectionPrograms
  SectionIn RO
  Call EnsureProgramsClosed
  SetOutPath "$INSTDIR"
  File "${STAGE}\Tarvik.exe"
  File "${STAGE}\Oblen.exe"
  File "${STAGE}\banktool.exe"

  ; The other files come out beside the installer first; PutFile decides which to write.
  InitPluginsDir
  SetOutPath "$PLUGINSDIR"
  File "${STAGE}\使用说明.html"
  File "${STAGE}\Date.dat"
  SetOutPath "$PLUGINSDIR\说明图片"
  File "${STAGE}\说明图片\*.*"
  SetOutPath "$PLUGINSDIR\示例题库"
  File "${STAGE}\示例题库\*.*"
  ; The guide describes the programs installed with it: it is always written.
  StrCpy $Mode "replace"
  StrCpy $Entry "使用说明.html"
  Call PutFile
  StrCpy $Folder "说明图片"
  Call PutFolder
  StrCpy $Mode "keep"
  StrCpy $Entry "Date.dat"
  Call PutFile
  StrCpy $Folder "示例题库"
  Call PutFolder

  SetOutPath "$INSTDIR"
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

Function un.onInit
  Call un.EnsureProgramsClosed
FunctionEnd

; Names a file that stays for the closing message (Locate calls it with the path in $R9).
Function un.NoteKept
  IntOp $KeptCount $KeptCount + 1
  StrCpy $Entry $R9 "" $PrefixLength
  DetailPrint "保留了 $Entry"
  ${If} $KeptCount <= 8
    StrCpy $KeptList "$KeptList　　$Entry$\r$\n"
  ${ElseIf} $KeptCount == 9
    StrCpy $KeptList "$KeptList　　……$\r$\n"
  ${EndIf}
  Push ""
FunctionEnd

Section "Uninstall"
  ; Asked again: a program may have been started while the confirmation page was up.
  Call un.EnsureProgramsClosed
  ; The programs go first: should one of them be started even now, the uninstaller stops with
  ; everything else in place, itself included, to be run again.
  ClearErrors
  Delete "$INSTDIR\Tarvik.exe"
  Delete "$INSTDIR\Oblen.exe"
  Delete "$INSTDIR\banktool.exe"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "有程序刚刚又被打开，卸载已停止。$\r$\n请关闭题库编辑器和操作题编辑器后再卸载一次。" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}

  ; The other files the installer wrote, each only while it is as written: what the teacher
  ; changed or saved here stays.
  StrCpy $Index 0
  ${Do}
    ClearErrors
    EnumRegValue $Entry HKCU "${FILES_KEY}" $Index
    ${If} ${Errors}
    ${OrIf} $Entry == ""
      ${ExitDo}
    ${EndIf}
    ReadRegStr $Recorded HKCU "${FILES_KEY}" $Entry
    StrCpy $StampPath "$INSTDIR\$Entry"
    Call un.FileStamp
    ${If} $Stamp == $Recorded
      Delete $StampPath
    ${EndIf}
    IntOp $Index $Index + 1
  ${Loop}
  RMDir "$INSTDIR\说明图片"
  RMDir "$INSTDIR\示例题库"

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

  ${If} ${FileExists} "$INSTDIR\*.*"
    StrCpy $KeptList ""
    StrCpy $KeptCount 0
    StrLen $PrefixLength "$INSTDIR\"
    ${Locate} "$INSTDIR" "/L=F /M=*.*" un.NoteKept
    ${If} $KeptCount > 0
      MessageBox MB_OK|MB_ICONINFORMATION "下列 $KeptCount 个文件中有您的题目或修改，没有删除，仍在$\r$\n$INSTDIR 中：$\r$\n$\r$\n$KeptList$\r$\n不再需要时可以自行删除。" /SD IDOK
    ${EndIf}
  ${EndIf}
SectionEnd
