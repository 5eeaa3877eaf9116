#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
# Sourced by ./test and ./run; safe to run again.
set -euo pipefail

ct_required_packages=(
    build-essential
    cmake
    qtbase5-dev
    qtbase5-dev-tools
    libgtest-dev
    libgmock-dev
    libbenchmark-dev
    clang-format
    libassimp-dev
    zlib1g-dev
    clang-14
    libclang-rt-14-dev
    xvfb
    xauth
    # The folder-characterization test checks its JSON report against the documented schema.
    python3
    python3-jsonschema
)

# Only for scripts/screenshots.sh --docs: the palette reduction of the README pictures and the
# one font family they are drawn with.
ct_docs_packages=(
    pngquant
    fonts-dejavu-core
)

# ct_install_missing_packages [PACKAGE...]: the build's packages when none is named.
ct_install_missing_packages() {
    local missing=()
    local pkg
    [ $# -gt 0 ] || set -- "${ct_required_packages[@]}"
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}
