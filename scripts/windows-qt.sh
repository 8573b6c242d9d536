#!/usr/bin/env bash
# Builds what the Windows editor links and Debian ships only as source: a
# static Qt for MinGW-w64 (with its SQLite and ODBC drivers) and
# libxlsxwriter, from Debian's own source packages, into a cache folder named
# after their versions, outside the work tree. A second run finds the folder
# and costs seconds.
#
#   scripts/windows-qt.sh build    build what is missing; print the folder
#   scripts/windows-qt.sh prefix   print the folder if it is complete, else fail
#
# The source packages come through an apt configuration of our own with a
# deb-src entry; the system's sources are never changed.
set -euo pipefail

mode=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
cache_root=${QUORVIL_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quorvil}
jobs=${JOBS:-$(nproc)}
# Raised when the recipe below changes, so that an older build is not reused.
recipe=1
packages=(qt6-base sqlite3 libxlsxwriter)

apt_dir=$cache_root/apt
apt_options=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
             -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
             -o Dir::State::status=/dev/null -o APT::Get::List-Cleanup=0)

say() { echo "windows-qt: $*" >&2; }

private_apt() {
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  cat >"$apt_dir/sources.list" <<EOF
deb-src http://deb.debian.org/debian $codename main
deb-src http://deb.debian.org/debian $codename-updates main
deb-src http://deb.debian.org/debian-security $codename-security main
EOF
  apt-get "${apt_options[@]}" -qq update >/dev/null 2>&1
}

source_version() {
  apt-cache "${apt_options[@]}" showsrc "$1" 2>/dev/null |
    awk '/^Version:/ { print $2 }' | sort -V | tail -n 1
}

# The folder's name carries every source version, the compiler's and the
# recipe's; without the network the newest complete folder of this recipe
# stands in.
prefix_name() {
  local name="r$recipe-gcc$(x86_64-w64-mingw32-g++-posix -dumpversion 2>/dev/null || echo none)"
  for p in "${packages[@]}"; do
    local v
    v=$(source_version "$p")
    [ -n "$v" ] || return 1
    name+="-$p${v//[:+~]/_}"
  done
  echo "$name"
}

complete_prefix() {
  local dir=$1
  [ -f "$dir/.complete" ] && echo "$dir"
}

find_prefix() {
  local name
  if private_apt && name=$(prefix_name); then
    echo "$cache_root/$name"
    return
  fi
  local newest
  newest=$(ls -d "$cache_root"/r"$recipe"-* 2>/dev/null | sort -V | tail -n 1 || true)
  [ -n "$newest" ] || { say "no network and no cache at $cache_root"; return 1; }
  echo "$newest"
}

prefix=$(find_prefix)
if [ "$mode" = prefix ]; then
  complete_prefix "$prefix" || exit 1
  exit 0
fi
if complete_prefix "$prefix" >/dev/null; then
  say "reusing $prefix"
  echo "$prefix"
  exit 0
fi

start=$(date +%s)
"$here/scripts/setup.sh" --windows >&2
work=$cache_root/work
rm -rf "$work"
mkdir -p "$work/src" "$prefix"
say "building into $prefix (about 40 minutes on 2 cores)"

say "fetching the source packages: ${packages[*]}"
(cd "$work/src" && apt-get "${apt_options[@]}" -qq source "${packages[@]}" >/dev/null 2>&1) ||
  { say "apt-get source failed"; exit 1; }
qt_src=$(ls -d "$work"/src/qt6-base-*/ | head -n 1)
sqlite_src=$(ls -d "$work"/src/sqlite3-*/ | head -n 1)
xlsx_src=$(ls -d "$work"/src/libxlsxwriter-*/ | head -n 1)

# Debian's qt6-base leaves SQLite out; Qt's driver compiles SQLite's single
# source file, which SQLite's own tree makes.
say "making SQLite's single source file"
(cd "$sqlite_src" && ./configure --quiet >/dev/null && make -s sqlite3.c >/dev/null 2>&1) ||
  { say "making sqlite3.c failed"; exit 1; }
mkdir -p "$qt_src/src/3rdparty/sqlite"
cp "$sqlite_src/sqlite3.c" "$sqlite_src/sqlite3.h" "$qt_src/src/3rdparty/sqlite/"

toolchain=$here/cmake/mingw-w64.cmake
say "configuring Qt"
# Debian leaves wintab.h out too, hence no tablet events. The windows
# platform plugin of this Qt needs OpenGL (dynamic) and Direct2D left on.
cmake -S "$qt_src" -B "$work/qt-build" -G Ninja -Wno-dev \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF \
  -DFEATURE_icu=OFF -DFEATURE_openssl=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF \
  -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF \
  -DFEATURE_system_sqlite=OFF -DFEATURE_sql_sqlite=ON -DFEATURE_sql_odbc=ON \
  -DFEATURE_sql_psql=OFF -DFEATURE_sql_mysql=OFF -DFEATURE_sql_ibase=OFF -DFEATURE_sql_oci=OFF \
  -DFEATURE_sql_db2=OFF >"$work/qt-configure.log" 2>&1 ||
  { say "configuring Qt failed: $work/qt-configure.log"; tail -n 30 "$work/qt-configure.log" >&2; exit 1; }
say "building Qt (log: $work/qt-build.log)"
cmake --build "$work/qt-build" -j "$jobs" >"$work/qt-build.log" 2>&1 ||
  { say "building Qt failed: $work/qt-build.log"; tail -n 30 "$work/qt-build.log" >&2; exit 1; }
cmake --install "$work/qt-build" >/dev/null

# The workbook export's library, with its own minizip; zlib is Debian's
# MinGW-w64 build.
say "building libxlsxwriter"
cmake -S "$xlsx_src" -B "$work/xlsx-build" -G Ninja -Wno-dev \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
  -DUSE_SYSTEM_MINIZIP=OFF -DUSE_STANDARD_TMPFILE=ON >"$work/xlsx.log" 2>&1 &&
  cmake --build "$work/xlsx-build" -j "$jobs" >>"$work/xlsx.log" 2>&1 &&
  cmake --install "$work/xlsx-build" >>"$work/xlsx.log" 2>&1 ||
  { say "building libxlsxwriter failed: $work/xlsx.log"; tail -n 30 "$work/xlsx.log" >&2; exit 1; }

touch "$prefix/.complete"
rm -rf "$work"
say "done in $(( ($(date +%s) - start) / 60 )) minutes"
echo "$prefix"
