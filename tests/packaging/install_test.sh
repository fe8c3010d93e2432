#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR and checks what a desktop needs;
# then builds the .deb and checks its dependencies.
#   install_test.sh BUILD_DIR
set -u
build=$1
fail() { echo "FAILED: $*"; exit 1; }
work=$(mktemp -d /tmp/quarn2dif-install-XXXXXX)
trap 'rm -rf "$work"' EXIT

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
  fail "cmake --install: $(cat "$work/install.log")"
root="$work/root/usr"
for f in bin/quarn2dif bin/quarn2dif-batch share/applications/quarn2dif.desktop \
         share/icons/hicolor/scalable/apps/quarn2dif.svg; do
  [ -e "$root/$f" ] || fail "missing $f"
done
for size in 16 32 48 64 128 256; do
  png="$root/share/icons/hicolor/${size}x${size}/apps/quarn2dif.png"
  [ -e "$png" ] || fail "missing the ${size}x${size} icon"
  identify -format '%wx%h' "$png" | grep -qx "${size}x${size}" || fail "the ${size}x${size} icon has another size"
done
[ -x "$root/bin/quarn2dif" ] || fail "bin/quarn2dif is not executable"
desktop-file-validate "$root/share/applications/quarn2dif.desktop" || fail "the desktop entry does not validate"
grep -qx 'Exec=quarn2dif' "$root/share/applications/quarn2dif.desktop" || fail "Exec is not quarn2dif"

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1) ||
  fail "cpack: $(cat "$work/cpack.log")"
deb=$(ls "$work"/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no .deb was built"
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libqt6gui6 libqt6core6; do
  case "$depends" in *"$p"*) ;; *) fail "the .deb does not depend on $p: $depends" ;; esac
done
dpkg-deb -c "$deb" | grep -q './usr/bin/quarn2dif$' || fail "the .deb lacks /usr/bin/quarn2dif"
dpkg-deb -c "$deb" | grep -q './usr/share/applications/quarn2dif.desktop$' || fail "the .deb lacks the desktop entry"
echo "install and package: as expected"
