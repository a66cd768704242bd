# Shared by scripts/run, scripts/test, scripts/bench and scripts/package:
# installs the Debian packages the build, the tests, the screenshots and the
# package need, when any is missing.

dq_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

dq_packages=(
    cmake g++ make clang libclang-rt-dev
    clang-tidy # scripts/tidy
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n qt6-qpa-plugins
    # Only the tests and benchmarks that turn accessibility on use Qt's private API.
    qt6-base-private-dev
    libqt6network6 # with the OpenSSL TLS plugin that RDAP needs
    libgl-dev fonts-noto-cjk
    libbenchmark-dev
    xvfb xauth
    # scripts/package and its check in scripts/test. Qt's TLS backend needs no
    # package of its own: it ships inside libqt6network6.
    dpkg-dev file desktop-file-utils appstream
    man-db groff-base # the manual page's check
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
