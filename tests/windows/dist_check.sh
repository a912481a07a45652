#!/usr/bin/env bash
# dist_check.sh DIST [LINUX_BIN]: checks the Windows folder as a user gets it:
# every file there, each program linking no DLL beyond Windows' own, the
# screensaver a GUI program with its name as string 1, a version, an icon and
# a DPI-aware manifest asking for common controls 6 and the UTF-8 code page,
# the notices naming SDL's exact source and stb's licence, and the content
# byte for byte the same as the Linux build's in LINUX_BIN (when given and
# built).
set -u
dist=$1
linux_bin=${2:-}
source "$(dirname "$0")/../checks.sh"

for f in calvetrin.scr config.exe calvetrin-pak.exe main.pak preview.ppk README.txt NOTICES.txt LGPL-2.1.txt \
         MINGW-W64.txt; do
  if [ -s "$dist/$f" ]; then pass "$f is there"; else fail "$f is missing"; fi
done

# The DLLs of Windows itself (and of every Windows since XP).
system_dlls='^(ADVAPI32|GDI32|GLU32|KERNEL32|msvcrt|OPENGL32|USER32|WINMM|SHELL32|COMCTL32|ole32)\.dll$'
for program in calvetrin.scr config.exe calvetrin-pak.exe; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$dist/$program" | sed -n 's/^\s*DLL Name: //p')
  others=$(grep -Eiv "$system_dlls" <<<"$dlls")
  if [ -z "$others" ] && [ -n "$dlls" ]; then pass "$program needs only system DLLs: $(echo $dlls)"
  else fail "$program needs other DLLs: $(echo $others)"; fi

  rc=$(x86_64-w64-mingw32-windres -i "$dist/$program" -O rc 2>/dev/null)
  grep -Eq '^\s*1,\s*"Calvetrin"' <<<"$rc" && pass "$program: string 1 is \"Calvetrin\"" ||
    fail "$program: string 1 is not \"Calvetrin\""
  grep -q 'VALUE "ProductName", "Calvetrin' <<<"$rc" && pass "$program has a version resource" ||
    fail "$program has no version resource"
  grep -q 'ICON' <<<"$rc" && pass "$program has an icon" || fail "$program has no icon"
  # The manifest is stored as bytes; windres prints them as text lines.
  manifest=$(tr -d '\n' <<<"$rc")
  grep -q 'dpiAware' <<<"$manifest" && grep -q 'Microsoft.Windows.Common-Controls' <<<"$manifest" &&
    pass "$program: manifest is DPI-aware and asks for common controls 6" ||
    fail "$program: manifest lacks DPI awareness or common controls"
  grep -q 'activeCodePage[^>]*>UTF-8<' <<<"$manifest" && pass "$program: manifest asks for the UTF-8 code page" ||
    fail "$program: manifest does not ask for the UTF-8 code page"
done

notices=$(tr -d '\r' <"$dist/NOTICES.txt" 2>/dev/null)
grep -Eq 'package libsdl1\.2, version [0-9]' <<<"$notices" && grep -Eq 'SHA-256 [0-9a-f]{64}' <<<"$notices" &&
  pass "NOTICES.txt names SDL's source package, version and checksums" || fail "NOTICES.txt lacks SDL's exact source"
grep -q 'ALTERNATIVE A - MIT License' <<<"$notices" && pass "NOTICES.txt holds stb's licence" ||
  fail "NOTICES.txt lacks stb's licence"
grep -q 'GNU LESSER GENERAL PUBLIC LICENSE' "$dist/LGPL-2.1.txt" && pass "LGPL-2.1.txt is the licence" ||
  fail "LGPL-2.1.txt is not the LGPL"

subsystem=$(x86_64-w64-mingw32-objdump -p "$dist/calvetrin.scr" | sed -n 's/^Subsystem\s*//p')
grep -q 'Windows GUI' <<<"$subsystem" && pass "calvetrin.scr is a GUI program" || fail "calvetrin.scr: $subsystem"

if [ -n "$linux_bin" ] && [ -f "$linux_bin/main.pak" ]; then
  for f in main.pak preview.ppk; do
    cmp -s "$dist/$f" "$linux_bin/$f" && pass "$f is the Linux build's, byte for byte" ||
      fail "$f differs from $linux_bin/$f"
  done
fi

end_checks
