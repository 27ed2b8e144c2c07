; The Windows installer of the converter: the window program and the batch converter side by
; side in the folder chosen, with the Qt and run-time DLLs they need, the help file when there
; is one, a start-menu entry and an uninstaller. 64-bit only.
;
; The converter belongs in the timetable program's own folder: an embedded run leaves its
; outcome in "Vestrano.ini" beside the converter's program file, and the timetable program reads
; it from its folder. School computers are used by standard users, who may not write in a folder
; of programs, so the installer gives the Users group the right to change that one file, never
; the folder: a folder of programs that users can write lets any of them replace a program that
; an administrator runs later.
;
; Made by scripts/windows.sh (installer stage), which passes
;   VERSION  the program's version
;   LISTS    a folder with install.nsh and uninstall.nsh, the File and Delete lines for exactly
;            the files of the deploy folder
;   ICON     the program's icon
;   OUTFILE  the installer to write
; Silent use: TransVestranosXadeCSV-setup.exe /S /D=C:\folder (/D= last, without quotes), and
; "Desinstalar TransVestranosXadeCSV.exe" /S in that folder. The exit status is 0 when all went
; well, 2 when the users could not be given the right to write Vestrano.ini.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "x64.nsh"
!include "LogicLib.nsh"

!define PRODUCT "TransVestranosXadeCSV"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

; The uninstaller's own name: the timetable program's folder may well hold an "Uninstall.exe"
; of its own.
!define UNINSTALLER "Desinstalar ${PRODUCT}.exe"
; The Users group by its well-known SID, whatever the language of Windows calls it.
!define USERS_SID "*S-1-5-32-545"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; No InstallDir: .onInit proposes the folder, unless /D= has given one.
BrandingText "${PRODUCT} ${VERSION}"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" ""

!define MUI_DIRECTORYPAGE_TEXT_TOP "Instale ${PRODUCT} en la carpeta de Vestrano, la que contiene \
    Vestrano.ini: allí deja a Vestrano el resultado de cada conversión que Vestrano inicia. \
    En otra carpeta, Vestrano no lo recibe."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Carpeta de Vestrano"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Spanish"

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP "${PRODUCT} necesita Windows de 64 bits." /SD IDOK
        Abort
    ${EndIf}
    SetRegView 64
    SetShellVarContext all
    ${If} $INSTDIR == ""
        Call ProposeFolder
    ${EndIf}
FunctionEnd

; Is $0 the timetable program's folder (it holds the program or its Vestrano.ini)?
!macro IF_VESTRANO_FOLDER
    ${If} ${FileExists} "$0\Vestrano.ini"
    ${OrIf} ${FileExists} "$0\Vestrano.exe"
!macroend

; Looks for the timetable program's folder among base\Vestrano*; leaves the function when found.
!macro LOOK_IN base
    FindFirst $2 $3 "${base}\Vestrano*"
    ${DoWhile} $3 != ""
        StrCpy $0 "${base}\$3"
        !insertmacro IF_VESTRANO_FOLDER
            FindClose $2
            StrCpy $INSTDIR $0
            Return
        ${EndIf}
        FindNext $2 $3
    ${Loop}
    FindClose $2
!macroend

; The folder of an earlier install when it is the timetable program's; else the first of the
; usual places that holds the timetable program or its Vestrano.ini; else the folder of an
; earlier install elsewhere; else a folder of its own under Program Files.
Function ProposeFolder
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    StrCpy $0 $1
    ${If} $0 != ""
        !insertmacro IF_VESTRANO_FOLDER
            StrCpy $INSTDIR $0
            Return
        ${EndIf}
    ${EndIf}
    ; A 64-bit installer's $PROGRAMFILES32 is the 64-bit folder: the environment tells both.
    ReadEnvStr $4 "ProgramW6432"
    !insertmacro LOOK_IN "$4"
    ReadEnvStr $4 "ProgramFiles(x86)"
    !insertmacro LOOK_IN "$4"
    !insertmacro LOOK_IN "C:"
    !insertmacro LOOK_IN "D:"
    ${If} $1 != ""
    ${AndIf} ${FileExists} "$1\${PRODUCT}.exe"
        StrCpy $INSTDIR $1
        Return
    ${EndIf}
    StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "${PRODUCT}"
    !include "${LISTS}\install.nsh"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    ; The status file: created empty when missing, an existing one left as it is.
    ${IfNot} ${FileExists} "$INSTDIR\Vestrano.ini"
        FileOpen $0 "$INSTDIR\Vestrano.ini" a
        FileClose $0
    ${EndIf}
    nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$INSTDIR\Vestrano.ini" /grant ${USERS_SID}:(M)'
    Pop $0
    ${If} $0 != 0
        SetErrorLevel 2
        MessageBox MB_ICONEXCLAMATION "No se pudo dar a los usuarios permiso para modificar \
            $INSTDIR\Vestrano.ini (icacls: $0). Sin él, Vestrano no recibirá el resultado de las \
            conversiones de los usuarios que no administran el equipo: déselo desde las \
            propiedades del archivo, pestaña Seguridad." /SD IDOK
    ${EndIf}
    CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PRODUCT}.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PRODUCT}.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what was installed and nothing else: the folder goes only when it is empty, and the
; status file "Vestrano.ini" stays (it is the timetable program's).
Section "Uninstall"
    !include "${LISTS}\uninstall.nsh"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
