#!/usr/bin/env bash
# Takes doc/screenshot-main.png (the main window on a small sample folder, the
# pointer resting on an option box to show its hint) and
# doc/screenshot-viewer.png (the viewer after a Find of "cat" in it) and
# doc/screenshot-preview.png (the preview window of "cat" replaced by "dog"), on
# a virtual display with its own home, so no real settings are read or written.
set -euo pipefail
cd "$(dirname "$0")/.."
exe="${SCRIVLANE_EXE:-./build/src/app/scrivlane}"
out="${1:-doc/screenshot-main.png}"
viewer_out="${2:-doc/screenshot-viewer.png}"
preview_out="${3:-doc/screenshot-preview.png}"
[ -x "$exe" ] || { echo "build first: $exe is missing" >&2; exit 1; }

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/home" "$tmp/config/Scrivlane" "$tmp/data" "$tmp/cache" "$tmp/runtime" "$tmp/sample/notes"
chmod 700 "$tmp/runtime"
printf 'Our pets:\r\nThe cat sat on the mat.\r\nShe purrs when the cat flap opens.\r\nThen she sleeps.\r\n' > "$tmp/sample/pets.txt"
printf 'Shopping: milk, bread, cat food.\r\n' > "$tmp/sample/shopping.txt"
printf 'Nothing to see here.\r\n' > "$tmp/sample/readme.txt"
printf '<html><body>cat</body></html>\r\n' > "$tmp/sample/index.htm"
printf '[main]\r\nkey=value\r\n' > "$tmp/sample/settings.ini"
printf 'More about the cat.\r\n' > "$tmp/sample/notes/more.txt"
cat > "$tmp/config/Scrivlane/Scrivlane.ini" <<INI
[LastDir]
Dir=$tmp/sample

[Find]
Normal\\Char0=cat
Normal\\Char1=mat

[Replace]
Normal\\ReplaceChar0=dog

[File%20Filters]
Filter0=*.txt
Filter1=*.htm
Filter2=*.txt;*.htm
Filter3=*.*

[Options]
Backup=1
INI

export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" \
       XDG_CACHE_HOME="$tmp/cache" XDG_RUNTIME_DIR="$tmp/runtime" SCRIVLANE_EXE="$exe" OUT="$out" VIEWER_OUT="$viewer_out" \
       PREVIEW_OUT="$preview_out"
unset QT_QPA_PLATFORM
# The shots are read from the display's own frame buffer, which Xvfb keeps in a
# file: "xwd -root" rebuilds the screen window by window instead, and paints a
# window black where it overlaps another window of the program (they share a
# colour map of their own).
mkdir -p "$tmp/fb"
export FRAME="$tmp/fb/Xvfb_screen0"
display=(-a)
[ -n "${XVFB_DISPLAY:-}" ] && display=(-n "$XVFB_DISPLAY")

xvfb-run "${display[@]}" -s "-screen 0 1280x900x24 -fbdir $tmp/fb" bash -c '
  set -euo pipefail
  "$SCRIVLANE_EXE" & pid=$!
  for _ in $(seq 600); do  # a minute: the machine may be busy
    xwininfo -root -tree 2>/dev/null | grep -q "\" Scrivlane\"" && break
    sleep 0.1
  done
  sleep 1.5  # let the first paint finish
  if command -v xdotool >/dev/null; then
    # Rest the pointer on "Create Backup" so the shot shows its arrow, frame and
    # status-bar hint (the box sits at this offset in the default layout on Xvfb).
    read -r wx wy <<< "$(xwininfo -name " Scrivlane" | awk "/Absolute upper-left X/{x=\$NF} /Absolute upper-left Y/{y=\$NF} END{print x, y}")"
    xdotool mousemove $((wx + 520)) $((wy + 175))
    sleep 0.2
    xdotool mousemove $((wx + 530)) $((wy + 184))
    sleep 0.8
  fi
  shoot() {  # window name, output file
    geometry=$(xwininfo -name "$1" | awk "/Absolute upper-left X/{x=\$NF} /Absolute upper-left Y/{y=\$NF} /Width:/{w=\$NF} /Height:/{h=\$NF} END{print x, y, w, h}")
    read -r x y w h <<< "$geometry"
    xwdtopnm < "$FRAME" 2>/dev/null | pnmcut "$x" "$y" "$w" "$h" | pnmtopng > "$2"
  }
  shoot " Scrivlane" "$OUT"
  if command -v xdotool >/dev/null; then
    # Select every file and run Find from the keyboard; the viewer opens on the first file found.
    win=$(xdotool search --name "^ Scrivlane$" | head -n1)
    xdotool windowfocus --sync "$win" 2>/dev/null || true
    # Ctrl+A selects every file only while the file list has the focus.
    xdotool mousemove $((wx + 500)) $((wy + 330)) click 1
    sleep 0.3
    xdotool key --clearmodifiers ctrl+a
    sleep 0.5
    xdotool key --clearmodifiers ctrl+f
    xdotool mousemove 1279 899  # the frame buffer holds the pointer too
    for _ in $(seq 100); do
      xwininfo -root -tree 2>/dev/null | grep -q "Viewing document" && break
      sleep 0.1
    done
    sleep 1.5
    name=$(xwininfo -root -tree | grep -o "\"Viewing document: [^\"]*\"" | head -n1 | tr -d "\"") || true
    if [ -n "$name" ]; then
      # Taken again until it shows more than one colour (the machine may be busy).
      for _ in $(seq 60); do
        shoot "$name" "$VIEWER_OUT"
        [ "$(pngtopnm "$VIEWER_OUT" | ppmhist -noheader | wc -l)" -gt 1 ] && break
        sleep 0.5
      done
    fi
    # Back in the main window, Ctrl+P previews "cat" replaced by "dog" in the same files.
    xdotool windowfocus --sync "$win" 2>/dev/null || true
    xdotool mousemove $((wx + 500)) $((wy + 330))
    sleep 0.3
    xdotool key --clearmodifiers ctrl+p
    xdotool mousemove 1279 899
    for _ in $(seq 100); do
      xwininfo -root -tree 2>/dev/null | grep -q "\" Preview\"" && break
      sleep 0.1
    done
    sleep 1.5
    for _ in $(seq 60); do
      shoot " Preview" "$PREVIEW_OUT"
      [ "$(pngtopnm "$PREVIEW_OUT" | ppmhist -noheader | wc -l)" -gt 1 ] && break
      sleep 0.5
    done
  fi
  kill "$pid"
  wait "$pid" 2>/dev/null || true
'
echo "wrote $out $viewer_out $preview_out"
