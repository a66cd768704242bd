# Shared by scripts/run, scripts/test and scripts/bench: installs the Debian
# packages the build, the tests and the screenshots need, when any is missing.

dq_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

dq_packages=(
    cmake g++ make clang libclang-rt-dev
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n qt6-qpa-plugins
    libqt6network6 # with the OpenSSL TLS plugin that RDAP needs
    libgl-dev fonts-noto-cjk
    libbenchmark-dev
    xvfb xauth
)

dq_install_missing() {
    local missing=()
    local pkg
    for pkg in "${dq_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

dq_jobs() {
    nproc 2>/dev/null || echo 2
}
