; The per-user installer of Kestra: no administrator rights, a Start-menu
; shortcut, an entry in the user's installed programs, and an uninstaller that
; puts back any EUDC link the program still holds before it removes the files.
;
; Built by installer/CMakeLists.txt:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DARCH=x64|x86
;            -DPROGRAM=path/to/Kestra.exe -DOUTFILE=path/to/setup.exe kestra.nsi

!if "${ARCH}" == "x64"
    ; The 64-bit program runs only on 64-bit Windows, and so may its installer.
    Target amd64-unicode
!else
    Target x86-unicode
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh

!define PRODUCT "Kestra 外字列印程式"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestra"
!define EUDC_KEY "EUDC\950"
; Where the program keeps a copy of each EUDC link while it has removed it.
!define PROGRAM_KEY "Software\Kestra"
!define REMOVED_LINKS_KEY "${PROGRAM_KEY}\Removed EUDC links"
; Which runs of the program hold a removed link: one empty value per run, named
; "<process id>:<its creation time, 16 hex digits>:<face>", so a new process
; given a dead run's id is not taken for it.
!define LINK_HOLDERS_KEY "${PROGRAM_KEY}\EUDC link holders"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

!define REG_SZ 1
!define REG_EXPAND_SZ 2
!define KEY_READ 0x20019
!define PROCESS_QUERY_LIMITED_INFORMATION 0x1000
!define STILL_ACTIVE 259
; RRF_RT_ANY | RRF_NOEXPAND: report any type, REG_EXPAND_SZ as itself.
!define RRF_ANY_TYPE_AS_STORED 0x1000FFFF

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Kestra"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
ManifestSupportedOS all
ManifestDPIAware true

; makensis works in this script's folder.
!define MUI_ICON "../res/kestra.ico"
!define MUI_UNICON "../res/kestra.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Kestra.exe"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The first language is the one shown when the user's is neither.
!insertmacro MUI_LANGUAGE "TradChinese"
!insertmacro MUI_LANGUAGE "English"

LangString CloseProgramFirst ${LANG_TRADCHINESE} "${PRODUCT} 正在執行，而且暫時移除了一個造字連結。請先關閉程式，讓它把連結寫回原處，再按「重試」。"
LangString CloseProgramFirst ${LANG_ENGLISH} "${PRODUCT} is running and has removed an EUDC link for a while. Close the program first, so that it writes the link back, then choose Retry."

; No copyright holder is named anywhere in the program.
!pragma warning disable 9100
VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_TRADCHINESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_TRADCHINESE} "FileDescription" "${PRODUCT} 安裝程式"
VIAddVersionKey /LANG=${LANG_TRADCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_TRADCHINESE} "ProductVersion" "${VERSION}"

Section
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File "/oname=Kestra.exe" "${PROGRAM}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\Kestra.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kestra.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; $0 = a key under HKEY_CURRENT_USER, $1 = a value name.
; Out: $2 = the value's type as stored, or -1 when it cannot be read (missing).
; Uses $3, $4.
Function un.ValueType
    StrCpy $2 -1
    System::Call 'advapi32::RegOpenCurrentUser(i ${KEY_READ}, *p .r3) i .r4'
    ${If} $4 = 0
        System::Call 'advapi32::RegGetValueW(p r3, w r0, w r1, i ${RRF_ANY_TYPE_AS_STORED}, *i .r2, p 0, p 0) i .r4'
        ${If} $4 <> 0
            StrCpy $2 -1
        ${EndIf}
        System::Call 'advapi32::RegCloseKey(p r3)'
    ${EndIf}
FunctionEnd

; $1 = the name of a kept copy under REMOVED_LINKS_KEY.
; Writes the link back, with its own type, only when EUDC\950 lacks that value:
; a link the user made meanwhile is never overwritten.
; Out: $5 = 1 when the link is settled (back, or made anew by the user), else 0.
Function un.PutBackLink
    StrCpy $5 0
    StrCpy $0 "${EUDC_KEY}"
    Call un.ValueType
    ${If} $2 <> -1
        StrCpy $5 1
        Return
    ${EndIf}
    StrCpy $0 "${REMOVED_LINKS_KEY}"
    Call un.ValueType
    ${If} $2 <> ${REG_SZ}
    ${AndIf} $2 <> ${REG_EXPAND_SZ}
        ; No EUDC link is kept in any other type: leave the copy alone.
        Return
    ${EndIf}
    ClearErrors
    ReadRegStr $6 HKCU "${REMOVED_LINKS_KEY}" $1
    ${If} ${Errors}
        Return
    ${EndIf}
    ; The system rereads the links when EUDC is switched back on.
    System::Call 'gdi32::EnableEUDC(i 0)'
    ${If} $2 = ${REG_EXPAND_SZ}
        WriteRegExpandStr HKCU "${EUDC_KEY}" $1 $6
    ${Else}
        WriteRegStr HKCU "${EUDC_KEY}" $1 $6
    ${EndIf}
    ${IfNot} ${Errors}
        StrCpy $5 1
    ${EndIf}
    System::Call 'gdi32::EnableEUDC(i 1)'
FunctionEnd

; $1 = the name of a holder record. Out: $R0 = 1 while the run it names is
; still running, else 0. Uses $R2-$R7.
Function un.IsRunningHolder
    StrCpy $R0 0
    ClearErrors
    ${WordFind} "$1" ":" "E+1" $R2
    ${WordFind} "$1" ":" "E+2" $R3
    ${If} ${Errors}
        Return
    ${EndIf}
    System::Int64Op "0x$R3" + 0
    Pop $R3
    System::Call 'kernel32::OpenProcess(i ${PROCESS_QUERY_LIMITED_INFORMATION}, i 0, i $R2) p .R4'
    ${If} $R4 = 0
        Return
    ${EndIf}
    System::Call 'kernel32::GetProcessTimes(p R4, *l .R5, *l .R7, *l .R7, *l .R7) i .R6'
    ${If} $R6 <> 0
    ${AndIf} $R5 == $R3
        System::Call 'kernel32::GetExitCodeProcess(p R4, *i .R5) i .R6'
        ${If} $R6 <> 0
        ${AndIf} $R5 = ${STILL_ACTIVE}
            StrCpy $R0 1
        ${EndIf}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R4)'
FunctionEnd

; Out: $R0 = 1 when a running program holds a removed link. Uses $1, $R2-$R8.
Function un.AnyLinkHeldByRunningProgram
    StrCpy $R8 0
    ${Do}
        ClearErrors
        EnumRegValue $1 HKCU "${LINK_HOLDERS_KEY}" $R8
        ${If} ${Errors}
        ${OrIf} $1 == ""
            StrCpy $R0 0
            Return
        ${EndIf}
        Call un.IsRunningHolder
        ${If} $R0 = 1
            Return
        ${EndIf}
        IntOp $R8 $R8 + 1
    ${Loop}
FunctionEnd

; A copy a running program holds is that program's to write back when it
; ends; taking it from under the program would leave its table headed with
; the system default EUDC font while the default face draws its own file.
Function un.onInit
    retry:
    Call un.AnyLinkHeldByRunningProgram
    ${If} $R0 = 1
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(CloseProgramFirst)" /SD IDCANCEL IDRETRY retry
        Abort
    ${EndIf}
FunctionEnd

; Does on uninstall what the program does at its next start: every link it
; removed and never wrote back goes back into EUDC\950. A copy is deleted only
; once its link is settled, so a failed write loses nothing.
Function un.PutBackRemovedLinks
    StrCpy $7 0
    ${Do}
        ClearErrors
        EnumRegValue $1 HKCU "${REMOVED_LINKS_KEY}" $7
        ${If} ${Errors}
        ${OrIf} $1 == ""
            ${Break}
        ${EndIf}
        Call un.PutBackLink
        ${If} $5 = 1
            ClearErrors
            DeleteRegValue HKCU "${REMOVED_LINKS_KEY}" $1
        ${EndIf}
        ; A deleted copy's successor moves up into this index.
        ${If} $5 <> 1
        ${OrIf} ${Errors}
            IntOp $7 $7 + 1
        ${EndIf}
    ${Loop}
    Call un.ForgetEndedHolders
    DeleteRegKey /ifempty HKCU "${REMOVED_LINKS_KEY}"
    DeleteRegKey /ifempty HKCU "${LINK_HOLDERS_KEY}"
    DeleteRegKey /ifempty HKCU "${PROGRAM_KEY}"
FunctionEnd

; The records of runs that have ended.
Function un.ForgetEndedHolders
    StrCpy $7 0
    ${Do}
        ClearErrors
        EnumRegValue $1 HKCU "${LINK_HOLDERS_KEY}" $7
        ${If} ${Errors}
        ${OrIf} $1 == ""
            ${Break}
        ${EndIf}
        Call un.IsRunningHolder
        ClearErrors
        ${If} $R0 = 0
            DeleteRegValue HKCU "${LINK_HOLDERS_KEY}" $1
        ${Else}
            SetErrors
        ${EndIf}
        ; A deleted record's successor moves up into this index.
        ${If} ${Errors}
            IntOp $7 $7 + 1
        ${EndIf}
    ${Loop}
FunctionEnd

Section "Uninstall"
    SetShellVarContext current
    Call un.PutBackRemovedLinks
    Delete "${SHORTCUT}"
    Delete "$INSTDIR\Kestra.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
