# Installs the Debian packages the build, the tests and the demo need, when
# any is missing. Sourced by scripts/demo and scripts/test.

PELINOR_PACKAGES=(
  g++ cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev
  qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libgl-dev
  libmodbus-dev libsnmp-dev libcurl4-openssl-dev
  mbpoll python3 python3-pymodbus python3-serial python3-serial-asyncio
  xvfb xauth
)

pelinor_missing_packages() {
  local p missing=()
  for p in "${PELINOR_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  echo "${missing[@]}"
}

pelinor_install_deps() {
  local missing
  missing=$(pelinor_missing_packages)
  [ -z "$missing" ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing missing packages: $missing"
  $sudo apt-get update
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
}
