# Sourced by the end-to-end stages (scripts/test-windows, scripts/test-install): timed steps, the
# failure exit, the program built alone, windows on the X server, held keys, and the Wine prefix
# with the program's settings. Set LIMNORA_STAGE to the stage's name first; it prefixes every line.

# ---- Timing and failure -------------------------------------------------------------------------
step_start=0
Step() {
  step_start=$(date +%s.%N)
  echo "-- $LIMNORA_STAGE: $1"
}
StepDone() {
  awk -v stage="$LIMNORA_STAGE" -v name="$1" -v from="$step_start" -v to="$(date +%s.%N)" \
    'BEGIN { printf "-- %s: %s done in %.1f s\n", stage, name, to - from }'
}
Fail() {
  echo "$LIMNORA_STAGE: FAIL: $*" >&2
  exit 1
}

# ---- The program alone ---------------------------------------------------------------------------
# Configures a fresh build folder $1 (further arguments go to cmake), builds the `limnora` target
# and nothing else, and fails unless the program ($2, its file name) lies in bin/ with
# terrain.raw and wind.cg beside it: building the program alone leaves a folder that runs.
ProgramAlone() {
  local folder=$1 program=$2
  shift 2
  rm -rf "$folder"
  cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLIMNORA_TESTS=OFF \
    -DLIMNORA_TOOLS=OFF "$@" >/dev/null
  cmake --build "$folder" --target limnora >/dev/null
  local file
  for file in "$program" terrain.raw wind.cg; do
    [ -f "$folder/bin/$file" ] || Fail "building only limnora left no $file in $folder/bin"
  done
  echo "$LIMNORA_STAGE: the limnora target alone: $(cd "$folder/bin" && LC_ALL=C ls | tr '\n' ' ')"
}

# ---- Windows and keys -----------------------------------------------------------------------------
Windows() { xwininfo -root -tree 2>/dev/null; }
WindowId() { Windows | grep -F "\"$1\":" | awk '{print $1}' | head -n1; }
# Waits up to $2 seconds for the shell condition $1; 1 when it never held.
WaitFor() {
  local deadline=$(($(date +%s) + $2))
  until eval "$1"; do
    if [ "$(date +%s)" -ge "$deadline" ]; then return 1; fi
    sleep 0.2
  done
}
# A key tapped, as a hand would: the program keeps a press and release that come between two
# frames for the next one.
TapKey() {
  xdotool windowfocus "$1" 2>/dev/null || true
  sleep 0.2
  xdotool key "$2"
}
# A key held for 0.3 s, longer than a frame: under Wine, where X input reaches the program in
# batches during its first hundred or so frames.
HoldKey() {
  xdotool windowfocus "$1" 2>/dev/null || true
  sleep 0.2
  xdotool keydown "$2"
  sleep 0.3
  xdotool keyup "$2"
}

# Presses Escape once in the window "Limnora" with the function $3 (TapKey or HoldKey); fails
# unless the process $1, a child of this shell, then ends with exit code 0. $2 names the program
# in the message. One press must do: a second try would hide a lost one.
QuitWithEscape() {
  local code
  "$3" "$(WindowId Limnora)" Escape
  WaitFor "! kill -0 $1 2>/dev/null" 20 || Fail "one press of Escape did not end $2"
  set +e
  wait "$1"
  code=$?
  set -e
  [ "$code" = 0 ] || Fail "$2 ended with exit code $code after Escape"
}

# ---- Wine ----------------------------------------------------------------------------------------
# Points Wine at the prefix $1 (made by WinePrefixMake when it does not exist yet).
WineUse() {
  export WINEPREFIX="$1"
  export WINEDEBUG=-all
  # No Mono or Gecko installers: they would ask in a dialog that nobody answers.
  export WINEDLLOVERRIDES="mscoree,mshtml="
}
# Makes a fresh prefix at $WINEPREFIX. The virtual desktop gives Wine a window manager of its own
# (without one every window close waits 2 s) and lets the 800x600 fullscreen mode be set; Wine
# maps fonts itself, so the HUD's "Comic Sans MS" is pointed at Comic Neue here rather than
# through fontconfig; crashes end the process instead of waiting in a dialog.
WinePrefixMake() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  if [ -d "$WINEPREFIX" ]; then wineserver -k 2>/dev/null || true; fi
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  local reg="$WINEPREFIX/limnora-wine.reg"
  cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Comic Sans MS"="Comic Neue"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
  wine regedit /S "$(winepath -w "$reg")"
  wineserver -w
  grep -q '"Default"="1024x768"' "$WINEPREFIX/user.reg" ||
    Fail "the virtual desktop is not in the registry"
  grep -q '"Comic Sans MS"="Comic Neue"' "$WINEPREFIX/user.reg" ||
    Fail "the font replacement is not in the registry"
}

# ---- limnora.exe under Wine ----------------------------------------------------------------------
# Frames are counted from Wine's wgl trace in $wine_log (one glxdrv_wglSwapBuffers line per
# SwapBuffers, one glxdrv_wglCreateContext line per window).
wine_pid=""
wine_log=""
Swaps() { grep -c 'glxdrv_wglSwapBuffers' "$wine_log" || true; }
Contexts() { grep -c 'glxdrv_wglCreateContext' "$wine_log" || true; }
# Starts limnora.exe in folder $1 with its trace in $2, answers the start-up question with No and
# waits for the window and 150 frames. While WM_PAINT never stops, Wine reads X input only every
# hundred or so messages until a thread has handled that many, so keys wait for those frames.
WineLimnoraStart() {
  wine_log="$2"
  (cd "$1" && WINEDEBUG=-all,trace+wgl exec wine limnora.exe >"$wine_log" 2>&1) &
  wine_pid=$!
  WaitFor '[ -n "$(WindowId "Vollbildschirm?")" ]' 30 || Fail "the start-up question never appeared"
  local box
  box=$(WindowId "Vollbildschirm?")
  xdotool windowfocus "$box"
  sleep 0.2
  xdotool key n  # the box's No button; Escape does nothing in a Yes/No box
  WaitFor '[ -z "$(WindowId "Vollbildschirm?")" ] && [ -n "$(WindowId Limnora)" ]' 20 ||
    Fail "answering No did not open the window"
  WaitFor '[ "$(Swaps)" -ge 150 ]' 90 || Fail "the window drew only $(Swaps) frames"
}
# Under Wine too one tap of Escape ends the program: a tap that comes in one of Wine's batches of
# X input still acts once, in the frame after the batch.
WineLimnoraQuit() {
  QuitWithEscape "$wine_pid" limnora.exe TapKey
  wine_pid=""
}
