#!/usr/bin/env bash
# Takes the pictures of the Qt windows in docs/ (signon.png, main.png, preview.png,
# progress.png, message.png, backups.png): builds filomar-screenshots, makes a demo site in a temporary directory and
# runs the windows over it on Qt's offscreen platform, converting every listed database.
# The build goes to ./build, or to $FILOMAR_BUILD_DIR when set.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-packages.sh
# The offscreen platform draws text with the fonts fontconfig finds; without any, text shows
# as boxes.
if ! dpkg-query -W -f='${Status}' fonts-dejavu-core 2>/dev/null | grep -q 'install ok installed'; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq fonts-dejavu-core >/dev/null
fi

build="${FILOMAR_BUILD_DIR:-build}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target filomar-screenshots filomar-site >/dev/null
build="$(cd "$build" && pwd)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/tools/site/filomar-site" demo "$work/site" >/dev/null
mkdir -p docs
export FILOMAR_HOME="$work/site" ODBCINI="$work/site/odbc.ini" FILOMAR_IPC_DIR="$work/site/ipc"
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
"$build/tools/screenshots/filomar-screenshots" "$PWD/docs"
