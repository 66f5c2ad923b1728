#!/usr/bin/env bash
# Runs a Windows program of a cross build on this machine under Wine:
#   wine_run.sh PREFIX PROGRAM [ARGS...]
# PREFIX is the build's own Wine prefix, made on first use: no desktop window
# manager in the way (the X11 driver does not let the window manager handle
# windows) and no crash dialog (a crash prints a backtrace and ends the program
# with an error code instead of waiting for somebody to answer).
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No .NET or HTML engines: their installers would be offered in the new prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="

if [[ ! -f $prefix/.sprite-ready ]]; then
  mkdir -p "$prefix"
  exec 9>"$prefix.lock"
  flock 9
  if [[ ! -f $prefix/.sprite-ready ]]; then
    wineboot --init >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver --wait
    touch "$prefix/.sprite-ready"
  fi
  exec 9>&-
fi
# One server for the prefix stays up while programs come and go (each test is a
# program start), and ends on its own 30 s after the last one.
wineserver --persistent=30 >/dev/null 2>&1 || true

# The machine a program is built for, from its PE header: "8664" for x86-64.
pe_machine() {
  local offset
  [[ -f $1 ]] || return 0
  offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 0
  [[ -n $offset ]] && od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}

# `wine` starts every program in the 32-bit loader where both are installed; a
# 64-bit one is then handed on through start.exe and ShellExecuteEx to a second
# process. That hand-over was seen to fail now and then ("ShellExecuteEx failed:
# Internal error"), so a 64-bit program goes straight to the 64-bit loader.
loader=wine
if [[ $(pe_machine "$1") == 8664 ]]; then
  for candidate in /usr/lib/wine/wine64 wine64; do
    if command -v "$candidate" >/dev/null; then loader=$candidate; break; fi
  done
fi
exec "$loader" "$@"
