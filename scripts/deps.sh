# Installs, with apt-get, the Debian 12 packages the build and the tests need.
# Sourced by scripts/run and scripts/test; does nothing when all are present.
kel_install() {
  local missing=()
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

KEL_BUILD_PACKAGES=(g++ cmake make pkg-config qt6-base-dev libx11-dev libx11-xcb-dev libxi-dev libxtst-dev
  libgl-dev fonts-liberation fontconfig)
KEL_TEST_PACKAGES=(clang libgtest-dev libgmock-dev xvfb xdotool x11-utils imagemagick python3 openbox
  xclip libxfixes3)
