#!/usr/bin/env bash
# The program on a headless Wayland compositor, as on a phone: once its window is up, none of
# the GL stack that nothing draws with is mapped (Mesa's EGL vendor library, its driver, LLVM,
# Qt's EGL buffer integration). Debian's Qt GUI library itself links the small GL dispatch
# libraries, so those are allowed. Nor is the address book's stack (the contacts module,
# evolution-data-server's and the vCard libraries): it comes the first time contacts are opened.
#   tst_SharedMemoryRendering.sh BUILD_DIR
set -euo pipefail
program=$1/molvane
home=$(mktemp -d)
compositor=
app=
cleanup() {
  kill $app $compositor 2>/dev/null || true
  wait $app $compositor 2>/dev/null || true
  rm -rf "$home"
}
trap cleanup EXIT
mkdir -m 700 "$home/run"
export XDG_RUNTIME_DIR=$home/run XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data

weston --backend=headless-backend.so --shell=kiosk-shell.so --no-config --socket=wayland-gl \
  --idle-time=0 >"$home/weston.log" 2>&1 &
compositor=$!
for _ in $(seq 100); do [[ -S $home/run/wayland-gl ]] && break; sleep 0.1; done
[[ -S $home/run/wayland-gl ]] || { cat "$home/weston.log"; echo "FAIL: weston did not start"; exit 1; }

# The first buffer committed to a surface is the window on screen.
WAYLAND_DISPLAY=wayland-gl QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client "$program" \
  >"$home/app.log" 2>&1 &
app=$!
for _ in $(seq 300); do
  grep -q 'wl_surface@[0-9]*\.attach(wl_buffer@' "$home/app.log" && break
  kill -0 $app 2>/dev/null || break
  sleep 0.1
done
grep -q 'wl_surface@[0-9]*\.attach(wl_buffer@' "$home/app.log" ||
  { grep -v '^\[' "$home/app.log" | tail -20; echo "FAIL: no window within 30 s"; exit 1; }

# Fails when a library matching the pattern is mapped.
refuse_mapped() {
  local found
  found=$(grep -o '/[^ ]*\.so[^ ]*' "/proc/$app/maps" | sort -u | grep -E "$1" || true)
  [[ -z $found ]] || { echo "FAIL: $2:"; echo "$found"; exit 1; }
}
refuse_mapped 'libLLVM|libEGL_mesa|/dri/|libgallium|libqt-plugin-wayland-egl|WaylandEglClientHwIntegration' \
  "mapped although nothing draws with GL"
refuse_mapped 'libebook|libedataserver|libcamel|molvane-contacts' \
  "the address book's libraries are mapped at start"
grep -v '^\[' "$home/app.log" | grep -i 'client buffer integration' &&
  { echo "FAIL: the left-out integration is reported as a failure"; exit 1; }
echo "PASS: neither the GL stack nor the address book's libraries mapped"
