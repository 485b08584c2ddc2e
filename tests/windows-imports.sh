#!/usr/bin/env bash
# The Windows programs must run from their own files: they may import
# Windows' system libraries only, and must use the system's own directory
# search.
#   windows-imports.sh EXE...
set -euo pipefail
for exe in "$@"; do
  dump=$(x86_64-w64-mingw32-objdump -p "$exe")
  dlls=$(grep -oP 'DLL Name: \K\S+' <<<"$dump")
  echo "$(basename "$exe") imports: $(echo $dlls)"
  others=$(grep -viE '^(kernel32|msvcrt|ntdll|advapi32|user32|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$' <<<"$dlls" || true)
  [ -z "$others" ] || { echo "$exe: not a system library: $others"; exit 1; }
  for function in FindFirstFileA FindNextFileA FindClose; do
    grep -qw "$function" <<<"$dump" || { echo "$exe: does not import $function"; exit 1; }
  done
done
