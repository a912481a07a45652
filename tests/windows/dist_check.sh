#!/usr/bin/env bash
# dist_check.sh DIST MANIFEST HOST_CONTENT: the Windows folder as a user gets
# it: exactly the files the install rules put there (MANIFEST), none empty;
# programs linking only Windows' own DLLs, each with its name as string 1, a
# version, an icon and a manifest (DPI-aware, common controls 6, UTF-8); the
# notices naming SDL's exact source and stb's licence; the content byte for
# byte what the content generator built for Linux made (HOST_CONTENT).
source "$(dirname "$0")/../harness/harness.sh"
dist=$1 manifest=$2 host=$3
harness_init

[ -s "$manifest" ] || { echo "FAIL: no install manifest $manifest (the target windows_dist writes it)" >&2; exit 1; }
listed=$(xargs -n1 -d '\n' basename <"$manifest" | sort | tr '\n' ' ')
present=$(ls -A "$dist" | sort | tr '\n' ' ')
expect "the folder holds the files the install rules name ($listed)" [ "$present" = "$listed" ]
for f in $present; do expect "$f is not empty" [ -s "$dist/$f" ]; done

# The DLLs of Windows itself (and of every Windows since XP).
system_dlls='^(ADVAPI32|GDI32|GLU32|KERNEL32|msvcrt|OPENGL32|USER32|WINMM|SHELL32|COMCTL32|ole32)\.dll$'
for program in $(cd "$dist" && ls -- *.exe *.scr); do
  dlls=$(x86_64-w64-mingw32-objdump -p "$dist/$program" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')
  expect "$program needs only system DLLs: $dlls" [ -n "$dlls" -a -z "$(tr ' ' '\n' <<<"$dlls" | grep -Eiv "$system_dlls|^$")" ]
  rc=$(x86_64-w64-mingw32-windres -i "$dist/$program" -O rc 2>/dev/null)
  expect "$program: string 1 is \"Calvetrin\"" grep -Eq '^\s*1,\s*"Calvetrin"' <<<"$rc"
  expect "$program has a version resource" grep -q 'VALUE "ProductName", "Calvetrin' <<<"$rc"
  expect "$program has an icon" grep -q 'ICON' <<<"$rc"
  manifest_text=$(tr -d '\n' <<<"$rc") # stored as bytes, printed as lines
  expect "$program: manifest is DPI-aware and asks for common controls 6" \
    eval 'grep -q dpiAware <<<"$manifest_text" && grep -q Microsoft.Windows.Common-Controls <<<"$manifest_text"'
  expect "$program: manifest asks for the UTF-8 code page" grep -q 'activeCodePage[^>]*>UTF-8<' <<<"$manifest_text"
done
notices=$(tr -d '\r' <"$dist/NOTICES.txt")
expect "NOTICES.txt names SDL's source package, version and checksums" \
  eval 'grep -Eq "package libsdl1\.2, version [0-9]" <<<"$notices" && grep -Eq "SHA-256 [0-9a-f]{64}" <<<"$notices"'
expect "NOTICES.txt holds stb's licence" grep -q 'ALTERNATIVE A - MIT License' <<<"$notices"
expect "LGPL-2.1.txt is the licence" grep -q 'GNU LESSER GENERAL PUBLIC LICENSE' "$dist/LGPL-2.1.txt"
expect "calvetrin.scr is a GUI program" eval 'x86_64-w64-mingw32-objdump -p "$dist/calvetrin.scr" | grep -q "^Subsystem.*Windows GUI"'

for f in main.pak preview.ppk; do
  expect "$f is the Linux content generator's, byte for byte" cmp "$dist/$f" "$host/$f"
done
end_checks
