#!/usr/bin/env bash
# The Windows program must run from its own file: it may import Windows'
# system libraries only, and it must use the system's own directory search.
set -euo pipefail
dump=$(x86_64-w64-mingw32-objdump -p "$1")
dlls=$(grep -oP 'DLL Name: \K\S+' <<<"$dump")
echo "imports: $(echo $dlls)"
others=$(grep -viE '^(kernel32|msvcrt|ntdll|advapi32|user32|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$' <<<"$dlls" || true)
[ -z "$others" ] || { echo "not a system library: $others"; exit 1; }
for function in FindFirstFileA FindNextFileA FindClose; do
  grep -qw "$function" <<<"$dump" || { echo "does not import $function"; exit 1; }
done
