# Shared by scripts/run and scripts/test: package set-up and the build.
# Sourced, not run.

QV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

qv_install_packages() {
    local missing=()
    local pkg
    while read -r pkg; do
        [ -z "$pkg" ] && continue
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done < "$QV_ROOT/scripts/packages.txt"
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -q
    $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# qv_build DIR [extra cmake arguments...]
qv_build() {
    local dir="$1"
    shift
    cmake -S "$QV_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir" -j "$(nproc)"
}
