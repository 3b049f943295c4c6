#!/usr/bin/env bash
# Installs the build in BUILD_DIR into a scratch prefix and checks what a
# desktop needs: every file in place, a valid desktop entry, file types that
# the shared MIME database takes, a manual page that formats cleanly.
set -euo pipefail
build=${1:?usage: check_install.sh BUILD_DIR}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "check_install: $*" >&2; exit 1; }

env -u DESTDIR cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/qshe bin/qshe-tool \
         share/qshe/qshe.pcx share/qshe/qshe.qsh share/qshe/help.txt share/qshe/qshe-icon.png \
         share/qshe/cursor-pencil.png share/qshe/cursor-bucket.png \
         share/applications/qshe.desktop share/mime/packages/qshe.xml \
         share/icons/hicolor/32x32/apps/qshe.png share/icons/hicolor/64x64/apps/qshe.png \
         share/icons/hicolor/128x128/apps/qshe.png share/icons/hicolor/256x256/apps/qshe.png \
         share/man/man1/qshe-tool.1; do
  [ -s "$prefix/$f" ] || fail "missing $f"
done
[ -x "$prefix/bin/qshe" ] && [ -x "$prefix/bin/qshe-tool" ] || fail "programs not executable"
"$prefix/bin/qshe-tool" >/dev/null 2>&1 && fail "qshe-tool without arguments should fail" || true

command -v desktop-file-validate >/dev/null || fail "desktop-file-validate missing (run scripts/setup.sh)"
desktop-file-validate "$prefix/share/applications/qshe.desktop" || fail "desktop entry invalid"
grep -q '^MimeType=.*application/x-quorvane-qsh;' "$prefix/share/applications/qshe.desktop" ||
  fail "desktop entry does not take QSH files"

command -v xmllint >/dev/null || fail "xmllint missing (run scripts/setup.sh)"
xmllint --noout "$prefix/share/mime/packages/qshe.xml" || fail "MIME package is not well-formed"

# The install ran update-mime-database on the prefix: the types are in the
# database, QSH and QBJ by name, QS2 by name and by its signature.
mime="$prefix/share/mime"
for t in qsh qs2 qbj; do
  [ -f "$mime/application/x-quorvane-$t.xml" ] || fail "type application/x-quorvane-$t not in the database"
  grep -q "application/x-quorvane-$t:\*\.$t" "$mime/globs2" || fail "*.$t not in globs2"
done
grep -aq 'QSH2.001' "$mime/magic" || fail "QS2 signature not in the magic database"

if command -v groff >/dev/null; then
  warnings=$(groff -man -ww -z "$prefix/share/man/man1/qshe-tool.1" 2>&1)
  [ -z "$warnings" ] || fail "manual page: $warnings"
fi
echo "check_install: all in place under a scratch prefix"
