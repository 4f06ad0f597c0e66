#!/bin/sh
# Builds the Debian package from a Quillwork build directory and checks it:
# its files, and Depends naming the Qt 6 libraries exactly when the workbench
# is in it. Then installs it with dpkg -i, runs quillb /ver and removes it
# again with dpkg -r; that step runs only as root and only when no quillwork
# package is installed already (QUILL_DEB_INSTALL=0 skips it), and otherwise
# the package is unpacked into a temporary directory and run from there.
#
#   deb_package.sh <quillwork-build-dir>
set -eu
LC_ALL=C
export LC_ALL

[ $# -eq 1 ] || { echo "usage: $0 <build-dir>" >&2; exit 2; }
build_dir=$(cd "$1" && pwd)
tmp=$(mktemp -d)
installed=""
cleanup() {
  if [ -n "$installed" ]; then dpkg -r quillwork >/dev/null 2>&1 || echo "FAIL: dpkg -r quillwork"; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

(cd "$build_dir" && cpack -G DEB -B "$tmp/out" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log"; exit 1; }
deb=$(ls "$tmp"/out/quillwork_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { cat "$tmp/cpack.log"; echo "FAIL: no package made"; exit 1; }
echo "package: $(basename "$deb")"

dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$tmp/contents"
for file in /usr/bin/quillb /usr/share/man/man1/quillb.1 /usr/share/bash-completion/completions/quillb \
            /usr/share/cmake/Quillwork/QuillworkConfig.cmake \
            /usr/share/cmake/Quillwork/QuillworkConfigVersion.cmake \
            /usr/share/cmake/Quillwork/QuillworkGenerate.cmake; do
  grep -qx "$file" "$tmp/contents" || fail "not in the package: $file"
done
if [ -f "$(dirname "$0")/../../templates/CPP_STD.TEM" ]; then
  grep -qx /usr/share/quillwork/CPP_STD.TEM "$tmp/contents" || fail "not in the package: CPP_STD.TEM"
fi

depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
# A statically linked quillb needs no library; anything linked against the
# shared C library must say so.
mkdir "$tmp/files"
dpkg-deb -x "$deb" "$tmp/files"
dynamic=""
for exe in "$tmp"/files/usr/bin/*; do
  readelf -d "$exe" 2>/dev/null | grep -q NEEDED && dynamic="$dynamic $(basename "$exe")"
done
if [ -n "$dynamic" ]; then
  case $depends in *libc6*) ;; *) fail "Depends does not name libc6 (dynamically linked:$dynamic)" ;; esac
fi
if grep -qx /usr/bin/quill "$tmp/contents"; then
  case $depends in *libqt6widgets6*) ;; *) fail "the workbench is packaged but Depends lacks Qt 6 Widgets" ;; esac
  grep -qx /usr/share/man/man1/quill.1 "$tmp/contents" || fail "not in the package: quill.1"
else
  case $depends in *qt6*) fail "Depends names Qt 6 without the workbench" ;; esac
fi

# Runs quillb /ver and expects the version line.
check_version() {
  version=$("$1" /ver 2>&1) || fail "$1 /ver failed"
  case $version in *"QUILLB 1.0.001"*) ;; *) fail "$1 /ver printed '$version'" ;; esac
}

if [ "$(id -u)" -eq 0 ] && [ "${QUILL_DEB_INSTALL:-1}" != 0 ] && ! dpkg-query -W quillwork >/dev/null 2>&1; then
  installed=yes
  if dpkg -i "$deb" >"$tmp/dpkg.log" 2>&1; then
    check_version /usr/bin/quillb
    man -w quillb >/dev/null 2>&1 || [ ! -x /usr/bin/man ] || fail "man does not find quillb(1)"
  else
    cat "$tmp/dpkg.log"
    fail "dpkg -i"
  fi
  dpkg -r quillwork >"$tmp/dpkg.log" 2>&1 || { cat "$tmp/dpkg.log"; fail "dpkg -r"; }
  installed=""
  [ ! -e /usr/bin/quillb ] || fail "/usr/bin/quillb is left after dpkg -r"
else
  echo "not installing (needs root and no quillwork package installed): unpacking instead"
  dpkg-deb -x "$deb" "$tmp/root"
  check_version "$tmp/root/usr/bin/quillb"
fi

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
echo "Debian package: all passed"
