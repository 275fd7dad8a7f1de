#!/usr/bin/env bash
# Plays the demo's road on a display of its own, as a player would: waits for each window of
# the launcher, saves a screenshot of it, presses the page's start button in the main window and
# lets the stand-in game show its arguments.
#   demo/headless-tour.sh LAUNCHER SCREENSHOT-FOLDER
set -uo pipefail
launcher=$1 shots=$2
export ZORV_GAME_SECONDS=6

"$launcher" &
launcher_pid=$!
number=0
shot() {
  number=$((number + 1))
  import -window root "$shots/$(printf '%02d' "$number")-$1.png"
  echo "screenshot: $(printf '%02d' "$number")-$1.png"
}

declare -A seen
clicked=
deadline=$((SECONDS + 90))
while [ $SECONDS -lt $deadline ]; do
  for id in $(xdotool search --onlyvisible --name '^Zorv' 2>/dev/null); do
    [ -n "${seen[$id]:-}" ] && continue
    seen[$id]=1
    name=$(xdotool getwindowname "$id")
    eval "$(xdotool getwindowgeometry --shell "$id")"
    if [ "$name" = "Zorv Battle" ]; then
      sleep 1; shot game-started
    elif [ "$WIDTH" -ge 1000 ] && [ -z "$clicked" ]; then
      sleep 5; shot main-window
      # The page's start button, at the bottom right of the browser's rectangle.
      xdotool mousemove --window "$id" 948 572 click 1
      clicked=1
    else
      shot update-window
      sleep 1.5
      xdotool getwindowname "$id" > /dev/null 2>&1 && shot update-window-later
    fi
  done
  if ! kill -0 "$launcher_pid" 2>/dev/null; then
    sleep 1
    for id in $(xdotool search --onlyvisible --name '^Zorv Battle$' 2>/dev/null); do
      [ -z "${seen[$id]:-}" ] && { seen[$id]=1; sleep 1; shot game-started; }
    done
    break
  fi
  sleep 0.1
done
if kill -0 "$launcher_pid" 2>/dev/null; then
  shot still-running
  echo "the launcher did not finish the road in time; ending it"
  kill "$launcher_pid"
fi
wait "$launcher_pid"
echo "the launcher ended with $?"
sleep "$ZORV_GAME_SECONDS"
