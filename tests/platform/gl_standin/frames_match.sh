#!/usr/bin/env bash
# The GLES build's frames against Mesa's OpenGL 1.1 frames of the same state: frame 60 of shot and
# shot_gles, compared whole (HUD included) by framediff, in the states of the Windows comparison
# and after turning and zooming. Usage: frames_match.sh BIN_DIR OUT_DIR (needs a display).
set -euo pipefail
bin="$1"
out="$2"
mkdir -p "$out"
cases=(
  "calm-cpu|"
  "windy-vertex-program|--key 2:0x57 --key 3:0x57:up --key 2:0x58 --key 40:0x58:up"
  "wireframe|--key 2:0x72 --key 3:0x72:up"
  "turned-zoomed|--key 2:0x25 --key 30:0x25:up --key 2:0x21 --key 20:0x21:up --key 5:0x26 --key 25:0x26:up"
)
failed=0
cd "$bin"
for entry in "${cases[@]}"; do
  name=${entry%%|*}
  read -r -a keys <<<"${entry#*|}"
  ./shot --frame 60 "${keys[@]}" --out "$out/$name-gl.png" >/dev/null
  ./shot_gles --frame 60 "${keys[@]}" --out "$out/$name-gles.png" >/dev/null
  echo -n "$name: "
  ./framediff "$out/$name-gl.png" "$out/$name-gles.png" --whole --min-agree 98 || failed=1
done
exit "$failed"
