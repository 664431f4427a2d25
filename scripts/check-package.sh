#!/usr/bin/env bash
# Builds the Debian package from a build directory, checks what it holds (stripped programs,
# their symbols in a package of their own, a valid desktop entry, readable manual pages),
# unpacks it into a temporary root and converts a demo site once with the unpacked programs.
#   scripts/check-package.sh BUILD_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log") || { cat "$work/cpack.log"; exit 1; }
deb="$(ls "$work"/out/*.deb)"
echo "package: $(basename "$deb")"
ls "$work"/out/filomar-convert-dbgsym_*.ddeb >/dev/null 2>&1 || { echo "no package of debug symbols"; exit 1; }

listing="$(dpkg-deb -c "$deb")"
for path in ./usr/bin/filomar-convert ./usr/bin/filomar-site ./usr/lib/filomar-convert/filomar-convert \
            ./usr/lib/filomar-convert/filomar-convert-windows \
            ./usr/lib/filomar-convert/flm50.sql ./usr/lib/filomar-convert/flm50ora.sql \
            ./usr/lib/filomar-convert/Newstd7.tpl ./usr/lib/filomar-convert/Newstddb.tpl \
            ./usr/lib/filomar-convert/lock2k.sql ./usr/share/man/man1/filomar-convert.1 \
            ./usr/share/man/man1/filomar-site.1 ./usr/share/applications/filomar-convert.desktop; do
  grep -q " $path\( ->.*\)\?$" <<<"$listing" || { echo "missing from the package: $path"; exit 1; }
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
for program in "$root"/usr/lib/filomar-convert/filomar-convert "$root"/usr/lib/filomar-convert/filomar-convert-windows \
               "$root"/usr/bin/filomar-site; do
  file "$program" | grep -q ", stripped" || { echo "not stripped: $program"; exit 1; }
done
desktop-file-validate "$root"/usr/share/applications/filomar-convert.desktop
for page in "$root"/usr/share/man/man1/*.1; do
  MANWIDTH=80 man -l "$page" >/dev/null 2>"$work/man.err"
  if [ -s "$work/man.err" ]; then echo "$page:"; cat "$work/man.err"; exit 1; fi
done

# The unpacked site tool takes the scripts from the unpacked program directory.
site="$work/site"
FILOMAR_DIST="$root/usr/lib/filomar-convert" "$root/usr/bin/filomar-site" demo "$site" >/dev/null
status=0
echo FILOMAR | FILOMAR_HOME="$site" ODBCINI="$site/odbc.ini" FILOMAR_IPC_DIR="$site/ipc" \
  "$root/usr/bin/filomar-convert" --batch --user FILOMAR --password-stdin --all >"$work/run.out" 2>&1 || status=$?
if [ "$status" -ne 0 ] || ! grep -q "Conversion of Databases has completed" "$work/run.out"; then
  echo "the unpacked filomar-convert ended with status $status:"; cat "$work/run.out"; exit 1
fi
if grep -q "Error #" "$site/convert5.log"; then echo "errors in the log:"; tr -d '\r' <"$site/convert5.log"; exit 1; fi
echo "the unpacked filomar-convert converted the demo site: $(grep -c 'completed at' "$site/convert5.log") databases"
