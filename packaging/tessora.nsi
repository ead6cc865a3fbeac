; The Tessora installer. Built by scripts/make-installer.sh:
;   makensis /DVERSION=0.1.0 /DPROGRAM=path/Tessora.exe /DOUTFILE=path/Tessora-0.1.0-setup.exe tessora.nsi
;
; Installs for all users (Program Files, HKLM) or for the current user (%LOCALAPPDATA%\Programs, HKCU).
; Switches: /S silent, /ALLUSERS or /CURRENTUSER (the default is all users when run by an administrator,
; else the current user), /D=<folder> the installation folder. The uninstaller takes /S and, to delete the
; user's settings as well, /REMOVESETTINGS; it finds out by itself which of the two kinds it belongs to.
; "Open with" entries are added for the picture types the program reads; no type's default is changed.

; Tessora.exe is a 64-bit program, so the installer is one too (and needs no 32-bit subsystem).
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel highest
SetCompressor /SOLID lzma

!ifndef VERSION
    !error "VERSION must be given with /D"
!endif
!ifndef PROGRAM
    !error "PROGRAM (the path of Tessora.exe) must be given with /D"
!endif
!ifndef OUTFILE
    !error "OUTFILE must be given with /D"
!endif

!ifndef NUMERIC_VERSION
    !define NUMERIC_VERSION "${VERSION}"
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include x64.nsh

!define APP "Tessora"
!define EXE "Tessora.exe"
!define PROGID "Tessora.Picture"
!define PUBLISHER "The Tessora developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessora"
!define VIEW_KEY "Software\Microsoft\Windows\CurrentVersion\Applets\Paint\View"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir ""
ShowInstDetails hide
ShowUninstDetails hide
BrandingText "${APP} ${VERSION}"

VIProductVersion "${NUMERIC_VERSION}.0"
VIAddVersionKey /LANG=0 ProductName "${APP}"
VIAddVersionKey /LANG=0 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=0 FileVersion "${VERSION}"
VIAddVersionKey /LANG=0 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=0 FileDescription "${APP} Setup"
VIAddVersionKey /LANG=0 LegalCopyright "${PUBLISHER}"

Var AllUsers        ; 1: Program Files and HKLM, 0: the user's own folders and HKCU
Var FolderGiven     ; 1 when /D= named the folder
Var AllUsersRadio
Var CurrentUserRadio

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_UNCOMPONENTSPAGE_NODESC

Page custom ScopePage ScopePageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

LangString ScopeTitle ${LANG_ENGLISH} "Choose Users"
LangString ScopeTitle ${LANG_GERMAN} "Benutzer wählen"
LangString ScopeText ${LANG_ENGLISH} "Install ${APP} for:"
LangString ScopeText ${LANG_GERMAN} "${APP} installieren für:"
LangString ScopeAll ${LANG_ENGLISH} "Anyone who uses this computer (all users)"
LangString ScopeAll ${LANG_GERMAN} "Alle Benutzer dieses Computers"
LangString ScopeMe ${LANG_ENGLISH} "Only for me"
LangString ScopeMe ${LANG_GERMAN} "Nur für mich"
LangString NeedsAdmin ${LANG_ENGLISH} "Installing for all users needs administrator rights."
LangString NeedsAdmin ${LANG_GERMAN} "Die Installation für alle Benutzer erfordert Administratorrechte."
LangString Needs64 ${LANG_ENGLISH} "${APP} needs a 64-bit Windows."
LangString Needs64 ${LANG_GERMAN} "${APP} erfordert ein 64-Bit-Windows."
LangString SectionProgram ${LANG_ENGLISH} "${APP}"
LangString SectionProgram ${LANG_GERMAN} "${APP}"
LangString SectionSettings ${LANG_ENGLISH} "My settings (${APP}.ini and the view settings)"
LangString SectionSettings ${LANG_GERMAN} "Meine Einstellungen (${APP}.ini und die Ansichtseinstellungen)"

; The picture types the program opens, for the "Open with" entries.
!macro ForEachPictureType MACRO
    !insertmacro ${MACRO} ".bmp"
    !insertmacro ${MACRO} ".png"
    !insertmacro ${MACRO} ".jpg"
    !insertmacro ${MACRO} ".jpeg"
    !insertmacro ${MACRO} ".gif"
    !insertmacro ${MACRO} ".tif"
    !insertmacro ${MACRO} ".tiff"
!macroend

; SHCTX is HKLM after SetShellVarContext all and HKCU after SetShellVarContext current.
!macro RegisterType EXT
    WriteRegStr SHCTX "Software\Classes\Applications\${EXE}\SupportedTypes" "${EXT}" ""
    WriteRegNone SHCTX "Software\Classes\${EXT}\OpenWithProgids" "${PROGID}"
    WriteRegStr SHCTX "Software\Classes\${EXT}\OpenWithList\${EXE}" "" ""
!macroend

!macro UnregisterType EXT
    DeleteRegValue SHCTX "Software\Classes\${EXT}\OpenWithProgids" "${PROGID}"
    DeleteRegKey /ifempty SHCTX "Software\Classes\${EXT}\OpenWithProgids"
    DeleteRegKey SHCTX "Software\Classes\${EXT}\OpenWithList\${EXE}"
    DeleteRegKey /ifempty SHCTX "Software\Classes\${EXT}\OpenWithList"
    ; Only a key that holds nothing else any more (one this installer made under HKCU, typically).
    DeleteRegKey /ifempty SHCTX "Software\Classes\${EXT}"
!macroend

; The values the program mirrors to its view key (another program may keep values of its own there).
!macro ForEachViewValue MACRO
    !insertmacro ${MACRO} "BMPHeight"
    !insertmacro ${MACRO} "BMPWidth"
    !insertmacro ${MACRO} "GridExtent"
    !insertmacro ${MACRO} "NoStretching"
    !insertmacro ${MACRO} "ShowThumbnail"
    !insertmacro ${MACRO} "SnapToGrid"
    !insertmacro ${MACRO} "ThumbHeight"
    !insertmacro ${MACRO} "ThumbWidth"
    !insertmacro ${MACRO} "ThumbXPos"
    !insertmacro ${MACRO} "ThumbYPos"
    !insertmacro ${MACRO} "UnitSetting"
    !insertmacro ${MACRO} "maximized"
    !insertmacro ${MACRO} "open_last_file"
!macroend

!macro DeleteViewValue NAME
    DeleteRegValue HKCU "${VIEW_KEY}" "${NAME}"
!macroend

!macro UseScope
    ${If} $AllUsers == 1
        SetShellVarContext all
    ${Else}
        SetShellVarContext current
    ${EndIf}
!macroend

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP "$(Needs64)" /SD IDOK
        Abort
    ${EndIf}
    SetRegView 64
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 == "Admin"
        StrCpy $AllUsers 1
    ${Else}
        StrCpy $AllUsers 0
    ${EndIf}
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/CURRENTUSER" $R1
    ${IfNot} ${Errors}
        StrCpy $AllUsers 0
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/ALLUSERS" $R1
    ${IfNot} ${Errors}
        ${If} $0 != "Admin"
            MessageBox MB_ICONSTOP "$(NeedsAdmin)" /SD IDOK
            SetErrorLevel 5 ; ERROR_ACCESS_DENIED
            Quit
        ${EndIf}
        StrCpy $AllUsers 1
    ${EndIf}
    ; /D= fills $INSTDIR before .onInit; otherwise the folder follows the scope.
    ${If} $INSTDIR == ""
        Call DefaultFolder
    ${Else}
        StrCpy $FolderGiven 1
    ${EndIf}
FunctionEnd

Function DefaultFolder
    ${If} $AllUsers == 1
        StrCpy $INSTDIR "$PROGRAMFILES64\${APP}"
    ${Else}
        ; FOLDERID_UserProgramFiles, where per-user programs live on Windows 10 and 11.
        SetShellVarContext current
        StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${APP}"
    ${EndIf}
FunctionEnd

Function ScopePage
    UserInfo::GetAccountType
    Pop $0
    !insertmacro MUI_HEADER_TEXT "$(ScopeTitle)" "$(ScopeText)"
    nsDialogs::Create 1018
    Pop $1
    ${NSD_CreateRadioButton} 0 10u 100% 12u "$(ScopeAll)"
    Pop $AllUsersRadio
    ${NSD_CreateRadioButton} 0 28u 100% 12u "$(ScopeMe)"
    Pop $CurrentUserRadio
    ${If} $0 != "Admin"
        EnableWindow $AllUsersRadio 0
    ${EndIf}
    ${If} $AllUsers == 1
        ${NSD_Check} $AllUsersRadio
    ${Else}
        ${NSD_Check} $CurrentUserRadio
    ${EndIf}
    nsDialogs::Show
FunctionEnd

Function ScopePageLeave
    ${NSD_GetState} $AllUsersRadio $0
    ${If} $0 == ${BST_CHECKED}
        StrCpy $AllUsers 1
    ${Else}
        StrCpy $AllUsers 0
    ${EndIf}
    ${If} $FolderGiven != 1
        Call DefaultFolder
    ${EndIf}
FunctionEnd

Section "-Program"
    !insertmacro UseScope
    SetOutPath "$INSTDIR"
    File "/oname=${EXE}" "${PROGRAM}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

    ; "Open with": the application's own entry, and a ProgID the picture types list beside their default.
    WriteRegStr SHCTX "Software\Classes\Applications\${EXE}" "FriendlyAppName" "${APP}"
    WriteRegStr SHCTX "Software\Classes\Applications\${EXE}\DefaultIcon" "" '"$INSTDIR\${EXE}",0'
    WriteRegStr SHCTX "Software\Classes\Applications\${EXE}\shell\open\command" "" '"$INSTDIR\${EXE}" "%1"'
    WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "${APP} picture"
    WriteRegStr SHCTX "Software\Classes\${PROGID}" "FriendlyTypeName" "${APP} picture"
    WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" '"$INSTDIR\${EXE}",0'
    WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\${EXE}" "%1"'
    !insertmacro ForEachPictureType RegisterType

    ; "Apps & features".
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\${EXE}",0'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" "$0"

    ; SHCNE_ASSOCCHANGED: Explorer rereads the associations.
    System::Call "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"
SectionEnd

; ---- Uninstaller ----

Section "-un.Program"
    !insertmacro UseScope
    Delete "$SMPROGRAMS\${APP}.lnk"

    !insertmacro ForEachPictureType UnregisterType
    DeleteRegKey SHCTX "Software\Classes\Applications\${EXE}"
    DeleteRegKey SHCTX "Software\Classes\${PROGID}"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"

    Delete "$INSTDIR\${EXE}"
    Delete "$INSTDIR\Uninstall.exe"
    ; Only if empty: a Tessora.ini the user put beside the program keeps the folder.
    RMDir "$INSTDIR"

    System::Call "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"
SectionEnd

; Off unless chosen on the components page or with /REMOVESETTINGS: the settings of the user who
; uninstalls (the INI file in the application-data folder and the values the program mirrors to the
; registry).
Section /o "un.$(SectionSettings)" SecSettings
    SetShellVarContext current
    Delete "$APPDATA\${APP}\${APP}.ini"
    RMDir "$APPDATA\${APP}"
    !insertmacro ForEachViewValue DeleteViewValue
    DeleteRegKey /ifempty HKCU "${VIEW_KEY}"
SectionEnd

Function un.onInit
    SetRegView 64
    ; The kind of installation this uninstaller belongs to: the all-users entry names its folder.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
        StrCpy $AllUsers 1
        UserInfo::GetAccountType
        Pop $1
        ${If} $1 != "Admin"
            MessageBox MB_ICONSTOP "$(NeedsAdmin)" /SD IDOK
            SetErrorLevel 5
            Quit
        ${EndIf}
    ${Else}
        StrCpy $AllUsers 0
    ${EndIf}
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/REMOVESETTINGS" $R1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecSettings}
    ${EndIf}
FunctionEnd
