#!/usr/bin/env bash
# The Debian package as scripts/build-deb makes it from the tree: what it holds, what it
# depends on, that it would install here, and that its program, unpacked, starts on an X
# display and shows its window. It builds the whole program a second time.
#   tst_DebianPackage.sh SOURCE_DIR
set -euo pipefail
id=org.molvane.Molvane
icon_sizes=(16 24 32 48 64 128 256 512)

# A home of its own for one run: empty settings and data, a private runtime folder.
private_home() {
  local home
  home=$(mktemp -d)
  mkdir -m 700 "$home/run"
  echo "$home"
}

# A digest of what the window shows; that of nothing once the window is gone.
window_image() {
  { xwd -id "$1" -silent 2>/dev/null || true; } | md5sum
}

# Runs on the private display xvfb-run gives: starts the program with empty settings and data
# and checks that a real, painted window called Molvane appears and stays.
# home and app stay global: the exit trap needs them.
show_window() {
  local program=$1 window shot colours before after
  home=$(private_home)
  XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/run \
    QT_QPA_PLATFORM=xcb "$program" >"$home/log" 2>&1 &
  app=$!
  trap 'kill $app 2>/dev/null || true; wait $app 2>/dev/null || true; rm -rf "$home"' EXIT
  window=
  for _ in $(seq 120); do
    window=$(xdotool search --onlyvisible --name '^Molvane$' 2>/dev/null | head -n 1 || true)
    [[ -n $window ]] || ! kill -0 $app 2>/dev/null && break
    sleep 0.5
  done
  [[ -n $window ]] || { cat "$home/log"; echo "FAIL: no window called Molvane appeared"; return 1; }
  shot=$home/window.png
  # The first frames may still be blank: give the dial pad a few seconds to paint.
  for _ in $(seq 20); do
    xwd -id "$window" -silent | /usr/bin/convert xwd:- "$shot"
    colours=$(/usr/bin/convert "$shot" -format %k info:)
    ((colours >= 50)) && break
    sleep 0.5
  done
  ((colours >= 50)) || { echo "FAIL: the window is blank ($colours colours)"; return 1; }
  # It stays: a digit typed into the settled window reaches the number field, so the work the
  # program left for its event loop at start is behind it.
  after=$(window_image "$window")
  for _ in $(seq 20); do
    before=$after
    sleep 0.5
    after=$(window_image "$window")
    [[ $after == "$before" ]] && break
  done
  xdotool key --window "$window" 8
  for _ in $(seq 20); do
    after=$(window_image "$window")
    [[ $after != "$before" ]] || ! kill -0 $app 2>/dev/null && break
    sleep 0.5
  done
  kill -0 $app 2>/dev/null || { cat "$home/log"; echo "FAIL: the program ended after showing"; return 1; }
  [[ $after != "$before" ]] || { echo "FAIL: a digit typed into the window changed nothing"; return 1; }
  echo "window $(xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}'), $colours colours"
}

if [[ ${1:-} == --show-window ]]; then
  show_window "$2"
  exit
fi

source=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

deb=$("$source/scripts/build-deb" "$work/out")
root=$work/out/root
field() { dpkg-deb --field "$deb" "$1"; }

# Exactly the installed files: nothing missing, and no tests, benchmarks or static libraries.
check_contents() {
  local expected actual size
  expected=$(
    printf '%s\n' usr/bin/molvane usr/libexec/molvane/molvane-cli usr/libexec/molvane/libmolvane-sound.so \
      usr/libexec/molvane/libmolvane-contacts.so \
      "usr/share/applications/$id.desktop" "usr/share/dbus-1/services/$id.service" \
      "usr/share/metainfo/$id.metainfo.xml" "usr/share/icons/hicolor/scalable/apps/$id.svg" \
      usr/share/man/man1/molvane.1.gz usr/share/doc/molvane/copyright \
      usr/share/doc/molvane/changelog.gz
    for size in "${icon_sizes[@]}"; do
      echo "usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
    done
  )
  actual=$(cd "$root" && find . -type f -printf '%P\n')
  diff <(sort <<<"$expected") <(sort <<<"$actual") || fail "the package holds other files than expected"
  zcat "$root/usr/share/man/man1/molvane.1.gz" | lexgrog - >/dev/null || fail "the manual page has no NAME"
}

# What the linker cannot see: the Wayland platform plugin and a font with Cyrillic letters.
# The rest comes from the linked libraries.
check_depends() {
  local depends package
  depends=$(field Depends)
  for package in qt6-wayland fonts-dejavu-core libqt6widgets6 libqt6dbus6 libqt6multimedia6 \
    libplist3 libsqlite3-0 libebook-1.2-21; do
    grep -qE "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package: $depends"
  done
  # Ringing for a callback answered by hand goes through feedbackd.
  grep -qE "(^|, )feedbackd( |,|$)" <<<"$(field Recommends)" || fail "Recommends lacks feedbackd"
  [[ $(field Package) == molvane ]] || fail "package name $(field Package)"
  [[ $(field Architecture) == "$(dpkg --print-architecture)" ]] || fail "architecture $(field Architecture)"
}

# The package's version, the program's and the release notes' are one.
check_version() {
  local version program_version
  version=$(field Version)
  program_version=$("$root/usr/bin/molvane" --version | awk '{print $2}')
  [[ $version == "$program_version" ]] || fail "package $version, program $program_version"
  grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$id.metainfo.xml" ||
    fail "no release notes for $version in the metainfo"
}

# apt's simulated install must need nothing beyond the package itself, so that running the
# unpacked program here is running it as installed.
check_installs() {
  local others
  grep -q '^Inst molvane ' "$work/out/install.log" || fail "apt would not install molvane"
  others=$(grep '^Inst ' "$work/out/install.log" | grep -v '^Inst molvane ' || true)
  [[ -z $others ]] || fail "dependencies missing on this machine (run scripts/install-deps): $others"
}

check_starts() {
  xvfb-run --auto-servernum --server-args='-screen 0 720x1280x24 -nolisten tcp' \
    "$0" --show-window "$root/usr/bin/molvane" || fail "the packaged program does not start"
}

# On a phone compositor: the Wayland plugin loads, and the window's app id names the desktop
# entry, which is how the shell finds its name and icon. A headless weston stands in.
check_wayland() {
  local home compositor app app_id=
  home=$(private_home)
  XDG_RUNTIME_DIR=$home/run weston --backend=headless-backend.so --shell=kiosk-shell.so \
    --no-config --socket=wayland-test --idle-time=0 >"$home/weston.log" 2>&1 &
  compositor=$!
  for _ in $(seq 100); do
    [[ -S $home/run/wayland-test ]] && break
    sleep 0.1
  done
  XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/run \
    WAYLAND_DISPLAY=wayland-test QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client \
    "$root/usr/bin/molvane" >"$home/log" 2>&1 &
  app=$!
  for _ in $(seq 150); do
    app_id=$(grep -o -m 1 'set_app_id("[^"]*")' "$home/log" | sed 's/.*("\(.*\)")/\1/' || true)
    [[ -n $app_id ]] || ! kill -0 $app 2>/dev/null && break
    sleep 0.2
  done
  [[ $app_id == "$id" ]] || {
    tail -n 20 "$home/log" "$home/weston.log"
    fail "on Wayland the app id is '$app_id', not $id"
  }
  kill $app $compositor 2>/dev/null || true
  wait $app $compositor 2>/dev/null || true
  rm -rf "$home"
}

check_contents
check_depends
check_version
check_installs
check_starts
check_wayland
echo "package $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"
((failures == 0)) && echo "PASS: Debian package" || exit 1
