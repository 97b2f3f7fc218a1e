#!/usr/bin/env bash
# Sets up everything Velnora needs on Debian 12, builds it, and then either
# starts the program on its default data (start), runs the test suite (test)
# or builds the Debian package (package).
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libsqlite3-dev libsqlitecpp-dev sqlite3
          libglib2.0-dev mdbtools-dev mdbtools xvfb xauth poppler-utils imagemagick
          fonts-dejavu-core libbenchmark-dev dpkg-dev file fakeroot lintian libxml2-utils
          libnova-dev zlib1g-dev openbox xdotool x11-utils indi-bin)

install_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    # A compiler cache, where the machine has one, makes rebuilds of other checkouts quick.
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELNORA_BUILD_TESTS=ON "${launcher[@]}" >/dev/null
    cmake --build build --parallel 2
}

case "${1:-}" in
start)
    install_packages
    build
    # The program's folder: layouts, help, pictures and maps beside velnora.db.
    mkdir -p build/run
    cp -ru assets/. build/run/
    cd build/run
    exec ../velnora
    ;;
package)
    install_packages
    build
    cd build
    exec cpack -G DEB    # velnora_<version>_amd64.deb in build/
    ;;
test)
    install_packages
    build
    cd build
    exec ctest --output-on-failure --parallel 2
    ;;
*)
    echo "usage: $0 start|test|package" >&2
    exit 2
    ;;
esac
