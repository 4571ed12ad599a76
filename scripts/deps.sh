# Sourced by ./run and ./test: installs the Debian packages that are missing.
KORVANDEL_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev
  libgtest-dev libgmock-dev libbenchmark-dev libboost-dev
  # The log draws control bytes as control pictures, which the default fonts lack.
  fonts-freefont-ttf)

korvandel_install_missing() {
  local missing=()
  for pkg in "${KORVANDEL_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
