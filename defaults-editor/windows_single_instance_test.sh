#!/usr/bin/env bash
# End to end under Wine: a second KestrowDefaults2005.exe in the same session
# shows its message box and ends, while the first keeps its dialog.
#   windows_single_instance_test.sh WINE_DIR KestrowDefaults2005.exe answer_message_box.exe
set -euo pipefail
. "$(dirname "$0")/../scripts/wine-env.sh"
kestrow_wine_prefix "$1"
program=$2
answer=$3

dialog_title="Kestrow 2005 Default Settings"
message_title="Kestrow Default Settings"
windows_titled() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | sort -u; }
wait_for_window() {  # TITLE: until a window carries it, 20 s at most
  for _ in $(seq 1 100); do
    [ -n "$(windows_titled "$1")" ] && return 0
    sleep 0.2
  done
  return 1
}

"$KESTROW_WINE" "$program" </dev/null >/dev/null 2>&1 &
first=$!
second=
# Only these two: other tests may be using the same Wine server.
finish() { kill "$first" ${second:+"$second"} 2>/dev/null || true; }
trap finish EXIT

wait_for_window "$dialog_title" || { echo "FAILED: the first instance showed no dialog"; exit 1; }
dialog=$(windows_titled "$dialog_title")

"$KESTROW_WINE" "$program" </dev/null >/dev/null 2>&1 &
second=$!
wait_for_window "$message_title" || { echo "FAILED: the second instance showed no message"; exit 1; }
kill -0 "$second" 2>/dev/null || { echo "FAILED: the second instance did not wait for its message"; exit 1; }

# Its OK pressed from inside Wine: keys sent through X would reach
# whichever window has the focus.
"$KESTROW_WINE" "$answer" "$message_title" </dev/null >/dev/null 2>&1 ||
  { echo "FAILED: the message box could not be answered"; exit 1; }
status=0
for _ in $(seq 1 50); do kill -0 "$second" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$second" 2>/dev/null; then
  echo "FAILED: the second instance did not end after its message"
  exit 1
fi
wait "$second" || status=$?
second=
[ "$status" -eq 0 ] || { echo "FAILED: the refused instance exited $status"; exit 1; }
kill -0 "$first" 2>/dev/null || { echo "FAILED: the first instance ended too"; exit 1; }
[ "$(windows_titled "$dialog_title")" = "$dialog" ] || { echo "FAILED: the first dialog is gone"; exit 1; }
[ -z "$(windows_titled "$message_title")" ] || { echo "FAILED: the message is still shown"; exit 1; }
echo "single instance under Wine: the second start was refused, the first kept its dialog"
