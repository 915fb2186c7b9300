#!/usr/bin/env bash
# Renders the hand-drawn SVG images into the PNGs that are committed beside them:
# the application icon in the usual hicolor sizes, the option arrow and the About
# box's four animation frames. Run it after changing an SVG.
set -euo pipefail
cd "$(dirname "$0")/.."

render() {  # svg, size (largest side), png
  if command -v rsvg-convert >/dev/null; then
    rsvg-convert --keep-aspect-ratio -w "$2" -h "$2" -o "$3" "$1"
  else
    gdk-pixbuf-thumbnailer -s "$2" "$1" "$3"
  fi
}

icon=data/icons/org.scrivlane.Scrivlane.svg
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "data/icons/hicolor/${size}x${size}"
  render "$icon" "$size" "data/icons/hicolor/${size}x${size}/org.scrivlane.Scrivlane.png"
done
render src/ui/images/arrow.svg 12 src/ui/images/arrow.png
render src/ui/images/arrow.svg 24 src/ui/images/arrow@2x.png
for i in 0 1 2 3; do
  render "src/ui/images/about$i.svg" 64 "src/ui/images/about$i.png"
  render "src/ui/images/about$i.svg" 128 "src/ui/images/about$i@2x.png"
done
echo "rendered"
