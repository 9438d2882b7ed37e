#!/usr/bin/env python3
"""Looks at a screenshot the way a learner would: where the toolbar's buttons
are, where the lesson page's rows are, how much of a colour a region shows.

  screen.py groups <ppm> <x> <y> <w> <h> <background #rrggbb>
      centres "x y" of the inked column groups of a strip (toolbar buttons),
      left to right
  screen.py rows <ppm> <x> <y> <w> <h> <background #rrggbb>
      centres "x y" of the inked row bands of a strip (sound icons of the
      lesson page), top to bottom
  screen.py count <ppm> <x> <y> <w> <h> <colour #rrggbb>
      how many pixels of the region have that colour (within a small
      tolerance for the edges of antialiased text)
  screen.py find <ppm> <x> <y> <w> <h> <template ppm>
      screen centre "x y" of the template where the region shows it pixel
      for pixel (a rendered text, a shipped picture), or nothing
  screen.py columns <ppm> <x> <y> <w> <h> <colour #rrggbb>
      the first and last column "x1 x2" of the region holding that colour
  screen.py rowcolour <ppm> <x> <y> <w> <h> <colour #rrggbb>
      centres "x y" of the row bands of the region holding that colour
"""
import sys


def read_ppm(path):
    """Width, height and RGB bytes of a binary PPM (P6, 8 bits)."""
    with open(path, "rb") as f:
        ppm = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while ppm[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not ppm[pos:pos + 1].isspace():
            pos += 1
        fields.append(ppm[start:pos])
    if fields[0] != b"P6" or fields[3] != b"255":
        sys.exit(f"screen.py: {path} is not an 8-bit binary PPM")
    return int(fields[1]), int(fields[2]), ppm[pos + 1:]


def load(path, x, y, w, h):
    """The region of a screenshot, as a pixel reader."""
    full_width, _, data = read_ppm(path)

    def pixel(px, py):
        at = ((y + py) * full_width + x + px) * 3
        return tuple(data[at:at + 3])
    return w, h, pixel


def colour(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def near(a, b, tolerance):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def bands(flags, min_gap):
    """Runs of true flags, joined across gaps shorter than min_gap."""
    runs = []
    for i, flag in enumerate(flags):
        if not flag:
            continue
        if runs and i - runs[-1][1] <= min_gap:
            runs[-1][1] = i
        else:
            runs.append([i, i])
    return runs


def find(path, x, y, w, h, template_path):
    full_width, _, data = read_ppm(path)
    tw, th, tdata = read_ppm(template_path)
    rows = [tdata[r * tw * 3:(r + 1) * tw * 3] for r in range(th)]
    # Anchor on the template row with the most distinct pixels, matched
    # exactly; then the whole template must agree within a small tolerance.
    anchor = max(range(th), key=lambda r: len(set(rows[r][i:i + 3] for i in range(0, tw * 3, 3))))
    for ry in range(y, y + h - th + 1):
        line = data[((ry + anchor) * full_width + x) * 3:((ry + anchor) * full_width + x + w) * 3]
        at = line.find(rows[anchor])
        while at != -1:
            if at % 3 == 0:
                rx = x + at // 3
                total = 0
                for r in range(th):
                    got = data[((ry + r) * full_width + rx) * 3:((ry + r) * full_width + rx + tw) * 3]
                    total += sum(abs(a - b) for a, b in zip(got, rows[r]))
                if total <= 2 * tw * th * 3:
                    print(rx + tw // 2, ry + th // 2)
                    return
            at = line.find(rows[anchor], at + 1)


def main(argv):
    mode, png = argv[1], argv[2]
    x, y, w, h = (int(v) for v in argv[3:7])
    if mode == "find":
        find(png, x, y, w, h, argv[7])
        return
    target = colour(argv[7])
    width, height, pixel = load(png, x, y, w, h)
    if mode == "groups":
        inked = [any(not near(pixel(cx, cy), target, 40) for cy in range(height)) for cx in range(width)]
        for first, last in bands(inked, 8):
            print(x + (first + last) // 2, y + height // 2)
    elif mode == "rows":
        inked = [any(not near(pixel(cx, cy), target, 40) for cx in range(width)) for cy in range(height)]
        for first, last in bands(inked, 3):
            print(x + width // 2, y + (first + last) // 2)
    elif mode == "rowcolour":
        holding = [any(near(pixel(cx, cy), target, 24) for cx in range(width)) for cy in range(height)]
        for first, last in bands(holding, 3):
            print(x + width // 2, y + (first + last) // 2)
    elif mode == "columns":
        # Columns where the colour runs at least 5 pixels: a selection's
        # block, not the one-pixel frame of a focused box.
        holding = [cx for cx in range(width) if sum(near(pixel(cx, cy), target, 24) for cy in range(height)) >= 5]
        if holding:
            print(x + holding[0], x + holding[-1])
    elif mode == "count":
        print(sum(1 for cy in range(height) for cx in range(width) if near(pixel(cx, cy), target, 24)))
    else:
        sys.exit(f"screen.py: unknown mode {mode}")


if __name__ == "__main__":
    main(sys.argv)
