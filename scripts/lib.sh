# Shared set-up for scripts/run and scripts/test: install what is missing,
# then configure and build. Sourced, not run.

LQ_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# Two build folders, so that neither script undoes the other's configuration
# and makes it build everything again: build/ is scripts/test's (and the
# benchmarks' and scripts/package's), with every target and warnings as
# errors; build-run/ is scripts/run's, with the programs alone and warnings
# left as warnings, so that a newer compiler still builds them.
LQ_BUILD_DIR=${LQ_BUILD_DIR:-$LQ_ROOT/build}
LQ_RUN_BUILD_DIR=${LQ_RUN_BUILD_DIR:-$LQ_ROOT/build-run}

LQ_PACKAGES=(
  cmake g++ ninja-build pkg-config
  qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev
  libjpeg62-turbo-dev libzstd-dev
  libspng-dev libwebp-dev libtiff-dev libheif-dev liblcms2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core fonts-noto-color-emoji
  appstream dpkg-dev file
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

# lq_build DIR [cmake options...]: configure and build everything in DIR. The
# same options each time leave what is built as it is.
lq_build() {
  local dir=$1
  shift
  cmake -S "$LQ_ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir"
}

# lq_build_release: everything, tests and benchmarks included, in LQ_BUILD_DIR.
lq_build_release() {
  lq_log "Building (Release) in $LQ_BUILD_DIR"
  lq_build "$LQ_BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DLQ_WERROR=ON -DLQ_BUILD_TESTS=ON -DLQ_BUILD_BENCH=ON
}

# lq_build_programs: the editor, the renderer and the files beside them, in
# LQ_RUN_BUILD_DIR.
lq_build_programs() {
  lq_log "Building the programs (Release) in $LQ_RUN_BUILD_DIR"
  lq_build "$LQ_RUN_BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DLQ_WERROR=OFF -DLQ_BUILD_TESTS=OFF -DLQ_BUILD_BENCH=OFF
}
