#!/usr/bin/env bash
# Checks the Debian package veltra_VERSION_*.deb in DIR: its control fields,
# its file list and modes, the menu entry's path to the program, the
# software-centre release, and lintian's verdict where lintian is installed.
# Prints every fault it finds and exits 1 if there was one.
set -euo pipefail
dir="$1" version="$2"

shopt -s nullglob
debs=("$dir"/veltra_"$version"_*.deb)
if [ "${#debs[@]}" -ne 1 ]; then
  echo "expected one veltra_${version}_*.deb in $dir, found ${#debs[@]}" >&2
  exit 1
fi
deb="${debs[0]}"
status=0
fault() { echo "FAULT: $*" >&2; status=1; }

field() { dpkg-deb -f "$deb" "$1"; }
expect_field() {
  local got
  got="$(field "$1")"
  [ "$got" = "$2" ] || fault "$1 is '$got', expected '$2'"
}
expect_field Package veltra
expect_field Version "$version"
expect_field Architecture "$(dpkg --print-architecture)"
expect_field Section education
expect_field Priority optional
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fault "Maintainer '$(field Maintainer)' is not 'Name <address>'"
description="$(field Description)"
[ "$(wc -l <<<"$description")" -ge 4 ] || fault "Description has no long description"

# Depends: the libraries the binaries link (found by dpkg-shlibdeps, so
# listed by package), the Qt SQL driver and the fonts, and no -dev package.
depends="$(field Depends)"
for needed in libc6 libqt6widgets6 libqt6sql6 libqt6sql6-sqlite libsdl2-2.0-0 libmpg123-0 libsndfile1 \
    libmp3lame0 'fonts-noto-cjk | fonts-wqy-zenhei'; do
  grep -qE "(^|, )${needed//|/\\|}( \(|,|$)" <<<"$depends" || fault "Depends lacks $needed: $depends"
done
grep -qE -- '-dev( |,|$)' <<<"$depends" && fault "Depends names a -dev package: $depends"
grep -q espeak-ng <<<"$(field Recommends)" || fault "Recommends lacks espeak-ng"

# The files: exactly these under /usr, owned by root, with Debian's modes.
listing="$(dpkg-deb -c "$deb")"
files="$(awk '$1 !~ /^d/ {print $6}' <<<"$listing" | sort)"
expected="$(sort <<EOF
./usr/bin/veltra
./usr/bin/veltra-course
./usr/share/applications/io.github.veltra.Veltra.desktop
./usr/share/doc/veltra/changelog.gz
./usr/share/doc/veltra/copyright
./usr/share/icons/hicolor/128x128/apps/io.github.veltra.Veltra.png
./usr/share/icons/hicolor/16x16/apps/io.github.veltra.Veltra.png
./usr/share/icons/hicolor/24x24/apps/io.github.veltra.Veltra.png
./usr/share/icons/hicolor/256x256/apps/io.github.veltra.Veltra.png
./usr/share/icons/hicolor/32x32/apps/io.github.veltra.Veltra.png
./usr/share/icons/hicolor/48x48/apps/io.github.veltra.Veltra.png
./usr/share/icons/hicolor/64x64/apps/io.github.veltra.Veltra.png
./usr/share/icons/hicolor/scalable/apps/io.github.veltra.Veltra.svg
./usr/share/man/man1/veltra-course.1.gz
./usr/share/man/man1/veltra.1.gz
./usr/share/metainfo/io.github.veltra.Veltra.metainfo.xml
./usr/share/veltra/help/index.html
EOF
)"
# The sample course is whatever the course build wrote; its database must be there.
outside_sample="$(grep -v '^\./usr/share/veltra/sample/Data/' <<<"$files" || true)"
[ "$outside_sample" = "$expected" ] || fault "unexpected file list:"$'\n'"$(diff <(echo "$expected") <(echo "$outside_sample") || true)"
grep -qx './usr/share/veltra/sample/Data/qor.db' <<<"$files" || fault "the sample course's qor.db is missing"
awk '$2 != "root/root" {print "FAULT: not owned by root: " $6; bad = 1} END {exit bad}' <<<"$listing" >&2 || status=1
awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" || $1 ~ /^-/ && $6 ~ /^\.\/usr\/bin\// && $1 != "-rwxr-xr-x" ||
     $1 ~ /^-/ && $6 !~ /^\.\/usr\/bin\// && $1 != "-rw-r--r--" {print "FAULT: mode " $1 " on " $6; bad = 1}
     END {exit bad}' <<<"$listing" >&2 || status=1

# The menu starts the installed program by its final path, not the staging one.
unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
exec_line="$(grep '^Exec=' "$unpacked/usr/share/applications/io.github.veltra.Veltra.desktop")"
[ "$exec_line" = "Exec=/usr/bin/veltra" ] || fault "menu entry has '$exec_line'"
grep -q "<release version=\"$version\"" "$unpacked/usr/share/metainfo/io.github.veltra.Veltra.metainfo.xml" \
  || fault "the software-centre entry does not name release $version"
zcat "$unpacked/usr/share/doc/veltra/changelog.gz" | head -n1 | grep -q "^veltra ($version) " \
  || fault "the changelog does not start with version $version"

if command -v lintian >/dev/null; then
  # No errors; the warnings are printed for whoever reads the log.
  lintian --fail-on error --info "$deb" >&2 || fault "lintian reports errors"
fi
exit "$status"
