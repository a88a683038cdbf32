#!/usr/bin/env bash
# The Debian package, checked as a user would get it:
#   bash package_check.sh <build dir>
# Validates the desktop entry and the AppStream metadata, builds the package
# with CPack in the build folder, runs lintian (no error allowed), then
# installs the package, starts the installed calculator as an unprivileged
# user with a fresh home (tests/e2e/installed.py), checks that nothing the
# package installed changed, reads `man zumbrel-calc`, and removes the
# package again. Installing needs root (or sudo); it is skipped, with a
# message, when the package is already installed on this machine.
set -euo pipefail
build=$(cd "${1:?usage: package_check.sh <build dir>}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../.." && pwd)
id=org.zumbrel.Zumbrel

step() { echo "== package: $*"; }

step "desktop-file-validate"
desktop-file-validate "$source/packaging/$id.desktop"
step "appstreamcli validate --no-net"
appstreamcli validate --no-net --pedantic "$source/packaging/$id.metainfo.xml"

step "cpack -G DEB"
rm -rf "$build/package"
(cd "$build" && cpack -G DEB -B "$build/package" >/dev/null)
deb=$(ls "$build"/package/zumbrel_*.deb)
dpkg-deb --field "$deb"

step "lintian"
lintian --fail-on error --info "$deb"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if dpkg-query -W -f='${Status}' zumbrel 2>/dev/null | grep -q "install ok installed"; then
  echo "zumbrel is already installed here: the install, start and removal checks are skipped"
  exit 0
fi

removed=0
remove() {
  [ "$removed" -eq 1 ] && return 0
  removed=1
  step "apt-get purge zumbrel"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq zumbrel >/dev/null
}
trap remove EXIT

step "apt-get install $deb"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
# Whatever under /usr is newer than this mark was written while the program ran.
mark=$(mktemp)
trap 'rm -f "$mark"; remove' EXIT

step "the installed zumbrel as a new user"
$sudo python3 "$here/installed.py" /usr/bin/zumbrel /usr/share/zumbrel nobody

step "nothing the package installed changed"
$sudo dpkg --verify zumbrel
changed=$(find /usr -xdev -newer "$mark")
if [ -n "$changed" ]; then
  echo "written under /usr while the program ran:" >&2
  echo "$changed" >&2
  exit 1
fi

step "man zumbrel-calc"
page=$(MANPAGER=cat MANWIDTH=80 man zumbrel-calc 2>&1)
echo "$page" | head -n 12
grep -q "zumbrel-calc - " <<<"$page" || { echo "man zumbrel-calc shows no page" >&2; exit 1; }

remove
if [ -e /usr/bin/zumbrel ] || [ -e /usr/share/zumbrel ]; then
  echo "the package left files behind after its removal" >&2
  exit 1
fi
echo "== package: all checks passed"
