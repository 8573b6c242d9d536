#!/usr/bin/env bash
# Installs the Debian packages that building, testing and packaging need
# (dpkg-shlibdeps, the desktop's validators for the install checks, and fonts with the
# letters of every character set a database may be shown in), when missing;
# with --windows, those of the Windows build (the cross compiler, Wine,
# NSIS for the installer, and what scripts/windows-qt.sh needs); with
# --package, the package's checker (make package).
set -euo pipefail
if [ "${1:-}" = "--windows" ]; then
  packages=(g++-mingw-w64-x86-64-posix wine64 googletest nsis libz-mingw-w64-dev tcl dpkg-dev)
elif [ "${1:-}" = "--package" ]; then
  packages=(lintian)
else
  packages=(g++ clang cmake make ninja-build pkg-config qt6-base-dev libgl-dev libsimpleini-dev
            nlohmann-json3-dev libxlsxwriter-dev libgtest-dev libgmock-dev googletest libbenchmark-dev xvfb xauth
            tango-icon-theme fonts-dejavu-core fonts-wqy-zenhei libqt6sql6-sqlite sqlite3 clang-format python3
            dpkg-dev file desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl man-db
            poppler-utils)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
