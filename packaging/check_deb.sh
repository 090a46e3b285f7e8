#!/usr/bin/env bash
# Builds the Debian package in a Release build, installs it on this machine,
# runs a program from the package in a scratch folder, finds its manual
# page, removes the package again and checks that nothing stays behind.
#   packaging/check_deb.sh <build folder>
# Needs root (dpkg -i), CMake, a C++ compiler and dpkg-dev (dpkg-shlibdeps
# finds the library dependencies); installs dpkg-dev, man-db and
# libxml2-utils with apt-get when they are missing.
set -euo pipefail
[ $# = 1 ] || { echo "usage: $0 <build folder>" >&2; exit 2; }
source=$(cd "$(dirname "$0")/.." && pwd)
build=$(mkdir -p "$1" && cd "$1" && pwd)
[ "$(id -u)" = 0 ] || { echo "$0: dpkg -i needs root" >&2; exit 2; }

need=()
command -v dpkg-shlibdeps >/dev/null || need+=(dpkg-dev)
command -v man >/dev/null || need+=(man-db)
command -v xmllint >/dev/null || need+=(libxml2-utils)
if [ ${#need[@]} -gt 0 ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
fi

step() { echo "== $*"; }
fail() { echo "FAILED: $*" >&2; exit 1; }

# Quiet steps: their output shows only when they fail.
quietly() {
    "$@" >"$build/check_deb.log" 2>&1 || { cat "$build/check_deb.log" >&2; fail "$*"; }
}

step "Release build in $build"
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
quietly cmake -S "$source" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
quietly cmake --build "$build" --parallel 2

step "cpack -G DEB"
rm -f "$build"/surveykit_*.deb
quietly cpack -G DEB --config "$build/CPackConfig.cmake" -B "$build"
package=$(ls "$build"/surveykit_*.deb)
dpkg-deb --info "$package" | sed -n 's/^ \(Package\|Version\|Architecture\|Depends\|Maintainer\|Section\):/  &/p'

# The programs, as the build lists them.
read -ra programs <"$build/programs.txt"
files=()
for name in "${programs[@]}"; do
    files+=("/usr/bin/$name" "/usr/share/man/man1/$name.1.gz")
done
files+=(/usr/share/man/man7/surveykit.7.gz /usr/share/doc/surveykit/examples/REC_COM.txt
        /usr/share/doc/surveykit/examples/NMEA_Wsp.txt)

step "contents"
listing=$(dpkg-deb --contents "$package")
for file in "${files[@]}"; do
    grep -q " \.$file\$" <<<"$listing" || fail "the package lacks $file"
done

if dpkg -s surveykit >/dev/null 2>&1; then
    fail "surveykit is installed already; remove it first (dpkg -r surveykit)"
fi
scratch=$(mktemp -d)
installed=false
cleanup() {
    $installed && dpkg -P surveykit >/dev/null 2>&1
    rm -rf "$scratch"
}
trap cleanup EXIT

step "dpkg -i"
# Slim images exclude manual pages and documentation from every package;
# this check is about ours, so they come in whatever the image says.
dpkg --path-include='/usr/share/man/*' --path-include='/usr/share/doc/surveykit/*' -i "$package" >/dev/null
installed=true
for file in "${files[@]}"; do
    [ -e "$file" ] || fail "$file is not installed"
done

step "nmeadecode from the package, on the example recording, through piped keys"
cp /usr/share/doc/surveykit/examples/REC_COM.txt "$scratch/"
(cd "$scratch" && printf '0\n\n' | PATH=/usr/bin:/bin nmeadecode >screen.txt) || fail "nmeadecode ended with $?"
grep -q "(D)GPS NMEA-0183 DATA Decoder" "$scratch/screen.txt" || fail "no dashboard in the final screen"
xmllint --noout "$scratch/GPS_CORE.kml" || fail "GPS_CORE.kml is not well-formed"
fixes=$(grep -c '^ [ 0-9][0-9] ' "$scratch/GPS_CORE.txt" || true)
[ "$fixes" -gt 0 ] || fail "GPS_CORE.txt holds no fix"
echo "  $fixes fixes logged, GPS_CORE.kml well-formed"
[ "$(nmeadecode --version)" = "nmeadecode (surveykit) $(dpkg-query -W -f '${Version}' surveykit)" ] ||
    fail "nmeadecode --version does not give the package's version"

step "man -w"
for name in "${programs[@]}"; do
    page=$(man -w "$name") || fail "man -w $name finds no page"
    [ "$page" = "/usr/share/man/man1/$name.1.gz" ] || fail "man -w $name gives $page"
done
man -w 7 surveykit >/dev/null || fail "man -w 7 surveykit finds no page"
LC_ALL=C.UTF-8 MANWIDTH=80 man nmeadecode 2>&1 >/dev/null | grep . && fail "man nmeadecode warns"

step "dpkg -r"
dpkg -r surveykit >/dev/null
installed=false
for file in "${files[@]}"; do
    [ ! -e "$file" ] || fail "$file stays after dpkg -r"
done
[ ! -e /usr/share/doc/surveykit ] || fail "/usr/share/doc/surveykit stays after dpkg -r"
echo "package check passed: $(basename "$package")"
