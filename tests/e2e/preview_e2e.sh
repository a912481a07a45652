#!/usr/bin/env bash
# End-to-end tests of the preview mode: the program is started with "/p" and
# the id of a parent window made by xparent, in its own installation
# directory named by a registry file, and what it paints is read back from
# the X server. Runs under an X server (tests/with-xvfb.sh); starts one more
# private Xvfb of its own to test a lost connection.
#
# usage: preview_e2e.sh PROGRAM XPARENT WORKDIR
set -u
# A write to an xparent that has ended fails instead of ending this script.
trap "" PIPE
program=$1
xparent=$2
work=$3
rm -rf "$work"
mkdir -p "$work"
failures=0
# Generous: a sanitizer build paints much more slowly.
paint_ms=20000
exit_s=30

fail() {
    echo "FAIL [$scenario]: $*" >&2
    failures=$((failures + 1))
}

# An installation directory $work/NAME/ and the registry file naming it.
make_install() {
    local dir="$work/$1/"
    mkdir -p "$dir"
    printf '%s\n' 'Windows Registry Editor Version 5.00' '' \
        '[HKEY_LOCAL_MACHINE\Software\Quorvane\Calvetrin\Settings]' "\"Path\"=\"$dir\"" >"$work/$1.reg"
    install_dir=$dir
}

picture() { # FILE PATTERN W H
    "$xparent" picture "$@" || fail "cannot write the test picture $1"
}

# xparent talks through two named pipes: commands in, answers out.
start_parent() {
    rm -f "$work/to-xparent" "$work/from-xparent"
    mkfifo "$work/to-xparent" "$work/from-xparent"
    "$xparent" <"$work/to-xparent" >"$work/from-xparent" &
    xparent_pid=$!
    exec {to_xparent}>"$work/to-xparent" {from_xparent}<"$work/from-xparent"
    if ! read -r -t 20 parent_id <&"$from_xparent"; then
        fail "xparent did not start"
        parent_id=0
    fi
}

ask() { # COMMAND...: sends one command to xparent, sets reply
    reply=""
    echo "$*" >&"$to_xparent" 2>/dev/null
    read -r -t 120 reply <&"$from_xparent" || reply="no answer from xparent"
}

expect_picture() { # PATTERN W H WHAT
    ask expect "$1" "$2" "$3" "$paint_ms"
    [ "$reply" = ok ] || fail "$4: $reply"
}

stop_parent() {
    echo quit >&"$to_xparent" 2>/dev/null
    exec {to_xparent}>&- {from_xparent}<&-
    wait "$xparent_pid" 2>/dev/null
}

# Starts the program on the registry file of scenario NAME with ARGS.
start_program() { # NAME ARGS...
    local name=$1
    shift
    CALVETRIN_REGISTRY="$work/$name.reg" timeout -k 5 "$exit_s" "$program" "$@" \
        >"$work/$name.out" 2>"$work/$name.err" &
    program_pid=$!
}

# Waits for the program; a timeout shows as exit code 124.
expect_exit_zero() { # WHAT
    wait "$program_pid"
    local rc=$?
    if [ "$rc" = 124 ] || [ "$rc" = 137 ]; then
        fail "$1: still running after ${exit_s} s"
    elif [ "$rc" != 0 ]; then
        fail "$1: exit code $rc"
        cat "$work/$scenario.err" >&2
    fi
}

expect_no_output() {
    [ ! -s "$work/$scenario.out" ] || fail "unexpected output: $(head -c 200 "$work/$scenario.out")"
}

# Paints the picture, repaints it from the file when uncovered, ends when
# the parent is destroyed.
scenario=full
make_install full
picture "${install_dir}preview.ppk" gradient 152 112
start_parent
start_program full /p "$parent_id"
expect_picture gradient 152 112 "first paint"
ask children
[ "$reply" = 1 ] || fail "the parent has $reply children, expected 1"
ask cover
picture "${install_dir}preview.ppk" alternate 152 112
ask uncover
expect_picture alternate 152 112 "repaint after uncovering"
ask destroy
expect_exit_zero "destroying the parent"
expect_no_output
stop_parent

# Upper-case /P, a picture smaller than the window (an odd width, so its
# rows are padded), the rest in the background colour.
scenario=small
make_install small
picture "${install_dir}preview.ppk" gradient 101 77
start_parent
start_program small /P "$parent_id"
expect_picture gradient 101 77 "smaller picture"
ask destroy
expect_exit_zero "destroying the parent"
stop_parent

# A larger picture is cut off at the window's edges.
scenario=large
make_install large
picture "${install_dir}preview.ppk" gradient 190 140
start_parent
start_program large /p "$parent_id"
expect_picture gradient 190 140 "larger picture"
ask destroy
expect_exit_zero "destroying the parent"
stop_parent

# A paletted picture is shown in its palette's colours.
scenario=palette
make_install palette
picture "${install_dir}preview.ppk" palette 152 112
start_parent
start_program palette /p "$parent_id"
expect_picture palette 152 112 "paletted picture"
ask destroy
expect_exit_zero "destroying the parent"
stop_parent

# No picture: the background only, and the mode still ends normally.
scenario=missing
make_install missing
start_parent
start_program missing /p "$parent_id"
expect_picture none 0 0 "no picture"
ask destroy
expect_exit_zero "destroying the parent"
expect_no_output
stop_parent

# No window can be made: a parent that no longer exists, no handle, or a
# handle that is not a number. Each ends at once.
scenario=stale
make_install stale
start_parent
ask stale
start_program stale /p "$reply"
expect_exit_zero "a parent that does not exist"
expect_no_output
stop_parent

scenario=nohandle
make_install nohandle
start_program nohandle /p
expect_exit_zero "/p without a handle"
expect_no_output

scenario=notanumber
make_install notanumber
start_program notanumber /p window
expect_exit_zero "/p with a word that is not a number"
expect_no_output

# No X display: the window class is refused.
scenario=nodisplay
make_install nodisplay
(
    unset DISPLAY
    CALVETRIN_REGISTRY="$work/nodisplay.reg" timeout -k 5 "$exit_s" "$program" /p 4660 \
        >"$work/nodisplay.out" 2>"$work/nodisplay.err"
)
rc=$?
[ "$rc" = 0 ] || fail "exit code $rc"
[ "$(cat "$work/nodisplay.out")" = dermo ] || fail "output is '$(cat "$work/nodisplay.out")', expected dermo"
[ "$(wc -l <"$work/nodisplay.out")" = 1 ] || fail "output is not one line"

# The X server goes away while the preview runs: the mode ends.
scenario=lost
make_install lost
picture "${install_dir}preview.ppk" gradient 152 112
Xvfb -displayfd 5 -screen 0 640x480x24 -nolisten tcp 5>"$work/lost.display" 2>"$work/lost.xvfb.log" &
xvfb_pid=$!
for _ in $(seq 200); do
    [ -s "$work/lost.display" ] && break
    sleep 0.05
done
if [ -s "$work/lost.display" ]; then
    saved_display=$DISPLAY
    export DISPLAY=":$(head -n1 "$work/lost.display")"
    start_parent
    start_program lost /p "$parent_id"
    expect_picture gradient 152 112 "first paint"
    kill "$xvfb_pid"
    wait "$xvfb_pid" 2>/dev/null
    expect_exit_zero "the X server ending"
    stop_parent
    export DISPLAY=$saved_display
else
    fail "the second Xvfb did not start"
    kill "$xvfb_pid" 2>/dev/null
fi

if [ "$failures" -ne 0 ]; then
    echo "preview end-to-end: $failures failure(s)" >&2
    exit 1
fi
echo "preview end-to-end: all scenarios passed"
