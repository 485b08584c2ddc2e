#!/usr/bin/env bash
# The Windows programs must run from their own files: they may import
# Windows' system libraries only, and must use the system's own directory
# search. Their headers must ask for address space randomisation with
# 64-bit entropy and for no-execute data.
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
  flags=$(sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p' <<<"$dump")
  for flag in DYNAMIC_BASE NX_COMPAT HIGH_ENTROPY_VA; do
    grep -qw "$flag" <<<"$flags" || { echo "$exe: no $flag in its DLL characteristics"; exit 1; }
  done
  echo "$(basename "$exe"): $(grep -oE '[A-Z_]{6,}' <<<"$flags" | tr '\n' ' ')"
done
