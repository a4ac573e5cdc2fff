#!/usr/bin/env bash
# Checks a built Debian package as a distribution would: lintian finds no errors, the desktop
# entry and the AppStream metainfo validate, the package holds each file a release needs, the
# programs in it are stripped, and, unpacked, the program starts under an X server (Xvfb when
# no DISPLAY is set), finds its help pages and keeps its settings in the user's folder, while
# velmo-cli gives the package's version.
#
#   packaging/check_package.sh [PACKAGE.deb]
# Without an argument: the package of scripts/package, else the one cpack made in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
deb="${1:-$(ls build-package/package/velmo_*.deb build/package/velmo_*.deb 2>/dev/null | head -1 || true)}"
unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT

echo "== lintian $deb"
lintian --fail-on error --display-level ">=warning" "$deb"

echo "== control fields"
dpkg-deb --field "$deb" Package Version Section Depends
[ "$(dpkg-deb --field "$deb" Section)" = games ] || { echo "Section is not games" >&2; exit 1; }
depends="$(dpkg-deb --field "$deb" Depends)"
for needed in qt6-translations-l10n fonts-dejavu-core libgl1-mesa-dri libqt6widgets6; do
  grep -q "$needed" <<<"$depends" || { echo "Depends lacks $needed" >&2; exit 1; }
done

echo "== contents"
contents="$(dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|')"
expected=(/usr/games/velmo /usr/games/velmo-cli /usr/lib/velmo/velmo /usr/lib/velmo/velmo-cli
  /usr/lib/velmo/velmo.installed /usr/lib/velmo/help/index.html
  /usr/share/applications/velmo.desktop /usr/share/icons/hicolor/scalable/apps/velmo.svg
  /usr/share/metainfo/org.example.velmo.metainfo.xml
  /usr/share/man/man6/velmo.6.gz /usr/share/man/man6/velmo-cli.6.gz
  /usr/share/doc/velmo/README.md /usr/share/doc/velmo/copyright
  /usr/share/doc/velmo/changelog.Debian.gz)
for side in 16 24 32 48 64 128 256; do
  expected+=("/usr/share/icons/hicolor/${side}x${side}/apps/velmo.png")
done
for path in "${expected[@]}"; do
  grep -qx "$path" <<<"$contents" || { echo "the package lacks $path" >&2; exit 1; }
done
echo "all ${#expected[@]} files are there"

dpkg-deb -x "$deb" "$unpacked"
usr="$unpacked/usr"
for program in velmo velmo-cli; do
  file "$usr/lib/velmo/$program" | grep -q ", stripped" ||
    { echo "$program is not stripped" >&2; exit 1; }
done

echo "== desktop-file-validate, appstreamcli validate"
desktop-file-validate "$usr/share/applications/velmo.desktop"
appstreamcli validate --no-net "$usr/share/metainfo/org.example.velmo.metainfo.xml"

echo "== the unpacked programs"
version="$(dpkg-deb --field "$deb" Version)"
version="${version%-*}"
"$usr/games/velmo-cli" --version
e2e=(/usr/bin/python3 tests/e2e/installed_e2e.py "$usr" "$version")
[ -n "${DISPLAY:-}" ] || e2e=(xvfb-run -a -s "-screen 0 1280x1024x24" "${e2e[@]}")
"${e2e[@]}"
