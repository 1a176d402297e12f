# Sourced by the Xvfb scripts' inner parts, on the game's screen: where the
# 1024 x 768 picture lies on it, keys and clicks at game pixels, and the
# targets found in a screenshot. The sourcing script defines alive (fails
# when the game has ended) and out (the screenshots' folder).
# BRAMBLE_INPUT_DELAY: extra seconds after each key and click, for a game
# that answers more slowly (under Wine).

# Screen size and where the 1024 x 768 picture lies on it.
read -r sw sh < <(xdpyinfo | sed -nE 's/.*dimensions: *([0-9]+)x([0-9]+) pixels.*/\1 \2/p')
scale=$(awk -v w="$sw" -v h="$sh" 'BEGIN { s = w / 1024; if (h / 768 < s) s = h / 768; print s }')
ox=$(awk -v w="$sw" -v s="$scale" 'BEGIN { printf "%d", (w - 1024 * s) / 2 }')
oy=$(awk -v h="$sh" -v s="$scale" 'BEGIN { printf "%d", (h - 768 * s) / 2 }')
# Screen position of a game pixel.
sx() { awk -v x="$1" -v s="$scale" -v o="$ox" 'BEGIN { printf "%d", o + (x + 0.5) * s }'; }
sy() { awk -v y="$1" -v s="$scale" -v o="$oy" 'BEGIN { printf "%d", o + (y + 0.5) * s }'; }

# The id of the game's window, once it is mapped (up to 20 s); empty if none.
game_window() {
  local win=""
  for _ in $(seq 200); do
    win=$(xdotool search --name '^Bramblecourt$' 2>/dev/null | head -1 || true)
    [ -n "$win" ] && break
    sleep 0.1
  done
  echo "$win"
}
key() { alive; xdotool key --clearmodifiers "$@"; sleep "${BRAMBLE_INPUT_DELAY:-0}"; }
# click X Y [BUTTON] at a game pixel.
click() {
  alive
  xdotool mousemove "$(sx "$1")" "$(sy "$2")"
  sleep 0.05
  xdotool click "${3:-1}"
  sleep "${BRAMBLE_INPUT_DELAY:-0}"
}
# Screen position of the biggest thing in the sky that is not sky: the
# commonest colour of the band above the landscape is the sky.
target() {
  local gx gy gw gh
  gx=$(sx 0); gy=$(sy 40)
  gw=$(awk -v s="$scale" 'BEGIN { printf "%d", 1024 * s }')
  gh=$(awk -v s="$scale" 'BEGIN { printf "%d", 270 * s }')
  import -window root "$out/aim.png" 2>/dev/null || return 1
  convert "$out/aim.png" -crop "${gw}x${gh}+$gx+$gy" +repage -sample 25% txt:- |
    awk -v gx="$gx" -v gy="$gy" 'NR > 1 {
        split($1, p, "[,:]"); x[NR] = p[1]; y[NR] = p[2]; c[NR] = $3; n[$3]++ }
      END {
        for (k in n) if (n[k] > best) { best = n[k]; sky = k }
        for (i in c) if (c[i] != sky) { cell = int(x[i] / 12) "," int(y[i] / 12); m[cell]++;
          sxs[cell] += x[i]; sys[cell] += y[i] }
        for (k in m) if (m[k] > top) { top = m[k]; pick = k }
        if (top >= 4) printf "%d %d\n", gx + 4 * sxs[pick] / top, gy + 4 * sys[pick] / top }'
}
