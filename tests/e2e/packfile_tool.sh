#!/usr/bin/env bash
# The packfile tool from the command line: build, list, extract and check,
# the round trip back to the same files, the conversion of what ImageMagick
# and sox write, the game's own limits applied by check, and one-line
# refusals of bad input with the right exit status (never a crash).
set -uo pipefail
tool="$1/packfile"
[ -x "$tool" ] || { echo "no $tool"; exit 1; }
work=$(mktemp -d "$PWD/packfile_tool.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Runs the tool, keeping its status and output; `expect STATUS ARGS...`.
expect() {
  local want=$1; shift
  "$tool" "$@" >out.txt 2>err.txt
  status=$?
  [ "$status" -eq "$want" ] || fail "packfile $* gave $status, expected $want: $(head -3 err.txt)"
}
# The error output is one line naming the file and the problem.
one_line_naming() {
  local file=$1 words=$2
  [ "$(wc -l <err.txt)" -eq 1 ] || fail "expected one error line, got: $(cat err.txt)"
  grep -q -- "^packfile: $file: " err.txt || fail "error does not name $file: $(cat err.txt)"
  grep -qi -- "$words" err.txt || fail "error does not say '$words': $(cat err.txt)"
}

bytes() { local f=""; for v in "$@"; do f+=$(printf '\\x%02x' "$v"); done; printf "$f"; }
le16() { bytes $(($1 & 255)) $((($1 >> 8) & 255)); }
le32() { bytes $(($1 & 255)) $((($1 >> 8) & 255)) $((($1 >> 16) & 255)) $((($1 >> 24) & 255)); }
# An 8-bit BMP as the game wants it: W x H, 256-colour palette, bottom-up.
make_bmp() {
  local file=$1 w=$2 h=$3 seed=${4:-1}
  {
    printf BM; le32 $((1078 + w * h)); le32 0; le32 1078
    le32 40; le32 "$w"; le32 "$h"; le16 1; le16 8; le32 0; le32 $((w * h))
    le32 2835; le32 2835; le32 256; le32 0
    LC_ALL=C awk -v s="$seed" -v n=$((1024 + w * h)) \
      'BEGIN { for (i = 0; i < n; i++) printf "%c", (i * 31 + s * 7 + int(i / 251)) % 256 }'
  } >"$file"
}
# Overwrites bytes of a file at an offset.
patch() { local file=$1 at=$2; shift 2; bytes "$@" | dd of="$file" bs=1 seek="$at" conv=notrunc status=none; }

key=QK7RM2D9TXB4HP1Z

# --- usage -------------------------------------------------------------------
expect 2
grep -q "^usage: packfile build" err.txt || fail "no usage text without arguments"
expect 0 --help
grep -q "packfile check ARCHIVE" out.txt || fail "--help shows no usage"
expect 2 frobnicate x
expect 2 build a.dat x.bmp
grep -q -- "--key" err.txt || fail "build without a key does not ask for --key"
expect 2 check a.dat --pictures many
expect 2 check a.dat --pictures 3 --sounds 2

# --- build, list, extract, check ---------------------------------------------
make_bmp p0.bmp 64 32 1
make_bmp p1.bmp 32 128 2
sox -n -r 22050 -c 1 -b 16 s0.wav synth 0.25 sine 440 || fail "sox"
sox -n -r 11025 -c 2 -b 8 s1.wav synth 0.1 sine 300 || fail "sox"
sox -n -r 5000 -c 1 -b 8 s2.wav synth 0.001 sine 200 || fail "sox"  # 5 samples: an odd chunk
expect 0 build a.dat --key "$key" p0.bmp s0.wav p1.bmp s1.wav s2.wav
[ "$(stat -c %s a.dat)" -eq $(( $(cat p0.bmp s0.wav p1.bmp s1.wav s2.wav | wc -c) + 564 )) ] ||
  fail "archive size is not the files plus the trailer"
# The trailer: markers, offsets, tag, key, and zeros elsewhere.
trailer=$(tail -c 564 a.dat | od -An -v -tx1 | tr -d ' \n')
[ "${trailer:0:40}" = "d0070000e8030000d0070000e8030000e8030000" ] || fail "markers: ${trailer:0:40}"
[ "${trailer:408:8}" = "00000000" ] || fail "offset of entry 0"
[ "$(tail -c 160 a.dat | head -c 12)" = "PackFile-1.2" ] || fail "tag"
[ "$(tail -c 20 a.dat | head -c 16)" = "$key" ] || fail "key"
[ "$(tail -c 564 a.dat | tr -d '\000' | wc -c)" -lt 60 ] || fail "unused trailer bytes are not zero"

expect 0 list a.dat
grep -q "tag *PackFile-1.2" out.txt || fail "list shows no tag"
grep -q "key *$key" out.txt || fail "list shows no key"
grep -Eq "^ *0 +picture +offset +0 +64 x 32$" out.txt || fail "list entry 0: $(cat out.txt)"
grep -Eq "^ *1 +sound +offset +[0-9]+ +1 ch, 22050 Hz, 16 bit, 250 ms$" out.txt ||
  fail "list entry 1: $(cat out.txt)"
grep -Eq "^ *2 +picture .* 32 x 128$" out.txt || fail "list entry 2"
grep -Eq "^ *3 +sound .* 2 ch, 11025 Hz, 8 bit, 100 ms$" out.txt || fail "list entry 3"

expect 0 extract a.dat out
n=0
for f in p0.bmp s0.wav p1.bmp s1.wav s2.wav; do
  ext=${f##*.}
  cmp -s "$f" "out/0$n.$ext" || fail "extracted entry $n differs from $f"
  n=$((n + 1))
done
# Extracted files build the same archive again.
expect 0 build b.dat --key "$key" out/00.bmp out/01.wav out/02.bmp out/03.wav out/04.wav
cmp -s a.dat b.dat || fail "rebuilding from the extracted files gives another archive"

expect 0 check a.dat --key "$key"
grep -q "ok, 2 pictures, 3 sounds" out.txt || fail "check summary: $(cat out.txt)"
expect 1 check a.dat --key N2HV8C6WLA9E5JR3
one_line_naming a.dat "key '$key', expected 'N2HV8C6WLA9E5JR3'" < /dev/null
expect 1 check a.dat --key qk7rm2d9txb4hp1z
expect 1 check a.dat --sounds 2
grep -q "entry 0: picture, expected a sound" err.txt || fail "check --sounds: $(cat err.txt)"
expect 0 build snd.dat --key N2HV8C6WLA9E5JR3 s0.wav s1.wav
expect 0 check snd.dat --key N2HV8C6WLA9E5JR3 --sounds 2
expect 1 check snd.dat --sounds 22
grep -q "entries 2 to 21: missing, expected sounds" err.txt || fail "missing sounds: $(cat err.txt)"

# --- the game's 39 pictures --------------------------------------------------
sizes=(152x88 2048x448 96x96 1024x768 200x112 48x32 96x64 200x112 48x32 96x64 200x112 48x32
       96x64 200x112 48x32 96x64 200x112 48x32 96x64 312x352 312x352 312x352 312x352 1024x768
       1024x768 160x192 160x192 160x192 160x192 160x192 32x128 920x152 1024x768 1024x768
       152x88 152x88 152x88 152x88 312x352)
files=()
for i in "${!sizes[@]}"; do
  s=${sizes[$i]}
  [ -f "c_$s.bmp" ] || make_bmp "c_$s.bmp" "${s%x*}" "${s#*x}" "$i"
  files+=("c_$s.bmp")
done
expect 0 build g.dat --key "$key" "${files[@]}"
expect 0 check g.dat --key "$key" --pictures 39
grep -q "ok, 39 pictures, 0 sounds" out.txt || fail "39 pictures: $(cat out.txt)"
swapped=("${files[@]}")
swapped[30]=${files[31]}
swapped[31]=${files[30]}
expect 0 build g2.dat --key "$key" "${swapped[@]}"
expect 1 check g2.dat --pictures 39
grep -q "entry 30: 920 x 152, the game needs 32 x 128" err.txt || fail "catalogue: $(cat err.txt)"
grep -q "entry 31: 32 x 128, the game needs 920 x 152" err.txt || fail "catalogue: $(cat err.txt)"
# Entries after the game's 39 pictures have no size to compare with.
expect 0 build g50.dat --key "$key" "${files[@]}" p0.bmp p1.bmp p0.bmp p1.bmp p0.bmp p1.bmp p0.bmp \
  p1.bmp p0.bmp p1.bmp p0.bmp
expect 0 check g50.dat --key "$key" --pictures 39
grep -q "ok, 50 pictures, 0 sounds" out.txt || fail "50 pictures: $(cat out.txt) $(cat err.txt)"

# --- the game's own limits on sounds -----------------------------------------
# Entries the tool reads, but the game's loader refuses: 400 s at 1000 Hz is
# too long for a sound buffer, 18 MB too large for the sample block. Entry 22
# lies beyond the sounds the game loads and meets the same limits.
sox -n -r 1000 -c 1 -b 8 long.wav synth 400 sine 100 2>/dev/null || fail "sox"
sox -n -r 48000 -c 2 -b 16 big.wav synth 95 sine 300 2>/dev/null || fail "sox"
expect 0 build limits.dat --key N2HV8C6WLA9E5JR3 s0.wav long.wav big.wav
expect 1 check limits.dat --key N2HV8C6WLA9E5JR3 --sounds 3
diff - err.txt <<'END' || fail "the game's limits"
packfile: limits.dat: entry 1: the game refuses it: PackFile_Sound_laden: CreateSoundBuffer()
packfile: limits.dat: entry 2: the game refuses it: DSound_WaveDaten: malloc(); PackFile_Sound_laden: DSound_WaveDaten()
END
sounds=()
for i in $(seq 22); do sounds+=(s1.wav); done
expect 0 build late.dat --key N2HV8C6WLA9E5JR3 "${sounds[@]}" long.wav
expect 1 check late.dat
one_line_naming late.dat "entry 22: the game refuses it: PackFile_Sound_laden: CreateSoundBuffer()"

# --- players' pictures and sounds, converted -----------------------------------
convert -size 200x112 gradient:red-blue grad.png
convert -size 96x64 xc:none -fill '#3366cc' -draw 'circle 48,32 48,4' sprite.png
convert -size 152x88 gradient:yellow-navy -fill '#00FF00' -draw 'rectangle 10,10 40,30' \
  -fill '#03FC04' -draw 'rectangle 50,10 80,30' -type TrueColor im24.bmp
convert -size 160x120 xc:white +antialias -fill red -draw 'rectangle 10,10 60,60' -fill blue \
  -draw 'circle 100,60 100,20' -type Palette -compress RLE BMP3:rle.bmp
convert sprite.png sprite32.bmp
convert -size 30x20 xc:orange narrow.png
convert -size 256x64 xc: -channel R -fx 'i/w' -channel G -fx 'j/h' -channel B -fx '(i+j)%7/7' \
  +channel many.png
sox -n -r 22050 -c 2 -b 24 s24.wav synth 0.5 sine 440
sox -n -r 44100 -c 1 -e floating-point -b 32 f32.wav synth 1.25 sine 300
sox -n -r 48000 -c 6 -b 32 six.wav synth 0.75 sine 200
sox -n -r 500 -c 1 -b 16 low.wav synth 2 sine 50
players=(p0.bmp grad.png sprite.png im24.bmp rle.bmp sprite32.bmp narrow.png many.png s0.wav s24.wav
         f32.wav six.wav low.wav)
expect 0 build conv.dat --key "$key" "${players[@]}"
diff - out.txt <<'END' || fail "conversion lines"
entry 1 from grad.png: converted PNG (RGB, 16-bit) 200 x 112 to 8-bit, 112 colours and the key
entry 2 from sprite.png: converted PNG (palette, alpha) 96 x 64 to 8-bit, 1 colour and the key, 3623 transparent pixels as the key
entry 3 from im24.bmp: converted BMP (124-byte header, 24-bit) 152 x 88 to 8-bit, 89 colours and the key, 651 transparent pixels as the key, 651 near-green pixels kept visible
entry 4 from rle.bmp: converted BMP (40-byte header, 8-bit, RLE8) 160 x 120 to 8-bit, 3 colours and the key
entry 5 from sprite32.bmp: converted BMP (124-byte header, 32-bit, bit fields, alpha) 96 x 64 to 8-bit, 1 colour and the key, 3623 transparent pixels as the key
entry 6 from narrow.png: converted PNG (palette) 30 x 20 to 8-bit, 1 colour and the key, padded to 32 x 20 with the key
entry 7 from many.png: converted PNG (RGB, 16-bit) 256 x 64 to 8-bit, 255 colours (median cut of 16384) and the key, 2 near-green pixels kept visible
entry 9 from s24.wav: converted WAV (24-bit PCM, extensible, 2 ch, 22050 Hz) to 16-bit PCM, stereo, 22050 Hz, 0.500 s
entry 10 from f32.wav: converted WAV (32-bit float, 1 ch, 44100 Hz) to 16-bit PCM, mono, 44100 Hz, 1.250 s
entry 11 from six.wav: converted WAV (32-bit PCM, extensible, 6 ch, 48000 Hz) to 16-bit PCM, stereo, 48000 Hz, 0.750 s, 6 channels mixed down
entry 12 from low.wav: converted WAV (16-bit PCM, 1 ch, 500 Hz) to 16-bit PCM, mono, 44100 Hz, 2.000 s
conv.dat: 13 entries, 581518 bytes
END
expect 0 check conv.dat --key "$key"
grep -q "ok, 8 pictures, 5 sounds" out.txt || fail "check of converted entries: $(cat err.txt)"
expect 0 list conv.dat
diff - <(tail -n 13 out.txt | sed 's/offset *[0-9]* *//') <<'END' || fail "list of converted entries"
  0  picture  64 x 32
  1  picture  200 x 112
  2  picture  96 x 64
  3  picture  152 x 88
  4  picture  160 x 120
  5  picture  96 x 64
  6  picture  32 x 20
  7  picture  256 x 64
  8  sound    1 ch, 22050 Hz, 16 bit, 250 ms
  9  sound    2 ch, 22050 Hz, 16 bit, 500 ms
 10  sound    1 ch, 44100 Hz, 16 bit, 1250 ms
 11  sound    2 ch, 48000 Hz, 16 bit, 750 ms
 12  sound    1 ch, 44100 Hz, 16 bit, 2000 ms
END
# Every entry is now in the game's form: the extracted files build the same
# archive with nothing converted.
expect 0 extract conv.dat conv
expect 0 build conv2.dat --key "$key" --strict conv/*
cmp -s conv.dat conv2.dat || fail "the converted entries do not rebuild the same archive"
# Pure green stays the exact key; the near-green rectangle is kept visible.
[ "$(convert conv/03.bmp -format '%[hex:p{20,15}] %[hex:p{60,15}]' info:)" = "00FF00 03FC08" ] ||
  fail "key colour of the converted BMP"
[ "$(soxi -D conv/10.wav)" = "1.250000" ] || fail "length of the converted float WAV"
# --strict refuses what the game's form does not cover, in the same words as
# before conversion existed.
expect 1 build r.dat --key "$key" --strict grad.png
one_line_naming grad.png "neither a BMP picture nor a WAV sound"
expect 1 build r.dat --key "$key" --strict im24.bmp
one_line_naming im24.bmp "info header of 124 bytes"
expect 1 build r.dat --key "$key" --strict rle.bmp
one_line_naming rle.bmp "compressed (method 1)"
expect 1 build r.dat --key "$key" --strict s24.wav
one_line_naming s24.wav "format tag 65534"

# --- refusals ----------------------------------------------------------------
many=()
for i in $(seq 51); do many+=(p1.bmp); done
expect 1 build r.dat --key "$key" "${many[@]}"
one_line_naming r.dat "at most 50"
many=("${many[@]:1}")
expect 0 build r50.dat --key "$key" "${many[@]}"
expect 1 build r.dat --key QK7RM2D9TXB4HP1 p0.bmp
one_line_naming r.dat "16 printable"
expect 1 build r.dat --key QK7RM2D9TXB4HP1ZX p0.bmp
one_line_naming r.dat "16 printable"

refuse_bmp() {  # NAME WORDS OFFSET BYTES...
  local name=$1 words=$2 at=$3; shift 3
  cp p0.bmp "$name.bmp"
  patch "$name.bmp" "$at" "$@"
  expect 1 build r.dat --key "$key" --strict s0.wav "$name.bmp"
  one_line_naming "$name.bmp" "$words"
}
refuse_bmp bits24 "8-bit" 28 24 0
refuse_bmp rle8 "uncompressed" 30 1 0 0 0
refuse_bmp pal16 "256 needed" 46 16 0 0 0
refuse_bmp topdown "bottom-up" 22 $((256 - 32)) 255 255 255
refuse_bmp offset "right after the 256-colour palette" 10 0 4 0 0
refuse_bmp v5header "40-byte" 14 124 0 0 0
make_bmp narrow.bmp 6 4
expect 1 build r.dat --key "$key" --strict narrow.bmp
one_line_naming narrow.bmp "multiple of 4"
head -c 2000 p0.bmp >cut.bmp
for strict in --strict --; do
  expect 1 build r.dat --key "$key" $strict cut.bmp
  one_line_naming cut.bmp "incomplete"
done
cp p0.bmp tail.bmp && printf 'xx' >>tail.bmp
expect 1 build r.dat --key "$key" --strict tail.bmp
one_line_naming tail.bmp "file size"
# Without --strict only the length is mended; the picture and sound stay as they were.
cp s0.wav tail.wav && printf 'ID3xxxx' >>tail.wav
expect 0 build t.dat --key "$key" tail.bmp tail.wav
diff - out.txt <<END || fail "mended lengths"
entry 0 from tail.bmp: kept as it is, as a file of 3126 bytes (its header said 3126, the file had 3128)
entry 1 from tail.wav: kept as it is, without the 7 bytes after its RIFF form
t.dat: 2 entries, $(( $(cat p0.bmp s0.wav | wc -c) + 564 )) bytes
END
expect 0 extract t.dat t
cmp -s t/00.bmp p0.bmp && cmp -s t/01.wav s0.wav || fail "mended entries differ from the originals"
cp s0.wav rifx.wav && patch rifx.wav 8 87 65 86 88  # "WAVX"
for strict in --strict --; do
  expect 1 build r.dat --key "$key" $strict rifx.wav
  one_line_naming rifx.wav "RIFF WAVE"
done
sox -n -r 8000 -c 1 -e floating-point -b 32 float.wav synth 0.1 sine 300
expect 1 build r.dat --key "$key" --strict float.wav
one_line_naming float.wav "PCM"
echo "hello" >text.txt
expect 1 build r.dat --key "$key" --strict text.txt
one_line_naming text.txt "neither a BMP picture nor a WAV sound"
expect 1 build r.dat --key "$key" text.txt
one_line_naming text.txt "neither a BMP or PNG picture nor a WAV sound"
# What cannot be converted either, in the converter's words.
cp p0.bmp bits7.bmp && patch bits7.bmp 28 7 0
expect 1 build r.dat --key "$key" bits7.bmp
one_line_naming bits7.bmp "7 bits per pixel; 1, 4, 8, 16, 24 or 32 are converted"
cp p0.bmp jpeg.bmp && patch jpeg.bmp 30 4 0 0 0
expect 1 build r.dat --key "$key" jpeg.bmp
one_line_naming jpeg.bmp "method 4 (JPEG)"
cp s0.wav alaw.wav && patch alaw.wav 20 6 0
expect 1 build r.dat --key "$key" alaw.wav
one_line_naming alaw.wav "format tag 6"
expect 1 build r.dat --key "$key" missing.bmp
one_line_naming missing.bmp "no such file"
mkdir folder.bmp
expect 1 build r.dat --key "$key" folder.bmp
one_line_naming folder.bmp "not a regular file"
[ ! -e r.dat ] || fail "a refused build left r.dat behind"

# --- broken archives: refused in one line, never a crash -------------------------
head -c 500 a.dat >tiny.dat
for cmd in list check; do
  expect 1 $cmd tiny.dat
  one_line_naming tiny.dat "shorter than a PackFile trailer"
done
cp a.dat badtag.dat
patch badtag.dat $(( $(stat -c %s a.dat) - 564 + 404 )) 112  # "packFile-1.2"
expect 1 check badtag.dat
one_line_naming badtag.dat "not a PackFile archive"
cp a.dat badoff.dat
patch badoff.dat $(( $(stat -c %s a.dat) - 564 + 208 )) 255 255 255 127
expect 1 check badoff.dat
grep -q "entry 1: offset 2147483647 lies outside" err.txt || fail "bad offset: $(cat err.txt)"
expect 1 extract badoff.dat badout
[ -f badout/00.bmp ] && [ ! -e badout/01.wav ] || fail "extract of the readable entries"
# Cutting bytes out of the middle breaks the entries after the cut.
{ head -c 3000 a.dat; tail -c +3201 a.dat; } >hole.dat
expect 1 check hole.dat
for i in 1 2 3 4 5 6 7 8; do
  head -c $((i * 997)) /dev/urandom >rnd.dat
  for cmd in list check "extract rnddir"; do
    "$tool" $cmd rnd.dat >/dev/null 2>&1
    [ $? -lt 128 ] || fail "packfile $cmd crashed on random bytes"
  done
done

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "packfile tool: all checks passed"
