# Installs the Debian packages named in "$@" that are not installed yet.
# Sourced by the other scripts.
vorlen_install_missing() {
  local missing=()
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}" >&2
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# bubblewrap is the bots' sandbox: needed to run them contained, not to build.
# pybind11 and Python's headers build the engine's Python module.
VORLEN_BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-charts-dev libqt6opengl6-dev nlohmann-json3-dev libsimdjson-dev libgl-dev libgtest-dev libbenchmark-dev bubblewrap pybind11-dev python3-dev libsqlite3-dev libpq-dev libarchive-dev zlib1g-dev libmicrohttpd-dev libsodium-dev pkgconf)
# What building and checking the Debian package takes.
VORLEN_PACKAGE_PACKAGES=(dpkg-dev lintian desktop-file-utils appstream shared-mime-info libglib2.0-bin)
# Java and Node run the starter bots of those languages; the ladder's tests
# start a PostgreSQL server of their own.
VORLEN_TEST_PACKAGES=(xvfb xdotool imagemagick chromium python3 time bc slurm-wlm munge parallel default-jdk-headless nodejs
  postgresql nginx openssl curl
  "${VORLEN_PACKAGE_PACKAGES[@]}")
# The benchmarks' load tool.
VORLEN_BENCH_PACKAGES=(apache2-utils)
# One sanitizer build serves the test suite and the fuzz targets: clang,
# whose coverage libFuzzer reads.
VORLEN_SANITIZER_PACKAGES=(clang libclang-rt-14-dev)
VORLEN_SANITIZER_BUILD=(-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug
  -DVORLEN_SANITIZE=ON -DVORLEN_FUZZ=ON -DVORLEN_BUILD_BENCH=OFF)
