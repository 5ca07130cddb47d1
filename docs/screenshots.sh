#!/usr/bin/env bash
# Refreshes the user guide's pictures of the bench window, in English and in Chinese:
# docs/screenshots.sh  (builds first; needs Xvfb, ImageMagick and a CJK font, installed if missing)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
ensure_packages "${BUILD_PACKAGES[@]}" xvfb x11-utils xdotool imagemagick fonts-wqy-microhei
configure_and_build build

work=$(mktemp -d)
trap 'kill "${xvfb_pid:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
# A copy of the program keeps its settings beside itself, away from the user's own.
cp build/bench/tavrin "$work/tavrin"
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1024x700x24 >/dev/null 2>&1 &
xvfb_pid=$!
sleep 1

shoot() { # language code, picture name
  cat > "$work/tavrin.cfg" <<CFG
[Options]
Language=$1
sProtocol=1
ReceiveShowHex=0
sCompanyName=AT+VERSION
sHomePageUrl=Hello from tavrin
sProjectTitle_E=tavrin
sProjectTitle_C=tavrin
CFG
  DISPLAY=$display "$work/tavrin" &
  local pid=$!
  # The window's size and place, from the largest window the program shows.
  local geometry=""
  for _ in $(seq 50); do
    geometry=$(DISPLAY=$display xwininfo -root -tree 2>/dev/null |
      awk '/"tavrin"/ {for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+/) print $i}' |
      sort -t x -k1,1nr | head -n 1)
    [ -n "$geometry" ] && break
    sleep 0.2
  done
  # Keep the pointer off the window so that the status lines show no hint.
  DISPLAY=$display xdotool mousemove 1020 690
  sleep 1
  DISPLAY=$display import -window root -crop "${geometry%%+*}+0+0" +repage "docs/$2"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo "docs/$2"
}

shoot 0 tavrin-english.png
shoot 1 tavrin-chinese.png
