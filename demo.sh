#!/usr/bin/env bash
# Builds filomar-convert, makes a fresh demo site in ./demo-site and converts it.
#
#   ./demo.sh                 converts every listed database through the batch front end,
#                             printing what the program shows and what was answered for you
#   ./demo.sh --interactive   runs the console front end instead: you sign on (FILOMAR /
#                             FILOMAR) and choose the databases yourself
#
# Before and after the run it prints a few records of the site with `filomar-site dump`, and
# after it the conversion log and the run report (JSON). The build goes to ./build, or to $FILOMAR_BUILD_DIR when set.
set -euo pipefail
cd "$(dirname "$0")"

interactive=false
case "${1:-}" in
  "") ;;
  --interactive) interactive=true ;;
  *) echo "usage: ./demo.sh [--interactive]" >&2; exit 2 ;;
esac

scripts/install-packages.sh

build="${FILOMAR_BUILD_DIR:-build}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target filomar-convert filomar-site >/dev/null

convert="$(cd "$build" && pwd)/src/app/filomar-convert"
sitetool="$(cd "$build" && pwd)/tools/site/filomar-site"
site="$PWD/demo-site"
rm -rf "$site"
"$sitetool" demo "$site"
export FILOMAR_HOME="$site" ODBCINI="$site/odbc.ini" FILOMAR_IPC_DIR="$site/ipc"

heading() { printf '\n===== %s =====\n' "$1"; }

# The catalogue, and for each database its version record and first codes.
show_records() {
  heading "$1: the catalogue (DB of STANDARD)"
  "$sitetool" dump "$site" data std DB | grep -E "^key|^  (10|116):"
  for db in "data std" "finance fin" "personnel per"; do
    set -- $db
    heading "$1: version record C00 (the version code is at offset 438) and codes"
    "$sitetool" dump "$site" "$1" "$2" CONF | sed -n '1,5p'
    "$sitetool" dump "$site" "$1" "$2" CODE | sed -n "1,6p"
  done
}

show_records "Before"

heading "filomar-convert"
status=0
if $interactive; then
  echo "Sign on as FILOMAR with the password FILOMAR."
  "$convert" --console --report "$site/convert5.json" || status=$?
else
  echo "The demo signs on as FILOMAR (password FILOMAR) and selects every listed database (--all)."
  echo FILOMAR | "$convert" --batch --user FILOMAR --password-stdin --all --report "$site/convert5.json" || status=$?
fi
echo "filomar-convert ended with status $status"

heading "The conversion log ($site/convert5.log, CR LF line ends shown as line ends)"
if [ -f "$site/convert5.log" ]; then tr -d '\r' < "$site/convert5.log"; else echo "(no log was written)"; fi

heading "The run report ($site/convert5.json)"
if [ -f "$site/convert5.json" ]; then cat "$site/convert5.json"; echo; else echo "(no report was written)"; fi

show_records "After"
