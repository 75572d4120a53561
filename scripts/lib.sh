# Shared set-up for scripts/run and scripts/test: install what is missing,
# then configure and build. Sourced, not run.

LQ_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
LQ_BUILD_DIR=${LQ_BUILD_DIR:-$LQ_ROOT/build}

LQ_PACKAGES=(
  cmake g++ ninja-build pkg-config
  qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev
  libjpeg62-turbo-dev libzstd-dev
  libspng-dev libwebp-dev libtiff-dev libheif-dev liblcms2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core fonts-noto-color-emoji
)

lq_log() { printf '==> %s\n' "$*"; }

lq_install_packages() {
  local missing=()
  local pkg
  for pkg in "${LQ_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  lq_log "Installing ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

# lq_build DIR [cmake options...]: configure (once) and build everything in DIR.
lq_build() {
  local dir=$1
  shift
  cmake -S "$LQ_ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir"
}

# lq_build_release [cmake options...]
lq_build_release() {
  lq_log "Building (Release) in $LQ_BUILD_DIR"
  lq_build "$LQ_BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DLQ_WERROR=OFF "$@"
}
