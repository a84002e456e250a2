#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Runs a command on a virtual X display of its own. The server picks a free
# display number itself, so that suites (and other checkouts' suites) run
# side by side without taking each other's display.
set -u
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkfifo "$dir/display"
Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3>"$dir/display" 2>"$dir/log" &
server=$!
if ! read -r number < "$dir/display"; then
    cat "$dir/log" >&2
    echo "the virtual X display did not start" >&2
    exit 1
fi
DISPLAY=":$number" "$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $status
