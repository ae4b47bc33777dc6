#!/usr/bin/env bash
# The main window read through AT-SPI, Linux's accessibility interface: under Xvfb and a private
# D-Bus session with its own accessibility bus, marvo plays a small game while at_spi_check.py
# checks the controls' accessible names and that the answer to a typed command is announced.
# Usage: at_spi_test.sh MARVO_BINARY SCRATCH_DIR. Exits 77 (skipped) when a tool is missing.
set -euo pipefail

marvo=$(realpath "$1")
work=$2
here=$(cd "$(dirname "$0")" && pwd)
launcher=/usr/libexec/at-spi-bus-launcher

if [[ -z ${MARVO_AT_SPI_SESSION:-} ]]; then
  for tool in Xvfb xdotool iconv dbus-run-session timeout; do
    command -v "$tool" >/dev/null || { echo "at-spi: $tool is not installed; skipped"; exit 77; }
  done
  [[ -x $launcher ]] || { echo "at-spi: at-spi2-core is not installed; skipped"; exit 77; }
  /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "at-spi: python3-pyatspi is not installed; skipped"; exit 77; }
  # A session bus of our own, ended with everything on it when the test ends.
  MARVO_AT_SPI_SESSION=1 exec timeout -k 5 100 dbus-run-session -- bash "$0" "$@"
fi

rm -rf "$work"
mkdir -p "$work"
cd "$work"
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

iconv -f UTF-8 -t CP1251 >hall.scn <<'SCN'
:hall
@Вы в длинном зале.
TALK look
!Стены увешаны старыми картами.
REDO
READ
:common
RETURN
SCN
: >marvo.lib

pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { echo "at-spi: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")
unset WAYLAND_DISPLAY

"$launcher" --launch-immediately >"$work/bus.log" 2>&1 &
pids+=($!)
sleep 0.5

# The check starts marvo itself (after registering for its events) and ends it.
status=0
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
  timeout -k 5 70 /usr/bin/python3 "$here/at_spi_check.py" "$marvo" hall.scn || status=$?
if ((status != 0)); then
  echo "at-spi: failed (status $status)"
  cat "$work/marvo.log"
  exit 1
fi
echo "at-spi: passed"
