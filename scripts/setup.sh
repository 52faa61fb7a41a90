# Shared by scripts/run and scripts/test: installs what is missing and builds.
# Sourced, not run.

# Debian packages the build and the tests need.
KONVERSI_PACKAGES=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libfast-float-dev valgrind
  qt6-base-dev qt6-qpa-plugins libgl-dev
  fonts-liberation2 fonts-dejavu-core
  python3 python3-ezdxf gdal-bin
  time
  bash-completion
)

# What scripts/package needs on top: dpkg-shlibdeps and file, with which
# CPack works out the package's dependencies.
KONVERSI_DEB_PACKAGES=(dpkg-dev file)

# What scripts/check-package needs to check a package.
KONVERSI_DEB_CHECK_PACKAGES=(lintian appstream desktop-file-utils man-db)

# What the Windows build needs on top: the mingw-w64 cross compiler (the
# posix thread model, for std::thread) and Wine to run its tests.
KONVERSI_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine wine64)

# What scripts/fuzz needs on top: clang with libFuzzer and the sanitizers.
KONVERSI_FUZZ_PACKAGES=(clang libclang-rt-14-dev)

# What scripts/package-windows needs: the mingw-w64 cross compiler (posix
# threads, which std::thread needs), GoogleTest's sources that the build
# configures its tests with, Pillow to convert the window's picture and
# icon, zip and wixl for the two downloads.
KONVERSI_WINDOWS_PACKAGING_PACKAGES=(
  cmake ninja-build g++-mingw-w64-x86-64-posix libgtest-dev python3-pil zip wixl msitools
)

# What scripts/test-windows-ui needs on top: Wine with its own fonts (Tahoma)
# and a virtual X display driven by xdotool.
KONVERSI_WINDOWS_UI_TEST_PACKAGES=(
  wine wine64 fonts-wine fonts-liberation2 fonts-dejavu-core xvfb xdotool
)

# Installs the given Debian packages that are not installed yet, running
# apt-get update once first. Does nothing when all are there.
konversi_install() {
  local missing=() package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" </dev/null
}

# Configures (once) and builds a build folder: konversi_build DIR [CMAKE ARGS...]
konversi_build() {
  local dir=$1
  shift
  local generator=()
  command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" "${generator[@]}" "$@"
  else
    cmake "$dir" "$@" >/dev/null
  fi
  cmake --build "$dir" --parallel "$(nproc)"
}
