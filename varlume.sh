#!/usr/bin/env bash
# Builds varlume and either starts it ("run") or runs the whole test suite ("test").
# Installs the Debian packages the build needs when they are missing.
set -euo pipefail
cd "$(dirname "$0")"

packages=(g++ cmake ninja-build qt6-base-dev libqt6sql6-sqlite qt6-tools-dev libgl-dev sqlite3 fonts-dejavu-core fonts-liberation2)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi

build=${VARLUME_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build"

case "${1:-run}" in
    run)
        exec "$build/bin/varlume"
        ;;
    test)
        QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
        ;;
    *)
        echo "usage: $0 [run|test]" >&2
        exit 2
        ;;
esac
