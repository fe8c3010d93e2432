#!/usr/bin/env bash
# The built program under a real X server, driven as a user would: choose a
# log in the real file dialog, open and cancel the colour picker, press
# "Convert"; then once more choose the log and close the window.
#   end_to_end.sh PROGRAM X_CLOSE DATA_DIR
set -u
program=$1 x_close=$2 data=$3

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }
command -v Xvfb >/dev/null || skip "no Xvfb, so no X server can be started"
command -v xdotool >/dev/null || fail "xdotool is missing (scripts/install-deps installs it)"
command -v xwininfo >/dev/null || fail "xwininfo is missing (scripts/install-deps installs it)"

work=$(mktemp -d /tmp/quarn2dif-e2e-XXXXXX)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Waits until a command succeeds, for at most $1 seconds.
until_ok() {
  local limit=$1
  shift
  local deadline=$((SECONDS + limit))
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp >"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
until_ok 20 test -s "$work/display" || skip "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n 1 "$work/display")"

# The program keeps its settings beside itself, so it runs from a folder of ours.
mkdir -p "$work/bin" "$work/logs" "$work/home/.config" "$work/runtime"
cp "$program" "$work/bin/quarn2dif"
cp "$data/run 1.csv" "$work/logs/run 1.csv"
chmod 700 "$work/runtime"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime"
unset QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME XDG_CURRENT_DESKTOP DESKTOP_SESSION GTK_MODULES

window_of() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
found() { [ -n "$(window_of "$1")" ]; }
# A window is mapped before it is painted: wait until it stops changing.
painted() {
  local a b
  a=$(import -window "$1" png:- 2>/dev/null | md5sum)
  sleep 0.2
  b=$(import -window "$1" png:- 2>/dev/null | md5sum)
  [ "$a" = "$b" ]
}
origin() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'; }
click_at() {  # window, x, y in the window's client area
  read -r ox oy <<<"$(origin "$1")"
  xdotool mousemove $((ox + $2)) $((oy + $3)) click 1
}
choose_log() {
  until_ok 30 found "Choose a Quarn CSV file" || fail "no file dialog: $(cat "$work/app.log")"
  local dialog
  dialog=$(window_of "Choose a Quarn CSV file")
  until_ok 10 painted "$dialog"
  xdotool windowfocus --sync "$dialog"
  # A leading "//" keeps the dialog from completing a folder name while typing.
  xdotool type --delay 20 "/$work/logs/run 1.csv"
  xdotool key Home Delete Return
  until_ok 30 found "Quarn Settings V0.71" || fail "no settings window: $(cat "$work/app.log")"
  window=$(window_of "Quarn Settings V0.71")
  until_ok 10 painted "$window"
}
finish() {
  until_ok 60 bash -c "! kill -0 $app_pid 2>/dev/null" || fail "the program did not end"
  wait "$app_pid"
  local code=$?
  app_pid=""
  [ $code -eq 0 ] || fail "exit code $code: $(cat "$work/app.log")"
}

# Run 1: choose, open and cancel the colour picker, convert.
(cd "$work" && exec "$work/bin/quarn2dif") >"$work/app.log" 2>&1 &
app_pid=$!
choose_log
click_at "$window" 315 50  # the colour swatch of row 1
until_ok 20 found "Select Color" || fail "no colour picker"
picker=$(window_of "Select Color")
until_ok 10 painted "$picker"
xdotool windowfocus --sync "$picker"
xdotool key Escape
until_ok 20 bash -c "[ -z \"\$(xdotool search --onlyvisible --name 'Select Color' 2>/dev/null)\" ]" ||
  fail "the colour picker stayed open"
if [ -n "${SCREENSHOT:-}" ]; then import -window "$window" "$SCREENSHOT"; fi
click_at "$window" 145 125  # "Convert", below two rows
finish
cmp "$work/logs/run 1.dif" "$data/run 1.dif" || fail "the DIF file differs from the golden file"
cmp "$work/bin/quarn2dif.ini" "$data/run_1_settings.ini" || fail "the settings file differs from the golden file"
stray=$(find "$work/home/.config" -mindepth 1)
[ -z "$stray" ] || fail "something was written into the configuration folder: $stray"

# Run 2: choose the log and close the window; the settings are written, no export.
rm "$work/logs/run 1.dif" "$work/bin/quarn2dif.ini"
(cd "$work" && exec "$work/bin/quarn2dif") >"$work/app.log" 2>&1 &
app_pid=$!
choose_log
"$x_close" "$window"
finish
[ ! -e "$work/logs/run 1.dif" ] || fail "closing the window exported"
cmp "$work/bin/quarn2dif.ini" "$data/run_1_settings.ini" || fail "the settings file after closing differs"
[ "$(ls -A "$work/logs")" = "run 1.csv" ] || fail "stray files beside the log: $(ls -A "$work/logs")"

echo "end to end: both runs as expected"
