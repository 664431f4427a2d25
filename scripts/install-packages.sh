#!/usr/bin/env bash
# Installs the Debian packages that building and testing filomar-convert need, when missing.
set -euo pipefail

packages=(cmake g++ make pkg-config libgtest-dev unixodbc unixodbc-dev odbcinst libsqliteodbc
          libsqlite3-dev sqlite3 qt6-base-dev libssl-dev nlohmann-json3-dev clang
          desktop-file-utils file)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# Node.js and npm run the grammar check of the server statements. A machine may have them from
# another source than Debian's (whose npm package then conflicts with that nodejs): the commands
# are what counts.
command -v node >/dev/null 2>&1 || missing+=(nodejs)
command -v npm >/dev/null 2>&1 || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
