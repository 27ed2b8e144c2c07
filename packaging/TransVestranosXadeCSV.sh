#!/bin/sh
# Starts the window (or, called as vestrano-host, the host window) from a folder the user owns.
# The window writes Vestrano.ini beside its program file when it runs embedded, and the folder
# the package installs it in (/usr/lib/transxade) is not writable by users; so the program
# files are kept copied, and refreshed after an upgrade, in TRANSXADE_PROGRAM_DIR, by default
# ~/.local/lib/transxade.
set -eu
installed=/usr/lib/transxade
dir=${TRANSXADE_PROGRAM_DIR:-${HOME:?}/.local/lib/transxade}
mkdir -p "$dir"
for file in TransVestranosXadeCSV vestrano-host XADE.CHM XADE-gl.chm; do
    if ! cmp -s "$installed/$file" "$dir/$file"; then
        cp "$installed/$file" "$dir/$file.new.$$"
        mv -f "$dir/$file.new.$$" "$dir/$file"
    fi
done
exec "$dir/$(basename "$0")" "$@"
