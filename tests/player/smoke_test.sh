#!/usr/bin/env bash
# Smoke test of the real desktop program: start marvo on a small game under Xvfb, type a command
# into the input line and check on screenshots that the window showed the game's answer. When the
# package is installed, the installed marvo is started as the desktop menu starts it, on the
# installed sample game, from a folder without "marvo.lib".
# Usage: smoke_test.sh MARVO_BINARY SCRATCH_DIR. Exits 77 (skipped) when Xvfb or the tools are missing.
set -euo pipefail

marvo=$(realpath "$1")
work=$2
for tool in Xvfb xdotool import convert iconv; do
  if ! command -v "$tool" >/dev/null; then
    echo "smoke: $tool is not installed; skipped"
    exit 77
  fi
done

rm -rf "$work"
mkdir -p "$work"
cd "$work"

# A game in plain Windows-1251 text, as another editor would write it, and a small library.
iconv -f UTF-8 -t CP1251 >smoke.scn <<'EOF'
:hall
@You stand in a long hall. A door leads north.
TALK look
!The walls are covered with old maps of forgotten kingdoms.
!A cold draught comes from under the northern door.
REDO
READ
:common
RETURN
EOF
iconv -f UTF-8 -t CP1251 >marvo.lib <<'EOF'
* library of the smoke test
EOF

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

# Xvfb picks a free display itself and tells its number.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { echo "smoke: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

# Light pixels (the game's text) on the whole screen.
light_pixels() {
  convert "$1" -colorspace Gray -threshold 60% -format '%[fx:round(mean*w*h)]' info:
}

# play NAME INPUT PROGRAM ARGS...: starts the program, types INPUT into the input line and checks
# that the game's text appeared and the answer to the input added to it.
play() {
  local name=$1 input=$2
  shift 2
  "$@" >"$work/$name.log" 2>&1 &
  local pid=$!
  pids+=("$pid")

  local window=""
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Marvo IF v1\.03$' 2>/dev/null | head -n1 || true)
    [[ -n $window ]] && break
    sleep 0.1
  done
  [[ -n $window ]] || { echo "smoke: the main window did not appear ($name)"; cat "$work/$name.log"; exit 1; }
  sleep 1.5
  # Only the main window: an error box (a missing library, say) would be another one.
  local others
  others=$(for w in $(xdotool search --onlyvisible --pid "$pid" --name '^' 2>/dev/null); do
             xdotool getwindowname "$w"
           done | grep -v -x -e '' -e 'Marvo IF v1.03' || true)
  if [[ -n $others ]]; then
    echo "smoke: more windows are shown ($name): $others"; import -window root "$work/$name-windows.png"; exit 1
  fi

  import -window root "$work/$name-before.png"
  local before after
  before=$(light_pixels "$work/$name-before.png")

  # No window manager: click into the input line (bottom left of the window) before typing.
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + 40)) $((Y + HEIGHT - 32)) click 1
  sleep 0.3
  xdotool type --delay 60 "$input"
  xdotool key Return
  sleep 1.5
  import -window root "$work/$name-after.png"
  after=$(light_pixels "$work/$name-after.png")

  echo "smoke: $name: window $WIDTH x $HEIGHT at $X,$Y; light pixels before $before, after $after"
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "smoke: marvo is no longer running"; cat "$work/$name.log"; exit 1
  fi
  if ((before < 200)); then
    echo "smoke: the window shows no game text after start"; exit 1
  fi
  if ((after < before + 400)); then
    echo "smoke: the answer to the command did not appear"; exit 1
  fi
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

play built look "$marvo" smoke.scn

# The installed program as the desktop entry starts it, from a folder without a library and with a
# home of its own: it works in its per-user folder and reads the installed library.
games=/usr/share/marvo/games
if dpkg-query -W -f='${Status}' marvo 2>/dev/null | grep -q "install ok installed" &&
   [[ -x /usr/bin/marvo && -f $games/sample.scn && -f /usr/share/applications/marvo.desktop ]]; then
  mkdir -p "$work/home" "$work/launch"
  cd "$work/launch"
  # The command line of the desktop entry, with the file a file manager would pass.
  exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/marvo.desktop)
  read -ra command <<<"${exec_line//%f/$games/sample.scn}"
  HOME=$work/home XDG_DATA_HOME='' play installed 1 "${command[@]}"
  cd "$work"
  [[ -f $work/home/.local/share/marvo/tmp.scn ]] || { echo "smoke: the installed marvo did not work in its per-user folder"; exit 1; }
  [[ -z $(ls -A "$work/launch") ]] || { echo "smoke: the installed marvo wrote into the folder it was started in"; exit 1; }
  echo "smoke: installed marvo passed"
fi
echo "smoke: passed"
