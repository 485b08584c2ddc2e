#!/usr/bin/env bash
# Runs the Windows build under Wine, headless, in a prefix of the build
# tree's own. "start" makes the prefix and keeps one wineserver up, so each
# case costs a process start and not a Wine start; "stop" ends it.
#   wine.sh start|stop PREFIX
#   wine.sh run PREFIX PROGRAM [ARGUMENTS...]
# Wine spells Unix file names in the Unix locale's character set: always
# UTF-8 here, so that names in any language reach the programs whole.
# WINEDEBUG, when set, is kept: a case may trace the programs' calls.
set -euo pipefail
export LC_ALL=C.UTF-8
export WINEPREFIX=$2 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES='mscoree,mshtml='
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
server=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
case $1 in
  start)
    # Without its preloader, Wine now and then finds the addresses a Windows
    # program needs already taken and ends it, status 1, before it starts
    # ("failed to map the shared user data"): about one start in 3,000.
    [ -x "$(dirname "$(readlink -f "$wine")")/wine64-preloader" ] ||
      { echo "wine.sh: install wine64-preloader: Wine fails at random without it" >&2; exit 1; }
    mkdir -p "$WINEPREFIX"
    # The server and Wine's own services outlive this command: they must not
    # hold on to the test runner's output.
    "$server" -p >/dev/null 2>&1 </dev/null || true  # one may be up already
    "$wine" wineboot --init >/dev/null 2>&1 </dev/null
    ;;
  stop) "$server" -k || true ;;
  run) exec "$wine" "${@:3}" ;;
esac
