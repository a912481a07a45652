#!/usr/bin/env bash
# Checks the Debian package that its tree's target `package` made, without
# installing it: its control fields and Depends, the files it unpacks (dpkg -x
# into a scratch directory) and that the links resolve inside it, the
# packaged programs run from there, the manual pages format cleanly, and
# lintian finds no error.   usage: deb_check.sh DEB VERSION
source "$(dirname "$0")/../harness/harness.sh"
deb=$1 version=$2
harness_init
[ -f "$deb" ] || { echo "FAIL: no package $deb (the tree's target 'package' makes it)" >&2; exit 1; }
echo "package: $deb ($(stat -c %s "$deb") bytes)"
field() { dpkg-deb -f "$deb" "$1"; }
for f in Package=calvetrin "Version=$version" "Architecture=$(dpkg --print-architecture)" Section=x11; do
  expect "${f%%=*} is ${f#*=} (got $(field "${f%%=*}"))" [ "$(field "${f%%=*}")" = "${f#*=}" ]
done
expect "a Maintainer is named" [ -n "$(field Maintainer)" ]

# Every package named in a relation, alternatives included, one a line.
names() { field "$1" | tr ',|' '\n\n' | sed -E 's/\(.*\)//; s/^ +//; s/ +$//' | grep -v '^$'; }
depends=$(names Depends)
for needed in libsdl1.2-compat-shim libgl1 libglu1-mesa libc6 libstdc++6 libx11-6; do
  expect "Depends names $needed" grep -qx -- "$needed" <<<"$depends"
done
# Pictures are decoded by the programs' own decoder, not by SDL_image.
expect "Depends does not name libsdl-image1.2" [ -z "$(grep -x libsdl-image1.2 <<<"$depends")" ]
expect "Suggests names xscreensaver" grep -qx xscreensaver <<<"$(names Suggests)"

root=$OUT/root
dpkg -x "$deb" "$root" || { echo "FAIL: dpkg -x cannot unpack $deb" >&2; exit 1; }

dir=usr/lib/calvetrin
executable() { [ -f "$1" ] && [ ! -L "$1" ] && [ -x "$1" ]; }
for f in $dir/calvetrin $dir/config.exe usr/bin/calvetrin-pak; do
  expect "$f is an executable file" executable "$root/$f"
done
for f in $dir/main.pak $dir/preview.ppk usr/share/xscreensaver/config/calvetrin.xml \
  usr/share/man/man6/calvetrin.6.gz usr/share/man/man6/config.exe.6.gz usr/share/man/man1/calvetrin-pak.1.gz \
  usr/share/doc/calvetrin/copyright usr/share/doc/calvetrin/changelog.gz; do
  expect "$f is there and not empty" [ -f "$root/$f" -a -s "$root/$f" ]
done
# An absolute link would resolve outside the scratch directory.
for link in usr/bin/calvetrin usr/libexec/xscreensaver/calvetrin; do
  expect "$link is a symbolic link" [ -L "$root/$link" ]
  expect "$link -> $(readlink "$root/$link") resolves to /$dir/calvetrin inside the package" \
    [ "$(readlink -f "$root/$link")" = "$root/$dir/calvetrin" ]
done

# xscreensaver runs the hack by the name its settings description gives.
xml=$root/usr/share/xscreensaver/config/calvetrin.xml
expect "calvetrin.xml is well-formed XML" xmllint --noout "$xml"
expect "the settings description is for the hack 'calvetrin'" \
  [ "$(xmllint --xpath 'string(/screensaver/@name)' "$xml")" = calvetrin ]
expect "the hack's command is '-root'" [ "$(xmllint --xpath 'string(/screensaver/command/@arg)' "$xml")" = -root ]

# The stripped programs run from the unpacked tree: the archive tool reads the
# packaged content.
entries=$("$root/usr/bin/calvetrin-pak" list "$root/$dir/main.pak" | awk '{print $2}' | tr '\n' ' ')
for entry in sn1 sn11 sn12; do
  expect "main.pak has the entry $entry (entries: $entries)" grep -qw "$entry" <<<"$entries"
done
# config.exe shows the user's own file (none yet: the defaults) and takes the
# installation directory, for the default settings, from beside itself.
show() { CALVETRIN_REGISTRY="$root/no-registry.reg" XDG_CONFIG_HOME="$root/user" "$root/$dir/config.exe"; }
expect "config.exe shows the user's file" grep -qxF "Settings file: $root/user/calvetrin/cfg" <<<"$(show)"
printf '\3\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\14\0\0\0\17\0\0\0' >"$root/$dir/cfg"
expect "config.exe falls back to its own directory's cfg" grep -qxF "Read from:     $root/$dir/cfg" <<<"$(show)"
rm -f "$root/$dir/cfg"
expect "the copyright file has stb_image's notice" grep -q 'stb_image' "$root/usr/share/doc/calvetrin/copyright"

for page in "$root"/usr/share/man/man*/*.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  expect "${page#"$root"/} formats without warnings $warnings" [ -z "$warnings" ]
done

lintian_output=$(lintian --display-info "$deb" 2>&1)
echo "lintian: ${lintian_output:-(nothing)}"
expect "lintian reports no error" [ -z "$(grep '^E:' <<<"$lintian_output")" ]
end_checks
