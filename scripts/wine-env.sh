# Sourced by test.sh: the Wine prefix of the tests inside the build tree, and a private Xvfb display.
# After `tessora_wine_start <build dir>` every Wine process of this shell and its children uses them;
# `tessora_wine_stop` (also run from the EXIT trap) stops the display and the prefix's wineserver.

tessora_wine_start() {
    local build="$1"
    export WINEPREFIX="$build/wine/prefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
    export WINEARCH=win64
    export HOME="$build/wine/home"
    export TZ=UTC
    export LC_ALL=C.UTF-8
    export LANG=C.UTF-8
    mkdir -p "$HOME" "$build/wine"

    # Xvfb picks a free display number itself and reports it through a file descriptor. DISPLAY must be
    # set before the first Wine process of the prefix: a wineserver started without it refuses windows.
    local fdfile="$build/wine/display"
    rm -f "$fdfile"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
    TESSORA_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
        [ -s "$fdfile" ] && break
        sleep 0.1
    done
    [ -s "$fdfile" ] || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$(head -n 1 "$fdfile")"

    if [ ! -f "$WINEPREFIX/.tessora-ready" ]; then
        echo "Preparing the Wine prefix for the tests..."
        wineboot --init >/dev/null 2>&1 || true
        local reg="$build/wine/settings.reg"
        cat >"$reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Courier"="Liberation Mono"
"Courier New"="Liberation Mono"
"Times New Roman"="Liberation Serif"
REG
        wine regedit /S "$reg" >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.tessora-ready"
    fi
}

tessora_wine_stop() {
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
    if [ -n "${TESSORA_XVFB_PID:-}" ]; then
        kill "$TESSORA_XVFB_PID" >/dev/null 2>&1 || true
        wait "$TESSORA_XVFB_PID" 2>/dev/null || true
        TESSORA_XVFB_PID=
    fi
}
