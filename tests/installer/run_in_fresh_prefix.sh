#!/bin/sh
# Runs a Windows test program in a Wine prefix made for this run alone, so that it starts
# from what a new user has: run_in_fresh_prefix.sh WINE-LOADER PREFIX PROGRAM [ARGS...]
loader=$1 prefix=$2
shift 2
export WINEPREFIX="$prefix" WINELOADER="$loader" WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko dialogs, and no Linux menu entries for the Start-menu shortcut.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
rm -rf "$prefix"
"$loader" wineboot.exe -i >/dev/null 2>&1
wineserver -w
"$loader" "$@"
status=$?
wineserver -k
exit $status
