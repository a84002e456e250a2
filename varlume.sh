#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# "run": builds the program, installs it into the observer's program folder
#        (VARLUME_HOME, ~/varlume unless set) and starts it from there.
# "test": builds everything, runs the whole test suite and checks that every
#         source is laid out as clang-format 14 lays it out.
# "format": lays out every source with clang-format 14.
# Each installs the Debian packages it needs when they are missing.
set -euo pipefail
cd "$(dirname "$0")"
source=$PWD

source "$source/scripts/debian.sh"
source "$source/scripts/format.sh"

program_packages=(g++ cmake ninja-build qt6-base-dev libqt6sql6-sqlite libsqlite3-dev libgl-dev libqcustomplot-dev liberfa-dev fonts-dejavu-core fonts-liberation2)
test_packages=(qt6-tools-dev sqlite3 xvfb poppler-utils ccache "$clang_format")

# An earlier build ran the program from build/bin and kept its data there; a
# rebuild or a clean clone would lose it. Moves it into the program folder,
# never over what is there already.
move_old_data() {
    local home=$1 old=$source/build/bin name moved=()
    [ -d "$old" ] || return 0
    for name in starcharts.mdb header.txt obs starcharts charts; do
        if [ -e "$old/$name" ] && [ ! -e "$home/$name" ]; then
            mv "$old/$name" "$home/$name"
            moved+=("$name")
        fi
    done
    if [ ${#moved[@]} -gt 0 ]; then
        echo "varlume: moved your data from $old to $home: ${moved[*]}"
    fi
    for name in starcharts.mdb header.txt obs starcharts charts; do
        [ -e "$old/$name" ] && echo "varlume: $old/$name was left where it is: $home/$name exists already"
    done
    return 0
}

# A menu entry, so the program starts from the desktop's menu too.
install_menu_entry() {
    local home=$1 applications=${XDG_DATA_HOME:-$HOME/.local/share}/applications
    mkdir -p "$applications"
    cat > "$applications/varlume.desktop" <<EOF
[Desktop Entry]
Type=Application
Name=varlume
Comment=Record visual estimates of variable stars
Exec="$home/varlume"
Path=$home
Icon=$home/varlume.png
Terminal=false
Categories=Education;Science;Astronomy;
EOF
}

case "${1:-run}" in
    run)
        install_missing "${program_packages[@]}"
        home=${VARLUME_HOME:-$HOME/varlume}
        cmake --preset release
        cmake --build --preset release
        mkdir -p "$home"
        cmake --install build/release --prefix "$home"
        move_old_data "$home"
        install_menu_entry "$home"
        exec "$home/varlume"
        ;;
    test)
        install_missing "${program_packages[@]}" "${test_packages[@]}"
        cmake --preset debug
        cmake --build --preset debug
        ctest --preset debug -j"$(nproc)"
        check_format
        ;;
    format)
        install_missing "$clang_format"
        on_sources -i
        ;;
    *)
        echo "usage: $0 [run|test|format]" >&2
        exit 2
        ;;
esac
