#!/usr/bin/env bash
# Smoke test of the real desktop program: start marvo on a small game under Xvfb, type a command
# into the input line and check on screenshots that the window showed the game's answer (also when
# typed after a click on the game text); open the reference window with Help (F1) and take a
# screenshot of it; then change the scenario in the code editor, kill marvo with SIGTERM, start it
# again and check that the unsaved text is offered, restored into the code editor and saved there
# with Ctrl+S; then edit, Exit, Cancel (still running, text kept), Exit, Don't save (ended); then kill
# -9 two seconds after typing and a turn and check that the restart brings the typed line and the
# game back (the game in progress is kept after every turn and offered after the text); open the story
# map of the lighthouse game from the code editor (Ctrl+M) and take a screenshot of it. When the
# package is installed, the installed marvo is started as the desktop menu starts it, on the
# installed sample game, from a folder without "marvo.lib".
# Usage: smoke_test.sh MARVO_BINARY SCRATCH_DIR. Exits 77 (skipped) when Xvfb or the tools are missing.
set -euo pipefail

marvo=$(realpath "$1")
games_dir=$(realpath "$(dirname "$0")/../../games")  # before the script leaves the folder it was called from
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
# Recovery files and recent files stay in the scratch folder.
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config

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
# -noreset: the display must outlive the program this test kills and starts again.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { echo "smoke: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

# Waits up to ten seconds for a visible window whose title matches $1; prints its id, then lets
# it paint. Fails the test with $2 when none appears.
wait_for_window() {
  local id=""
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
    [[ -n $id ]] && break
    sleep 0.1
  done
  [[ -n $id ]] || { echo "smoke: $2" >&2; cat "$work/built.log" >&2; exit 1; }
  sleep 1.5
  echo "$id"
}

# Light pixels (the game's text) on the whole screen.
light_pixels() {
  convert "$1" -colorspace Gray -threshold 60% -format '%[fx:round(mean*w*h)]' info:
}

# play NAME INPUT KEEP PROGRAM ARGS...: starts the program, types INPUT into the input line and
# checks that the game's text appeared and the answer to the input added to it. With KEEP "keep"
# the program goes on running, its window in $window and its geometry in X, Y, WIDTH, HEIGHT.
play() {
  local name=$1 input=$2 keep=$3
  shift 3
  "$@" >"$work/$name.log" 2>&1 &
  local pid=$!
  pids+=("$pid")

  window=""
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
  local before
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
  [[ $keep == keep ]] && return
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

play built look keep "$marvo" smoke.scn

# Game menu "Save walkthrough...": the menu title after "File", then the fourth item; the save
# dialog offers smoke.walk beside the scenario and Enter accepts it.
xdotool mousemove $((X + 60)) $((Y + 10)) click 1
sleep 0.5
xdotool key Down Down Down Down Return
sleep 1.5
xdotool key Return
for _ in $(seq 30); do [[ -s $work/smoke.walk ]] && break; sleep 0.1; done
if ! grep -q '^> look$' "$work/smoke.walk" 2>/dev/null ||
   ! grep -q '^The walls are covered with old maps' "$work/smoke.walk"; then
  echo "smoke: Save walkthrough did not write smoke.walk"; import -window root "$work/walk.png"; exit 1
fi
# No window manager gives the focus back: a click on the game text does, and what is typed then
# goes to the input line: the answer appears once more.
xdotool mousemove $((X + 40)) $((Y + 60)) click 1
sleep 0.3
xdotool type --delay 60 look
xdotool key Return
sleep 1.5
import -window root "$work/typed-on-text.png"
again=$(light_pixels "$work/typed-on-text.png")
echo "smoke: typed after a click on the game text; light pixels $again"
if ((again < after + 400)); then
  echo "smoke: typing after a click on the game text did not reach the input line"; exit 1
fi
# Ctrl+Z in the empty input line takes back that "look": the pane then shows only the turn before
# it, replayed; Ctrl+Shift+Z gives it again.
xdotool key ctrl+z
sleep 1.5
import -window root "$work/undone.png"
undone=$(light_pixels "$work/undone.png")
echo "smoke: after Ctrl+Z light pixels $undone (screenshot $work/undone.png)"
if ((undone >= again)); then
  echo "smoke: Ctrl+Z did not take back the command"; exit 1
fi
xdotool key ctrl+shift+z
sleep 1.5
import -window root "$work/redone.png"
echo "smoke: after Ctrl+Shift+Z light pixels $(light_pixels "$work/redone.png") (screenshot $work/redone.png)"
after=$again

# Help (F1) opens the reference window over the game.
xdotool key F1
wait_for_window 'Справочник Marvo IF' "Help (F1) did not open the reference window" >/dev/null
import -window root "$work/reference.png"
shown=$(light_pixels "$work/reference.png")
echo "smoke: reference window open; light pixels $shown (screenshot $work/reference.png)"
if ((shown == after)); then
  echo "smoke: the reference window did not change the screen"; exit 1
fi
xdotool windowfocus --sync "$window"

# ---- kill and recover ----
visible_window() {  # NAME-REGEX: the first visible window of that name, waiting up to 20 s
  local found=""
  for _ in $(seq 200); do
    found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
    [[ -n $found ]] && break
    sleep 0.1
  done
  echo "$found"
}

xdotool key F4
editor=$(visible_window '^Code Edit$')
[[ -n $editor ]] || { echo "smoke: the code editor did not open"; exit 1; }
sleep 0.5
xdotool windowfocus --sync "$editor"
xdotool key ctrl+End
xdotool type --delay 30 '!recovered line'
xdotool key Return
sleep 1
kill -TERM "${pids[1]}"
status=0
wait "${pids[1]}" || status=$?
if ((status != 128 + 15)); then echo "smoke: marvo did not end by SIGTERM (status $status)"; exit 1; fi
recovery=$(ls "$XDG_DATA_HOME"/marvo/recovery/*.recovery 2>/dev/null | head -n1 || true)
[[ -n $recovery ]] || { echo "smoke: no recovery file after SIGTERM"; cat "$work/built.log"; exit 1; }
grep -q 'recovered line' "$recovery" || { echo "smoke: the recovery file lacks the typed line"; exit 1; }
grep -q 'look' "$XDG_DATA_HOME"/marvo/recovery/*.play 2>/dev/null ||
  { echo "smoke: no game in progress kept after SIGTERM"; exit 1; }

# restore_and_save LOG LINE: starts marvo without a scenario, takes the offer of the unsaved text
# (Enter: Restore), expects the code editor on it, saves it there with Ctrl+S back to smoke.scn
# and checks that LINE is in smoke.scn and no recovery file is left. The program goes on running
# (its pid is the last of $pids) with the code editor closed again. With a third argument "game", the
# game in progress is offered next and continued (Enter), and its file becomes the new run's.
restore_and_save() {
  local log=$1 line=$2 game=${3:-}
  "$marvo" >"$work/$log" 2>&1 &
  pids+=($!)
  local offer
  offer=$(visible_window '^Marvo IF$')
  [[ -n $offer ]] || { echo "smoke: the restart offered no recovery ($log)"; cat "$work/$log"; exit 1; }
  sleep 1
  import -window root "$work/offer.png"
  xdotool windowfocus --sync "$offer"
  xdotool key Return  # Restore
  if [[ $game == game ]]; then
    sleep 1
    offer=$(visible_window '^Marvo IF$')
    [[ -n $offer ]] || { echo "smoke: the restart offered no game in progress ($log)"; cat "$work/$log"; exit 1; }
    import -window root "$work/offer-game.png"
    xdotool windowfocus --sync "$offer"
    xdotool key Return  # Продолжить
    for _ in $(seq 50); do
      ls "$XDG_DATA_HOME"/marvo/recovery/*-"${pids[-1]}"x*.play >/dev/null 2>&1 && break
      sleep 0.2
    done
    ls "$XDG_DATA_HOME"/marvo/recovery/*-"${pids[-1]}"x*.play >/dev/null 2>&1 ||
      { echo "smoke: the continued game is not the new run's ($log)"; ls "$XDG_DATA_HOME"/marvo/recovery; exit 1; }
  fi
  local restored
  restored=$(visible_window '^Code Edit$')
  [[ -n $restored ]] || { echo "smoke: the code editor did not open on the restored text ($log)"; exit 1; }
  sleep 0.5
  xdotool windowfocus --sync "$restored"
  rm -f smoke.scn.bak
  xdotool key ctrl+s  # Save from inside the editor: back to the scenario the text belongs to
  for _ in $(seq 50); do
    [[ -f smoke.scn.bak ]] && break
    sleep 0.2
  done
  sleep 0.5
  iconv -f CP1251 -t UTF-8 smoke.scn | grep -q "$line" ||
    { echo "smoke: the restored text was not saved to smoke.scn ($log)"; cat "$work/$log"; exit 1; }
  [[ -f smoke.scn.bak ]] || { echo "smoke: no backup of the replaced scenario"; exit 1; }
  if ls "$XDG_DATA_HOME"/marvo/recovery/*.recovery >/dev/null 2>&1; then
    echo "smoke: the recovery file is still there after the save"; exit 1
  fi
  xdotool key Escape  # the editor closes
  sleep 0.5
}

restore_and_save marvo2.log 'recovered line' game
echo "smoke: killed by SIGTERM, recovered and saved, the game continued"

# ---- Exit never loses text: edit, Exit, Cancel leaves the program and the text; Don't save ends it ----
main=$(visible_window '^Marvo IF v1\.03$')
xdotool windowfocus --sync "$main"
xdotool key F4
editor=$(visible_window '^Code Edit$')
[[ -n $editor ]] || { echo "smoke: the code editor did not open again"; exit 1; }
sleep 0.5
xdotool windowfocus --sync "$editor"
xdotool key ctrl+End
xdotool type --delay 30 '!kept after cancel'
xdotool key Return Escape
sleep 0.5
xdotool windowfocus --sync "$main"
xdotool key ctrl+q
question=$(visible_window '^Marvo IF$')
[[ -n $question ]] || { echo "smoke: Exit did not ask about the unsaved text"; exit 1; }
sleep 1
import -window root "$work/exit-question.png"
xdotool windowfocus --sync "$question"
xdotool key Escape  # Отмена
sleep 1.5
kill -0 "${pids[-1]}" 2>/dev/null || { echo "smoke: Exit, Cancel ended the program"; cat "$work/marvo2.log"; exit 1; }
# The text is still there: the program keeps writing it aside (after a pause in typing).
for _ in $(seq 50); do
  grep -q 'kept after cancel' "$XDG_DATA_HOME"/marvo/recovery/*.recovery 2>/dev/null && break
  sleep 0.2
done
grep -q 'kept after cancel' "$XDG_DATA_HOME"/marvo/recovery/*.recovery 2>/dev/null ||
  { echo "smoke: after Exit, Cancel the typed line is not in the program's recovery file"; exit 1; }
xdotool windowfocus --sync "$main"
xdotool key ctrl+q
question=$(visible_window '^Marvo IF$')
[[ -n $question ]] || { echo "smoke: the second Exit did not ask"; exit 1; }
sleep 1
xdotool windowfocus --sync "$question"
xdotool key Tab space  # Не сохранять
status=0
wait "${pids[-1]}" || status=$?
((status == 0)) || { echo "smoke: Exit, Don't save did not end the program cleanly (status $status)"; exit 1; }
if ls "$XDG_DATA_HOME"/marvo/recovery/*.recovery >/dev/null 2>&1; then
  echo "smoke: the recovery file stayed after Exit, Don't save"; exit 1
fi
if ls "$XDG_DATA_HOME"/marvo/recovery/*.play >/dev/null 2>&1; then
  echo "smoke: the game in progress stayed after a clean exit"; exit 1
fi
if iconv -f CP1251 -t UTF-8 smoke.scn | grep -q 'kept after cancel'; then
  echo "smoke: Don't save saved the text"; exit 1
fi
echo "smoke: Exit asked; Cancel kept the program and the text, Don't save ended it"

# ---- kill -9 two seconds after typing: the restart brings the typed line back ----
"$marvo" smoke.scn >"$work/marvo3.log" 2>&1 &
pids+=($!)
main=$(visible_window '^Marvo IF v1\.03$')
[[ -n $main ]] || { echo "smoke: marvo did not start again"; cat "$work/marvo3.log"; exit 1; }
sleep 1.5
# A turn first: the game in progress is written at once.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove $((X + 40)) $((Y + HEIGHT - 32)) click 1
sleep 0.3
xdotool type --delay 60 look
xdotool key Return
xdotool windowfocus --sync "$main"
xdotool key F4
editor=$(visible_window '^Code Edit$')
[[ -n $editor ]] || { echo "smoke: the code editor did not open (kill -9)"; exit 1; }
sleep 0.5
xdotool windowfocus --sync "$editor"
xdotool key ctrl+End
xdotool type --delay 30 '!typed before kill'
sleep 2
kill -KILL "${pids[-1]}"
wait "${pids[-1]}" 2>/dev/null || true
grep -q 'typed before kill' "$XDG_DATA_HOME"/marvo/recovery/*.recovery 2>/dev/null ||
  { echo "smoke: two seconds after typing, the recovery file lacks the typed line"; exit 1; }
grep -q 'look' "$XDG_DATA_HOME"/marvo/recovery/*.play 2>/dev/null ||
  { echo "smoke: the game in progress was not kept before the kill"; exit 1; }
restore_and_save marvo4.log 'typed before kill' game
echo "smoke: killed by SIGKILL two seconds after typing and a turn, recovered and saved, the game continued"
kill "${pids[-1]}" 2>/dev/null || true
wait "${pids[-1]}" 2>/dev/null || true
rm -f "$XDG_DATA_HOME"/marvo/recovery/*.play  # the game of that run is not offered to the next ones
# ---- the story map of the lighthouse game, opened from the code editor (Ctrl+M) ----
mkdir -p "$work/mayak"
cp "$games_dir/mayak.scn" "$games_dir/marvo.lib" "$work/mayak/"
cd "$work/mayak"
"$marvo" mayak.scn >"$work/marvo5.log" 2>&1 &
pids+=($!)
main=$(visible_window '^Marvo IF v1\.03$')
[[ -n $main ]] || { echo "smoke: marvo did not start on mayak.scn"; cat "$work/marvo5.log"; exit 1; }
sleep 1
xdotool windowfocus --sync "$main"
xdotool key F4
editor=$(visible_window '^Code Edit$')
[[ -n $editor ]] || { echo "smoke: the code editor did not open on mayak.scn"; exit 1; }
sleep 0.5
xdotool windowfocus --sync "$editor"
xdotool key ctrl+m
map=$(visible_window '^Карта сюжета$')
[[ -n $map ]] || { echo "smoke: Ctrl+M did not open the story map"; cat "$work/marvo5.log"; exit 1; }
sleep 3  # the layout is computed off the GUI thread
import -window "$map" "$work/story-map.png"
# The boxes of the marks (start, endings...) are coloured: the drawing area (below the tool row,
# above the legend) of a drawn map has many saturated pixels, that of an empty one none.
coloured=$(convert "$work/story-map.png" -crop 100%x80%+0+40 +repage -colorspace HSL -channel G -separate \
             -threshold 15% -format '%[fx:round(mean*w*h)]' info:)
echo "smoke: story map of mayak.scn shown; coloured pixels $coloured (screenshot $work/story-map.png)"
((coloured > 1000)) || { echo "smoke: the story map shows no coloured boxes"; exit 1; }
kill "${pids[-1]}" 2>/dev/null || true
wait "${pids[-1]}" 2>/dev/null || true
cd "$work"

# The installed program as the desktop entry starts it, from a folder without a library and with a
# home of its own: it works in its per-user folder and reads the installed library.
games=/usr/share/marvo/games
if dpkg-query -W -f='${Status}' marvo 2>/dev/null | grep -q "install ok installed" &&
   [[ -x /usr/bin/marvo && -f $games/yarmarka.scn && -f /usr/share/applications/marvo.desktop ]]; then
  mkdir -p "$work/home" "$work/launch"
  cd "$work/launch"
  # The command line of the desktop entry, with the file a file manager would pass.
  exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/marvo.desktop)
  read -ra command <<<"${exec_line//%f/$games/yarmarka.scn}"
  HOME=$work/home XDG_DATA_HOME='' play installed 1 done "${command[@]}"
  cd "$work"
  [[ -f $work/home/.local/share/marvo/tmp.scn ]] || { echo "smoke: the installed marvo did not work in its per-user folder"; exit 1; }
  [[ -z $(ls -A "$work/launch") ]] || { echo "smoke: the installed marvo wrote into the folder it was started in"; exit 1; }
  echo "smoke: installed marvo passed"
fi
echo "smoke: passed"
