# SPDX-License-Identifier: GPL-2.0-or-later
# Sourced by the project's scripts: the layout of the C++ sources. Each major
# version of clang-format lays out some code otherwise, so the check and the
# mending both name one: Debian 12's, the name of its package and program.
clang_format=clang-format-14

# Runs clang-format with the arguments on every tracked source, from the
# top of the checkout.
on_sources() {
    git ls-files -z -- '*.cpp' '*.h' | xargs -0 --no-run-if-empty "$clang_format" "$@"
}

# Fails on a source clang-format would change, naming where.
check_format() {
    if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        echo "varlume: not a git checkout, the layout of the sources is not checked" >&2
        return 0
    fi
    if ! on_sources --dry-run --Werror; then
        echo "varlume: the sources above are not laid out as $clang_format lays them out; ./varlume.sh format mends them" >&2
        return 1
    fi
}
