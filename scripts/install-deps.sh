#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Vellumar needs.
# Safe to run again: it asks apt only for what is missing, and updates the package lists
# only when something is.
set -euo pipefail

packages=(
    # build
    cmake g++ make ninja-build pkg-config lld
    qt6-base-dev libsqlcipher-dev libssl-dev libkainjow-mustache-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    # run: the library's command-line tool, a virtual display, fonts, desktop file handlers
    sqlcipher xvfb xauth fonts-dejavu-core xdg-utils
    # tests: PDF text of rendered reports; checking the menu entry, the AppStream metadata and
    # the Debian package's library dependencies
    poppler-utils desktop-file-utils appstream dpkg-dev
    # tests: rendering exported Markdown as a wiki would
    python3-markdown
    # tests: checking the Debian package as Debian checks packages
    lintian
)
if [[ "${1:-}" == "--fuzz" ]]; then
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    if ! command -v sudo >/dev/null; then
        echo "These packages are missing: ${missing[*]}" >&2
        echo "Installing them needs root: run this script as root, or install sudo." >&2
        exit 1
    fi
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
