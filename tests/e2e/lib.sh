# Shared by the end-to-end scenarios: a virtual X session with a window
# manager, the staged program started in a fresh program folder with a fresh
# home, real input events, and judges that look at the screen and the disk.
#
# A scenario script is called as
#   <scenario> <staged program folder> <artifacts folder> <e2e_render_text>
# sources this file, calls e2e_begin "$@", and then drives the program.
# Every wait polls for something that can be seen, with a generous limit.

set -euo pipefail

E2E_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_NAME=$(basename "$0")

e2e_fail() {
  echo "$E2E_NAME: FAIL: $*" >&2
  if [[ -n "${WORK:-}" && -d "$WORK" ]]; then
    [[ -f "$WORK/screen.ppm" ]] && convert "$WORK/screen.ppm" "$ARTIFACTS/$E2E_NAME-failure.png" 2>/dev/null &&
      echo "$E2E_NAME: last screenshot: $ARTIFACTS/$E2E_NAME-failure.png" >&2
    [[ -f "$WORK/lexbay.log" ]] && { echo "--- program output" >&2; tail -n 30 "$WORK/lexbay.log" >&2; }
    [[ -s "$WORK/openbox.log" ]] && { echo "--- window manager output" >&2; tail -n 10 "$WORK/openbox.log" >&2; }
    if [[ -n "${DISPLAY:-}" ]]; then
      echo "--- windows shown" >&2
      local w
      for w in $(xdotool search --onlyvisible --name '.' 2> /dev/null); do xdotool getwindowname "$w" 2> /dev/null; done >&2
    fi
  fi
  exit 1
}

e2e_note() { echo "$E2E_NAME: $*"; }

# Ends what this scenario started, by process id, and removes its folders.
e2e_cleanup() {
  local pid
  for pid in ${LEX_PID:-} ${WM_PID:-} ${XVFB_PID:-}; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in ${LEX_PID:-} ${WM_PID:-} ${XVFB_PID:-}; do
    wait "$pid" 2>/dev/null || true
  done
  [[ -n "${WORK:-}" ]] && rm -rf "$WORK"
}

e2e_begin() {
  APP_SRC=$1
  ARTIFACTS=$2
  RENDER=$3
  [[ -x "$APP_SRC/Lexbay" ]] || e2e_fail "no staged program at $APP_SRC"
  mkdir -p "$ARTIFACTS"
  WORK=$(mktemp -d /tmp/lexbay-e2e.XXXXXX)
  trap e2e_cleanup EXIT
  # A program folder with a Chinese name in its path, as learners have them.
  APP="$WORK/课程/app"
  mkdir -p "$(dirname "$APP")"
  cp -r "$APP_SRC" "$APP"
  export HOME="$WORK/home"
  mkdir -p "$HOME"
  SETTINGS="$HOME/.config/MyTrellis.ini"
  unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_RUNTIME_DIR
  e2e_start_x
}

# Starts the X server and the window manager; E2E_SCREEN sets the screen's
# size (1280x900 unless told).
e2e_start_x() {
  # An X server of our own on a free display number, told to us on fd 3.
  Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1280x900}x24" -nolisten tcp 3> "$WORK/display" > "$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  local n
  for n in $(seq 1 150); do
    [[ -s "$WORK/display" ]] && break
    sleep 0.2
  done
  [[ -s "$WORK/display" ]] || e2e_fail "the X server did not start"
  export DISPLAY=":$(tr -d '[:space:]' < "$WORK/display")"
  openbox > "$WORK/openbox.log" 2>&1 &
  WM_PID=$!
  # A window mapped before the window manager runs may stay unmanaged, and
  # Alt+F4 then reaches nobody: wait until openbox has taken the screen.
  poll 60 "the window manager" window_manager_running
  local screen=${E2E_SCREEN:-1280x900}
  SCREEN_W=${screen%x*}
  SCREEN_H=${screen#*x}
}

window_manager_running() {
  # On a busy machine openbox may give up before it has the screen; start it
  # again rather than wait for a manager that is gone.
  if ! kill -0 "$WM_PID" 2>/dev/null; then
    openbox >> "$WORK/openbox.log" 2>&1 &
    WM_PID=$!
  fi
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# poll <seconds> <what> <command...>: runs the command until it succeeds.
poll() {
  local limit=$1 what=$2
  shift 2
  local end=$((SECONDS + limit))
  while ! "$@"; do
    ((SECONDS < end)) || e2e_fail "waited ${limit}s for: $what"
    sleep 0.3
  done
}

# The visible top-level windows titled Lexbay, one id a line.
lexbay_windows() { xdotool search --onlyvisible --name '^Lexbay$' 2>/dev/null || true; }

# x y width height of a window's client area on the screen.
window_rect() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                           /^  Width:/ {w=$NF} /^  Height:/ {h=$NF} END {print x, y, w, h}'
}

main_window_shown() {
  local w
  for w in $(lexbay_windows); do
    read -r WIN_X WIN_Y WIN_W WIN_H < <(window_rect "$w")
    if ((WIN_W > 400)); then
      MAIN=$w
      return 0
    fi
  done
  return 1
}

# A window titled Lexbay other than the main window (a message box or the
# MP3 dialog).
other_window_shown() {
  local w
  for w in $(lexbay_windows); do
    if [[ "$w" != "$MAIN" ]]; then
      OTHER=$w
      read -r OTHER_X OTHER_Y OTHER_W OTHER_H < <(window_rect "$w")
      return 0
    fi
  done
  return 1
}
no_other_window() { ! other_window_shown; }

# Starts the program from another working folder and waits until its window
# shows the lesson's status in the status bar.
start_lexbay() {
  (cd / && exec "$APP/Lexbay") >> "$WORK/lexbay.log" 2>&1 &
  LEX_PID=$!
  poll 120 "the Lexbay window" main_window_shown
  poll 120 "the lesson pages on disk" test -f "$APP/curLesson.htm" -a -f "$APP/homepage.htm"
  poll 60 "the status 课文学习" status_shows "课文学习"
}

# Closes the main window through the window manager (Alt+F4) and waits for
# the program to end by itself.
close_lexbay() {
  local end=$((SECONDS + 60)) again=0
  # A busy machine may lose the key before the window manager takes it:
  # pressed again every few seconds, as a learner would.
  while kill -0 "$LEX_PID" 2>/dev/null; do
    ((SECONDS < end)) || e2e_fail "Lexbay did not end after Alt+F4"
    if ((SECONDS >= again)); then
      xdotool windowactivate --sync "$MAIN" 2>/dev/null || true
      xdotool key --clearmodifiers alt+F4
      again=$((SECONDS + 5))
    fi
    sleep 0.3
  done
  wait "$LEX_PID" || e2e_fail "Lexbay ended with status $?"
  LEX_PID=""
}

# The whole screen as the learner sees it now, kept as PPM for the judges.
snap() { import -window root -depth 8 "$WORK/screen.ppm"; }

# Keeps the current screenshot for the guide.
keep_shot() { convert "$WORK/screen.ppm" "$ARTIFACTS/$1.png"; }

# Client-area pixel offsets to screen positions.
click_at() { # <client x> <client y>
  xdotool mousemove $((WIN_X + $1)) $((WIN_Y + $2)) click 1
}
# Centre of a design rectangle in twips, as client-area pixels.
twips_centre() { # <left> <top> <width> <height>
  echo $((($1 + $3 / 2) / 15)) $((($2 + $4 / 2) / 15))
}

key() { xdotool key --clearmodifiers "$@"; }
type_text() { xdotool type --delay 40 --clearmodifiers "$1"; }

# The colour of the window's own background, read off the status bar.
window_colour() {
  [[ -n "${WINDOW_BG:-}" ]] ||
    WINDOW_BG=$(convert "$WORK/screen.ppm" -format '%[hex:p{'$((WIN_X + 2))','$((WIN_Y + WIN_H - 3))'}]' info: | cut -c1-6)
  echo "$WINDOW_BG"
}

# as_ppm <picture>: the picture as PPM beside the scenario's files, made once.
as_ppm() {
  local out
  out="$WORK/ppm-$(echo "$1" | md5sum | cut -c1-16).ppm"
  [[ -f "$out" ]] || convert "$1" -depth 8 "$out"
  echo "$out"
}

# region_has_text <screen x y w h> <text> <background rrggbb> [family points]:
# renders the text as the window's labels draw it and looks for it, pixel
# for pixel, in the region of the current screenshot.
region_has_text() {
  local x=$1 y=$2 w=$3 h=$4 text=$5 bg=$6 family=${7:-} points=${8:-} sample
  # Each text is rendered once per scenario; polls reuse it.
  sample="$WORK/text-$(echo "$text|$bg|$family|$points" | md5sum | cut -c1-16).png"
  if [[ ! -f "$sample" ]]; then
    "$RENDER" "$text" "$sample" "#$bg" ${family:+"$family"} ${points:+"$points"} 2> /dev/null ||
      e2e_fail "could not render '$text'"
  fi
  [[ -n "$("$E2E_HERE/screen.py" find "$WORK/screen.ppm" "$x" "$y" "$w" "$h" "$(as_ppm "$sample")")" ]]
}

# find_picture <picture file>: screen centre "x y" of the picture in the
# lesson-page area of the current screenshot, or nothing.
find_picture() {
  local px py pw ph
  read -r px py pw ph < <(page_rect)
  "$E2E_HERE/screen.py" find "$WORK/screen.ppm" "$px" "$py" "$pw" "$ph" "$(as_ppm "$1")"
}
welcome_shown() { snap && [[ -n "$(find_picture "$APP/start.jpg")" ]]; }
welcome_gone() { snap && [[ -z "$(find_picture "$APP/start.jpg")" ]]; }

# Texts of the window, by where they stand.
status_bar_has() { # <text>
  region_has_text "$WIN_X" $((WIN_Y + WIN_H - 30)) "$WIN_W" 30 "$1" "$(window_colour)"
}
status_shows() { snap && status_bar_has "$1"; }
toolbar_has() { # <text>
  region_has_text "$WIN_X" "$WIN_Y" "$WIN_W" 40 "$1" "$(window_colour)"
}
toolbar_shows() { snap && toolbar_has "$1"; }
# The band above the page: lesson title, option panels.
band_has() { # <text> [family points]
  region_has_text "$WIN_X" $((WIN_Y + 40)) "$WIN_W" 42 "$1" "$(window_colour)" "${2:-}" "${3:-}"
}
band_shows() { snap && band_has "$@"; }
lesson_title_has() { band_has "$1" "Noto Serif CJK SC" 12; }

# The toolbar's buttons, found by looking: the inked groups of its strip,
# left to right (自动浏览, 跟读对比, 逆向听写, 回想英文, 学词汇, MP3导出).
toolbar_click() { # <1..6>
  snap
  local centre
  centre=$("$E2E_HERE/screen.py" groups "$WORK/screen.ppm" "$WIN_X" $((WIN_Y + 2)) "$WIN_W" 36 "#$(window_colour)" |
    sed -n "${1}p")
  [[ -n "$centre" ]] || e2e_fail "toolbar button $1 not found"
  xdotool mousemove $centre click 1
  rest_mouse
}
# Out of the way on the window's title bar, so that no button is drawn
# hovered and no tooltip opens.
rest_mouse() { xdotool mousemove $((WIN_X + WIN_W / 2)) $((WIN_Y - 8)); }

# The lesson page: left 200, top 82 in the client area, to 0 from the right
# and 29 + the status bar from the bottom (the window layout).
page_rect() { echo $((WIN_X + 200)) $((WIN_Y + 82)) $((WIN_W - 200)) $((WIN_H - 82 - 32)); }

# Sound icons of the page, top to bottom: "x y" screen centres.
sound_icons() {
  local x y w h
  read -r x y w h < <(page_rect)
  "$E2E_HERE/screen.py" rows "$WORK/screen.ppm" $((x + 12)) "$y" 30 "$h" "#ffffff"
}
# Screen centre of sentence n's sound icon (0-based) and of its English text
# (a little right of the icon).
icon_of() { sound_icons | sed -n "$(($1 + 1))p"; }
text_of() { local ix iy; read -r ix iy < <(icon_of "$1"); echo $((ix + 40)) "$iy"; }

# Closes the welcome page the way a learner does: a click on its start
# picture.
close_welcome() {
  poll 60 "the welcome page's start picture" welcome_shown
  local sx sy
  read -r sx sy < <(find_picture "$APP/start.jpg")
  xdotool mousemove "$sx" "$sy" click 1
  rest_mouse
  poll 30 "the welcome page to close" welcome_gone
}

# The first and last column of a colour in a screen region, or nothing.
colour_columns() { # <x> <y> <w> <h> <rrggbb>
  "$E2E_HERE/screen.py" columns "$WORK/screen.ppm" "$@"
}

# The lesson list's entries, found by looking: the inked row bands of the
# list, the selected entry's band first among them when it is the first.
list_entry() { # <1-based entry>
  snap
  "$E2E_HERE/screen.py" rows "$WORK/screen.ppm" $((WIN_X + 6)) $((WIN_Y + 84)) 180 200 "#ffffff" | sed -n "${1}p"
}
# Windows mapped straight on the screen: the frames of the window manager and
# the lists that drop down from a drop-down list.
mapped_count() { xdotool search --onlyvisible --maxdepth 1 --name '.*' 2>/dev/null | wc -l; }
mapped_count_is() { [[ $(mapped_count) -eq $1 ]]; }

# choose_from_list <client x> <client y> <0-based entry>: opens the drop-down
# list there with a click, waits until its entries are shown, picks the entry
# with the keyboard as a learner does, and waits until the list has closed.
choose_from_list() {
  local before
  before=$(mapped_count)
  click_at "$1" "$2"
  poll 30 "the drop-down list to open" mapped_count_is $((before + 1))
  key Home
  local i
  for ((i = 0; i < $3; i++)); do key Down; done
  key Return
  poll 30 "the drop-down list to close" mapped_count_is "$before"
}
choose_volume() { # <0-based entry>
  choose_from_list $(twips_centre 60 720 2835 360) "$1"
}

# Pixels of a colour in the page's text (right of the sound icons); row
# bands of a colour there.
page_colour_count() {
  local x y w h
  read -r x y w h < <(page_rect)
  "$E2E_HERE/screen.py" count "$WORK/screen.ppm" $((x + 40)) "$y" $((w - 40)) "$h" "#$1"
}
page_colour_rows() {
  local x y w h
  read -r x y w h < <(page_rect)
  "$E2E_HERE/screen.py" rowcolour "$WORK/screen.ppm" $((x + 40)) "$y" $((w - 40)) "$h" "#$1" | awk '{print $2}'
}

# The row (0-based sentence) of the page marked in the current sentence's red,
# or nothing.
red_sentence() {
  local red icons i=0 iy best="" ix
  red=$(page_colour_rows cc0000 | head -n1)
  [[ -n "$red" ]] || return 0
  while read -r ix iy; do
    if ((iy - red < 8 && red - iy < 8)); then best=$i; fi
    i=$((i + 1))
  done < <(sound_icons)
  echo "$best"
}
red_sentence_is() { snap && [[ "$(red_sentence)" == "$1" ]]; }

# The sentence position text of the status bar.
position_shows() { # <count> <current, 1-based>
  status_shows "共 $1 句，当前是第 $2 句"
}

# Titles of a volume's lessons, from its lesson text (GB18030), in order.
lesson_titles() { # <volume folder name>
  iconv -f GB18030 -t UTF-8 "$APP/books/$1/lesson.txt" | tr -d '\r' | sed -n 's/^\$//p'
}
# Words of a lesson from the volume's word file: every third line after the
# lesson's "$" header is a word (word, transcription, meaning).
lesson_words() { # <volume folder name> <lesson index>
  iconv -f GB18030 -t UTF-8 "$APP/books/$1/words.txt" | tr -d '\r' |
    awk -v want="$2" '/^\$/ {n++; i = 0; next} n == want + 1 && NF {if (i % 3 == 0) print; i++}'
}
# English sentences of a lesson (0-based), without their labels.
lesson_sentences() { # <volume folder name> <lesson index>
  iconv -f GB18030 -t UTF-8 "$APP/books/$1/lesson.txt" | tr -d '\r' |
    awk -v want="$2" '/^\$/ {n++; next} n == want + 1 && /^[0-9]+\. / {sub(/^[0-9]+\. /, ""); print}'
}

# A value of the settings file's [Options] group.
setting() { sed -n "s/^$1=//p" "$SETTINGS" | tr -d '\r'; }
expect_setting() { # <key> <value>
  local v
  v=$(setting "$1")
  [[ "$v" == "$2" ]] || e2e_fail "setting $1 is '$v', expected '$2'"
}
