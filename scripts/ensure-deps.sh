#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, once. Quiet when all is in place.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64 libz-mingw-w64-dev
    wine wine64 xvfb xauth x11-utils fonts-wine fonts-liberation2
    googletest libpng-dev zlib1g-dev dpkg-dev
    nsis zip
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

# libpng is cross-built from Debian's own source package, so the same suite's deb-src entries are needed.
src_list=/etc/apt/sources.list.d/tessora-deb-src.sources
need_update=0
if ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME}")
    "${sudo_cmd[@]}" tee "$src_list" >/dev/null <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: ${codename} ${codename}-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: ${codename}-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_update -eq 1 ]; then
    echo "Installing: ${missing[*]:-(source lists only)}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    if [ ${#missing[@]} -gt 0 ]; then
        "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
fi
