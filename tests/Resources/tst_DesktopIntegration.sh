#!/usr/bin/env bash
# What `cmake --install` puts on a system: the program, its desktop entry, AppStream metainfo,
# icons and manual page in the standard places, each passing its own validator, and each
# telling the same story as the program (its options, its version).
#   tst_DesktopIntegration.sh BUILD_DIR
set -euo pipefail
build=$1
id=org.molvane.Molvane
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$root" >/dev/null
program=$root/bin/molvane
desktop=$root/share/applications/$id.desktop
metainfo=$root/share/metainfo/$id.metainfo.xml
manual=$root/share/man/man1/molvane.1
service=$root/share/dbus-1/services/$id.service

check_layout() {
  local file
  for file in "$program" "$desktop" "$metainfo" "$manual" "$service" "$root/libexec/molvane/libmolvane-sound.so" \
    "$root/libexec/molvane/libmolvane-contacts.so" \
    "$root/share/icons/hicolor/scalable/apps/$id.svg"; do
    [[ -f $file ]] || fail "not installed: ${file#"$root"/}"
  done
  [[ -x $program ]] || fail "the program is not executable"
}

# Each PNG must be the size its folder claims, or icon themes scale the wrong one.
check_icon_sizes() {
  local size png actual
  for size in 16 24 32 48 64 128 256 512; do
    png=$root/share/icons/hicolor/${size}x${size}/apps/$id.png
    if [[ ! -f $png ]]; then
      fail "no ${size}x${size} icon"
      continue
    fi
    actual=$(identify -format '%wx%h' "$png")
    [[ $actual == "${size}x${size}" ]] || fail "${size}x${size} icon is $actual"
  done
}

check_validators() {
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
  appstreamcli validate --no-net --explain "$metainfo" >/dev/null || {
    appstreamcli validate --no-net "$metainfo"
    fail "appstreamcli validate"
  }
  # The tree check also ties the metainfo to the installed desktop entry and icons.
  appstreamcli validate-tree --no-net "$root" >/dev/null || {
    appstreamcli validate-tree --no-net "$root"
    fail "appstreamcli validate-tree"
  }
}

check_desktop_entry() {
  grep -qx "Icon=$id" "$desktop" || fail "desktop entry does not name the icon $id"
  grep -qx "Exec=molvane %u" "$desktop" || fail "desktop entry does not start molvane with links"
  grep -qx "MimeType=x-scheme-handler/tel;" "$desktop" || fail "desktop entry does not take tel: links"
  # Launchers that activate over D-Bus ignore Exec: the service file must start the same program.
  grep -qx "DBusActivatable=true" "$desktop" || fail "desktop entry is not D-Bus activatable"
  grep -qx "Name=$id" "$service" || fail "the D-Bus service is not named $id"
  grep -qx "Exec=$program" "$service" || fail "the D-Bus service does not start $program"
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not launch $id.desktop"
}

check_manual() {
  local warnings
  warnings=$(LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$manual" 2>&1)
  [[ -z $warnings ]] || fail "groff warns about the manual page: $warnings"
  lexgrog "$manual" >/dev/null || fail "lexgrog finds no NAME section in the manual page"
  local option
  for option in $("$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -qF -- "${option//-/\\-}" "$manual" || fail "the manual page does not describe $option"
  done
}

# A release missing from the metainfo is one software centres never show.
check_release_notes() {
  local version
  version=$("$program" --version | awk '{print $2}')
  grep -q "<release version=\"$version\"" "$metainfo" || fail "no release notes for $version"
  grep -qF "Molvane $version" "$manual" || fail "the manual page is not for version $version"
}

check_layout
check_icon_sizes
check_validators
check_desktop_entry
check_manual
check_release_notes
((failures == 0)) && echo "PASS: desktop integration" || exit 1
