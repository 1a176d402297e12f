#!/usr/bin/env python3
"""Writes the seeds of fuzz_startup into fuzz/corpus/startup/ from the default
data that a build generates (BUILD/data), cut down to what still loads, so
that each seed stays small:

- Grafik.dat: one entry per picture size, shared by every entry of that size,
  each its header, palette and first few pixel rows (the loader reads on into
  the following bytes and fills what lies past the end of the file with zero);
  the font last, its first band of glyphs (the letters) moved to the bottom of
  the picture, which bottom-up rows store first, and only those rows kept.
- Sound.dat: the 22 entries share three short sounds.
- Score.dat: a valid list; the tune: the first 100 ms of start.wav, or the
  same as a small MP3 made with lame.

Each seed is then checked with BUILD/bramblecourt-sim: the game must start
without a message and run through the menu into a round.

usage: fuzz/startup_seeds.py BUILD
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "fuzz", "corpus", "startup")
GRAFIK_KEY = b"QK7RM2D9TXB4HP1Z"
SOUND_KEY = b"N2HV8C6WLA9E5JR3"
TRAILER = 564
KEPT_ROWS = 1
FONT = 31
SEPARATOR = (0xC9, 0xC9, 0xC9)


def entries(archive):
    """(marker, offset) of the 39 entries of an archive's trailer."""
    t = archive[-TRAILER:]
    return [(struct.unpack_from("<i", t, 4 * i)[0], struct.unpack_from("<i", t, 204 + 4 * i)[0])
            for i in range(50)]


def trailer(markers_offsets, key):
    t = bytearray(TRAILER)
    for i, (marker, offset) in enumerate(markers_offsets):
        struct.pack_into("<i", t, 4 * i, marker)
        struct.pack_into("<i", t, 204 + 4 * i, offset)
    t[404:417] = b"PackFile-1.2\0"
    t[544:561] = key + b"\0"
    return bytes(t)


def picture(archive, offset):
    """Width, height and the whole BMP file of a picture entry."""
    w, h = struct.unpack_from("<ii", archive, offset + 18)
    return w, h, archive[offset:offset + 1078 + w * h]


def font_at_bottom(bmp, w, h):
    """The font with its first band (the rows from the first separator row to
    the second) moved to the bottom, cut after it: bottom-up storage keeps it
    first."""
    palette = bmp[54:1078]
    separator = {i for i in range(256)
                 if (palette[4 * i + 2], palette[4 * i + 1], palette[4 * i]) ==
                 SEPARATOR}
    pixels = bmp[1078:]
    rows = [pixels[(h - 1 - r) * w:(h - r) * w] for r in range(h)]  # top first
    first, second = [r for r in range(h) if rows[r][5] in separator][:2]
    band = rows[first:second + 1]
    # Bottom-up: the last band row is stored first.
    return bmp[:1078] + b"".join(reversed(band))


def cut_grafik(archive):
    table = entries(archive)[:39]
    data = bytearray()
    by_size = {}
    offsets = [0] * 39
    for i, (marker, offset) in enumerate(table):
        if i == FONT:
            continue
        w, h, bmp = picture(archive, offset)
        if (w, h) not in by_size:
            by_size[(w, h)] = len(data)
            data += bmp[:1078 + KEPT_ROWS * w]
        offsets[i] = by_size[(w, h)]
    w, h, bmp = picture(archive, table[FONT][1])
    offsets[FONT] = len(data)
    data += font_at_bottom(bmp, w, h)
    return bytes(data) + trailer([(2000, o) for o in offsets], GRAFIK_KEY)


def riff_size(archive, offset):
    return 8 + struct.unpack_from("<I", archive, offset + 4)[0]


def cut_sound(archive):
    table = entries(archive)[:22]
    data = bytearray()
    shared = []
    for item in (5, 3, 19):  # 60 ms 8-bit, 90 ms and 70 ms 16-bit
        offset = table[item][1]
        shared.append(len(data))
        data += archive[offset:offset + riff_size(archive, offset)]
    return bytes(data) + trailer([(1000, shared[i % 3]) for i in range(22)], SOUND_KEY)


def cut_wav(wav, ms):
    """The WAV with only its first ms milliseconds (16-byte fmt, data next)."""
    assert wav[12:16] == b"fmt " and wav[36:40] == b"data"
    rate, block = struct.unpack_from("<I", wav, 24)[0], struct.unpack_from("<H", wav, 32)[0]
    n = rate * block * ms // 1000 // block * block
    return (b"RIFF" + struct.pack("<I", 36 + n) + wav[8:40] + struct.pack("<I", n) +
            wav[44:44 + n])


def score_dat():
    out = bytearray(b"Bramblecourt 1014".ljust(32, b"\0"))
    out += struct.pack("<8H", 2026, 12, 1, 7, 12, 30, 15, 0)
    for k in range(10):
        out += struct.pack("<i", 2000 - 40 * k) + b"F.Harbeck".ljust(20, b"\0")
    assert len(out) == 288
    return bytes(out)


def frame(flags, grafik, sound, score, tune):
    out = bytes([flags])
    for part in (grafik, sound, score):
        out += struct.pack("<I", len(part)) + part
    return out + tune


def check(seed, flags, grafik, sound, score, tune, build):
    """Runs the game on the seed's files: no message, through the menu into a round."""
    with tempfile.TemporaryDirectory() as work:
        files = {"Grafik.dat": grafik, "Sound.dat": sound}
        if not flags & 2:
            files["Score.dat"] = score
        files["tune.mp3" if flags & 1 else "start.wav"] = tune
        for name in ("start.wav", "main.wav", "win.wav", "lose.wav", "credits.wav"):
            if name not in files:
                shutil.copy(os.path.join(build, "data", name), work)
        for name, content in files.items():
            with open(os.path.join(work, name), "wb") as f:
                f.write(content)
        with open(os.path.join(work, "run.script"), "w") as f:
            f.write("wait 100\nkey ENTER\nwait 100\nkey ENTER\nwait 6000\ndump\n")
        trace = subprocess.run([os.path.join(build, "bramblecourt-sim"), "run.script"],
                               cwd=work, capture_output=True, text=True, check=True).stdout
        if '"ev":"box"' in trace or '"to":3' not in trace:
            sys.exit(f"startup_seeds: {seed} does not start cleanly:\n{trace[-2000:]}")


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: fuzz/startup_seeds.py BUILD")
    build = os.path.abspath(sys.argv[1])
    data = os.path.join(build, "data")

    def read(name):
        with open(os.path.join(data, name), "rb") as f:
            return f.read()

    grafik = cut_grafik(read("Grafik.dat"))
    sound = cut_sound(read("Sound.dat"))
    score = score_dat()
    wav = cut_wav(read("start.wav"), 100)
    with tempfile.TemporaryDirectory() as work:
        src = os.path.join(work, "cut.wav")
        mp3 = os.path.join(work, "cut.mp3")
        with open(src, "wb") as f:
            f.write(cut_wav(read("start.wav"), 300))
        subprocess.run(["lame", "--quiet", "-b", "32", src, mp3], check=True)
        with open(mp3, "rb") as f:
            mp3 = f.read()

    seeds = {
        "title_wav": (0, grafik, sound, score, wav),
        "jukebox_mp3": (1, grafik, sound, score, mp3),
        "no_score": (2, grafik, sound, score, wav),
    }
    os.makedirs(OUT, exist_ok=True)
    for name, parts in seeds.items():
        check(name, *parts, build)
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(frame(*parts))
        print(f"{name}: {len(frame(*parts))} bytes")


if __name__ == "__main__":
    main()
