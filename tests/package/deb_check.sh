#!/usr/bin/env bash
# Checks the Debian package that scripts/build-deb.sh made, without installing
# it: its control fields and Depends, the files it unpacks (dpkg -x into a
# scratch directory) and that the links resolve inside it, the packaged
# programs run from there, the manual pages format cleanly, and lintian finds
# no error.
#
# usage: deb_check.sh DEB VERSION
set -u
deb=$1
version=$2
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

if [ ! -f "$deb" ]; then
    echo "FAIL: no package $deb; scripts/build-deb.sh makes it (./scripts/test.sh runs it first)" >&2
    exit 1
fi
echo "package: $deb ($(stat -c %s "$deb") bytes)"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = calvetrin ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', the project's is $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
[ "$(field Section)" = x11 ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"

# Every package named in a relation, alternatives included, one a line.
names() { field "$1" | tr ',|' '\n\n' | sed -E 's/\(.*\)//; s/^ +//; s/ +$//' | grep -v '^$'; }
depends=$(names Depends)
for needed in libsdl1.2-compat-shim libgl1 libglu1-mesa libc6 libstdc++6 libx11-6; do
    grep -qx -- "$needed" <<<"$depends" || fail "Depends does not name $needed: $(field Depends)"
done
# Pictures are decoded by the programs' own decoder, not by SDL_image.
! grep -qx libsdl-image1.2 <<<"$depends" || fail "Depends names libsdl-image1.2: $(field Depends)"
grep -qx xscreensaver <<<"$(names Suggests)" || fail "Suggests does not name xscreensaver"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root" || { echo "FAIL: dpkg -x cannot unpack $deb" >&2; exit 1; }

dir=usr/lib/calvetrin
for f in $dir/calvetrin $dir/config.exe usr/bin/calvetrin-pak; do
    [ -f "$root/$f" ] && [ ! -L "$root/$f" ] && [ -x "$root/$f" ] || fail "$f is not an executable file"
done
for f in $dir/main.pak $dir/preview.ppk usr/share/xscreensaver/config/calvetrin.xml \
         usr/share/man/man6/calvetrin.6.gz usr/share/man/man6/config.exe.6.gz usr/share/man/man1/calvetrin-pak.1.gz \
         usr/share/doc/calvetrin/copyright usr/share/doc/calvetrin/changelog.gz; do
    [ -f "$root/$f" ] && [ -s "$root/$f" ] || fail "$f is missing or empty"
done
# An absolute link would resolve outside the scratch directory.
for link in usr/bin/calvetrin usr/libexec/xscreensaver/calvetrin; do
    [ -L "$root/$link" ] || fail "$link is not a symbolic link"
    [ "$(readlink -f "$root/$link")" = "$root/$dir/calvetrin" ] ||
        fail "$link -> $(readlink "$root/$link") does not resolve to /$dir/calvetrin inside the package"
done

# xscreensaver runs the hack by the name its settings description gives.
xml=$root/usr/share/xscreensaver/config/calvetrin.xml
if xmllint --noout "$xml"; then
    [ "$(xmllint --xpath 'string(/screensaver/@name)' "$xml")" = calvetrin ] || fail "the settings description is not for the hack 'calvetrin'"
    [ "$(xmllint --xpath 'string(/screensaver/command/@arg)' "$xml")" = -root ] || fail "the hack's command is not '-root'"
else
    fail "calvetrin.xml is not well-formed XML"
fi

# The stripped programs run from the unpacked tree: the archive tool reads the
# packaged content, and config.exe finds its settings file beside itself.
entries=$("$root/usr/bin/calvetrin-pak" list "$root/$dir/main.pak" | awk '{print $2}' | tr '\n' ' ')
for entry in sn1 sn11 sn12; do
    [[ " $entries" == *" $entry "* ]] || fail "main.pak has no entry $entry (entries: $entries)"
done
# config.exe shows the user's own file (none yet: the defaults) and takes the
# installation directory, for the default settings, from beside itself.
shown=$(CALVETRIN_REGISTRY="$root/no-registry.reg" XDG_CONFIG_HOME="$root/user" "$root/$dir/config.exe")
grep -qxF "Settings file: $root/user/calvetrin/cfg" <<<"$shown" || fail "config.exe does not show the user's file: $shown"
printf '\3\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\14\0\0\0\17\0\0\0' >"$root/$dir/cfg"
shown=$(CALVETRIN_REGISTRY="$root/no-registry.reg" XDG_CONFIG_HOME="$root/user" "$root/$dir/config.exe")
grep -qxF "Read from:     $root/$dir/cfg" <<<"$shown" || fail "config.exe does not fall back to its own directory: $shown"
rm -f "$root/$dir/cfg"
grep -q 'stb_image' "$root/usr/share/doc/calvetrin/copyright" || fail "the copyright file lacks stb_image's notice"

for page in "$root"/usr/share/man/man*/*.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "${page#"$root"/} formats with warnings: $warnings"
done

lintian_output=$(lintian --display-info "$deb" 2>&1)
echo "lintian:"
echo "${lintian_output:-(nothing)}"
if grep -q '^E:' <<<"$lintian_output"; then fail "lintian reports errors"; fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "the package is complete"
