#!/usr/bin/env bash
# Runs the Windows build in WIN_BUILD (build-win) under Wine: a fresh Wine prefix in the build
# folder, a PulseAudio server with a null sink (so sound plays at real speed: ALSA's null device
# takes buffers four times too fast), then kaleth-wine-tests from the Linux build KALETH_BUILD,
# which starts an X server and a window manager for every test.
set -euo pipefail

win=$(realpath "${1:?usage: test-windows.sh WIN_BUILD [TEST OPTIONS]}")
shift
build=$(realpath "${KALETH_BUILD:?KALETH_BUILD names the Linux build}")
state="$win/wine"
rm -rf "$state" && mkdir -p "$state/run"
chmod 700 "$state/run"
export WINEPREFIX="$state/prefix" XDG_RUNTIME_DIR="$state/run" HOME="$state"
# No Mono or Gecko installers for wineboot to wait on.
export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
unset DISPLAY

pulseaudio -n --daemonize=no --exit-idle-time=-1 --log-target=file:"$state/pulseaudio.log" \
  -L "module-null-sink rate=44100" -L module-native-protocol-unix -L module-always-sink &
pulse=$!
finish() {
  wineserver -k 2>/dev/null || true
  kill "$pulse" 2>/dev/null || true
  wait "$pulse" 2>/dev/null || true
}
trap finish EXIT
for _ in $(seq 100); do [[ -S "$state/run/pulse/native" ]] && break; sleep 0.1; done
[[ -S "$state/run/pulse/native" ]] || { echo "test-windows: PulseAudio did not start" >&2; cat "$state/pulseaudio.log" >&2; exit 1; }

started=$(date +%s)
wineboot -i >"$state/wineboot.log" 2>&1 || { cat "$state/wineboot.log" >&2; exit 1; }
# kaleth-dx.exe sets the display's mode, which Wine does only inside a virtual desktop of its own.
wine reg add 'HKCU\Software\Wine\AppDefaults\kaleth-dx.exe\Explorer' /v Desktop /d kaleth /f >>"$state/wineboot.log" 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v kaleth /d 1024x768 /f >>"$state/wineboot.log" 2>&1
wineserver -w
echo "test-windows: Wine prefix made in $(($(date +%s) - started)) s"
KALETH_WIN_BUILD="$win/cmake" "$build/kaleth-wine-tests" "$@"
