# Installs the Debian packages the build, the tests and the programs need,
# when any is missing. Sourced by ./test and ./run.
MEETDESK_PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache clang libclang-rt-dev
  qt6-base-dev libgl-dev qt6-httpserver-dev qt6-websockets-dev zlib1g-dev
  libpugixml-dev libzip-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fontconfig
  chromium
)

install_deps() {
  local missing=()
  local p
  for p in "${MEETDESK_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}
