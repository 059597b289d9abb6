# Shared by the README's commands: packages, build folders, the Wine prefix and Xvfb.
# Source it; it defines functions and sets VELMO_ROOT.

VELMO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export VELMO_WINEPREFIX=${VELMO_WINEPREFIX:-$VELMO_ROOT/build/wineprefix}

velmo_log() { printf '== %s\n' "$*" >&2; }

# Debian packages the build, the tests and the demo need.
VELMO_PACKAGES=(cmake g++ make python3 googletest libbenchmark-dev clang libclang-rt-14-dev
                mingw-w64 g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth imagemagick
                fonts-ipafont-gothic fonts-wine procps locales clang-format-16)

velmo_ensure_packages() {
    velmo_install_missing_packages || return 1
    velmo_ensure_locale ja_JP
    velmo_ensure_locale en_US
}

# Wine takes its locale, and with it the display language, the ANSI code page
# 932, the Japanese day names of the date picker and its own dialogs' texts,
# from LANG; that needs the system's ja_JP.UTF-8 locale (and en_US.UTF-8 for
# the English e2e suite).
velmo_ensure_locale() {
    locale -a 2>/dev/null | grep -qix "$1.utf8" && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    velmo_log "generating the $1.UTF-8 locale"
    "${sudo[@]}" localedef -i "$1" -f UTF-8 "$1.UTF-8"
}

velmo_install_missing_packages() {
    local missing=() pkg
    for pkg in "${VELMO_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    velmo_log "installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Checks that each COMMAND:PACKAGE pair's command is there; names the Debian
# package of every missing one and fails.
velmo_require_tools() {
    local pair missing=0
    for pair in "$@"; do
        if ! command -v "${pair%%:*}" >/dev/null 2>&1; then
            velmo_log "${pair%%:*} is missing: install the Debian package ${pair#*:} (sudo apt-get install ${pair#*:})"
            missing=1
        fi
    done
    return "$missing"
}

velmo_jobs() { nproc 2>/dev/null || echo 2; }

# Wine with the project's own prefix: no Mono/Gecko installer dialogs, no
# crash dialog, quiet, Japanese locale so the UI font falls back to a Japanese one.
velmo_wine_env() {
    export WINEPREFIX=$VELMO_WINEPREFIX
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEDEBUG=-all
    export LANG=ja_JP.UTF-8
}

velmo_wine_prefix() {
    velmo_wine_env
    [ -f "$WINEPREFIX/.velmo-ready" ] && return 0
    velmo_log "creating the Wine prefix in $WINEPREFIX (once)"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # Every program runs inside one virtual desktop named "shell", which has a
    # taskbar with a notification area.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768 /f >/dev/null 2>&1
    # The dialogs' font, "ＭＳ Ｐゴシック", drawn with the metric-alike IPA P Gothic.
    # (A UTF-16 .reg file: the value name is Japanese whatever the host locale.)
    local reg="$WINEPREFIX/velmo-fonts.reg"
    printf '\xef\xbb\xbfWindows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"ＭＳ Ｐゴシック"="IPAPGothic"\r\n' |
        iconv -f UTF-8 -t UTF-16LE >"$reg"
    wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.velmo-ready"
}

# Keeps one Wine server, with Wine's services, up until velmo_stop_wine. Left
# to itself, Wine shuts its services down when the last program ends, and a
# test program started during that shutdown can hang; the tests then start
# and end programs one after another without that gap.
velmo_start_wine() {
    velmo_wine_env
    wineserver -p
    wine cmd /c exit </dev/null >/dev/null 2>&1
}

velmo_stop_wine() {
    velmo_wine_env
    wineserver -k 2>/dev/null
}

# Starts Xvfb on a free display unless one is given; sets DISPLAY and VELMO_XVFB_PID.
velmo_start_xvfb() {
    local n
    for n in $(seq 90 120); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        VELMO_XVFB_PID=$!
        export DISPLAY=":$n"
        local i
        for i in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && return 0
            sleep 0.1
        done
        kill "$VELMO_XVFB_PID" 2>/dev/null
    done
    velmo_log "could not start Xvfb"
    return 1
}

velmo_stop_xvfb() {
    [ -n "${VELMO_XVFB_PID:-}" ] && kill "$VELMO_XVFB_PID" 2>/dev/null
    VELMO_XVFB_PID=
}

# Starts the native router simulator (built by the native preset) on a free
# loopback port with the given options, its output in the file $1. Sets
# VELMO_SIM_PORT and adds the process to VELMO_SIM_PIDS; stop them with
# velmo_stop_routersims.
VELMO_SIM_PIDS=()
velmo_start_routersim() {
    local log=$1; shift
    "$VELMO_ROOT/build/native/sim/velmo-routersim" --port 0 "$@" >"$log" 2>&1 &
    VELMO_SIM_PIDS+=($!)
    VELMO_SIM_PORT=
    local i
    for i in $(seq 1 100); do
        VELMO_SIM_PORT=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log")
        [ -n "$VELMO_SIM_PORT" ] && return 0
        sleep 0.1
    done
    cat "$log" >&2
    velmo_log "the router simulator did not start"
    return 1
}

velmo_stop_routersims() {
    local pid
    for pid in "${VELMO_SIM_PIDS[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    VELMO_SIM_PIDS=()
}

# Configures and builds the libFuzzer targets (preset fuzz), the output in the file $1.
velmo_build_fuzz_targets() {
    { cmake --preset fuzz && cmake --build --preset fuzz -j "$(velmo_jobs)"; } >"$1" 2>&1
}

velmo_fuzz_targets() {
    local target
    for target in "$VELMO_ROOT"/build/fuzz/tests/fuzz/*Fuzz; do
        [ -x "$target" ] && echo "$target"
    done
}

# Runs the fuzz target $1 for $2 seconds, its output in the file $3. It starts
# from two corpora: the scratch one in build/fuzz/corpus/NAME, which comes
# first and receives every new input, so what a run learns is kept for the
# next, and the committed seeds in tests/fuzz/corpus/NAME. tests/fuzz/NAME.dict
# is its dictionary when present; findings go to build/fuzz/findings/NAME/.
# Prints "NAME: N executions (N/s), N findings"; fails when the target failed.
velmo_run_fuzz_target() {
    local target=$1 seconds=$2 log=$3 name status
    name=$(basename "$target")
    local scratch="$VELMO_ROOT/build/fuzz/corpus/$name" seeds="$VELMO_ROOT/tests/fuzz/corpus/$name"
    local findings="$VELMO_ROOT/build/fuzz/findings/$name"
    mkdir -p "$scratch" "$findings"
    local args=(-max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/")
    [ -f "$VELMO_ROOT/tests/fuzz/$name.dict" ] && args+=(-dict="$VELMO_ROOT/tests/fuzz/$name.dict")
    local corpora=("$scratch")
    [ -d "$seeds" ] && corpora+=("$seeds")
    "$target" "${args[@]}" "${corpora[@]}" >"$log" 2>&1
    status=$?
    local executions rate found
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    found=$(grep -c 'Test unit written to' "$log")
    printf '%s: %s executions (%s/s), %s findings\n' "$name" "${executions:-?}" "${rate:-?}" "$found"
    [ "$status" -eq 0 ]
}
