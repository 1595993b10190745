#!/usr/bin/env python3
"""Draws Quillet's own icons, prompt images and hand cursor.

Run from this folder to regenerate the committed files:
  quillet.ico      program icon (engine on): a blue note with a white quill
  quillet_off.ico  the same in grey (engine off)
  prompt.bmp       six 16 x 16 images on black (black is transparent):
                   word, shorthand, file, folder, learned word, correction
  hand.cur         32 x 32 monochrome hand, hot spot at the fingertip
  finder.ico       the edit-box finder: a frame with a cross-hair in it
  finder_empty.ico the same frame without the cross-hair (while dragging)
  crosshair.cur    32 x 32 monochrome cross-hair, hot spot in its centre
  app.ico          an application window, for executables without an icon
Everything is drawn from the shapes below; nothing is taken from elsewhere.
"""
import struct

def blank(w, h, c=(0, 0, 0, 0)):
    return [[c] * w for _ in range(h)]

def rect(img, x0, y0, x1, y1, c):
    for y in range(max(0, y0), min(len(img), y1)):
        for x in range(max(0, x0), min(len(img[0]), x1)):
            img[y][x] = c

def rounded(img, x0, y0, x1, y1, r, c):
    for y in range(y0, y1):
        for x in range(x0, x1):
            dx = max(x0 + r - x - 0.5, 0, x + 0.5 - (x1 - r))
            dy = max(y0 + r - y - 0.5, 0, y + 0.5 - (y1 - r))
            if dx * dx + dy * dy <= r * r:
                img[y][x] = c

def line(img, x0, y0, x1, y1, c, width=1.0):
    n = int(max(abs(x1 - x0), abs(y1 - y0)) * 4) + 1
    for i in range(n + 1):
        t = i / n
        x, y = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
        hw = width / 2
        for yy in range(int(y - hw), int(y + hw) + 1):
            for xx in range(int(x - hw), int(x + hw) + 1):
                if 0 <= yy < len(img) and 0 <= xx < len(img[0]):
                    if (xx + 0.5 - x) ** 2 + (yy + 0.5 - y) ** 2 <= hw * hw + 0.25:
                        img[yy][xx] = c

def quill_icon(size, body):
    """A rounded note with a white quill leaning right and a text line."""
    s = size / 32.0
    img = blank(size, size)
    rounded(img, 0, 0, size, size, int(6 * s), body)
    white = (255, 255, 255, 255)
    dark = tuple(max(0, v - 70) for v in body[:3]) + (255,)
    # The feather: a thick stroke from bottom-left to top-right, its vane.
    line(img, 7 * s, 25 * s, 25 * s, 5 * s, white, max(1.0, 2.2 * s))
    for k in range(5):
        t = 0.35 + k * 0.13
        x, y = 7 * s + 18 * s * t, 25 * s - 20 * s * t
        line(img, x, y, x - 5 * s, y - 3 * s, white, max(1.0, 1.4 * s))
    # The line being written.
    line(img, 5 * s, 27.5 * s, 27 * s, 27.5 * s, dark, max(1.0, 1.2 * s))
    return img

def ico_image(img):
    h, w = len(img), len(img[0])
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(img) for p in row)
    stride = ((w + 31) // 32) * 4
    mask = b''
    for row in reversed(img):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + pixels + mask

def write_ico(path, images):
    data = [ico_image(i) for i in images]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for img, d in zip(images, data):
        w = len(img[0])
        out += struct.pack('<BBBBHHII', w % 256, len(img) % 256, 0, 0, 1, 32, len(d), offset)
        offset += len(d)
    with open(path, 'wb') as f:
        f.write(out + b''.join(data))

def prompt_strip():
    img = blank(96, 16, (0, 0, 0, 255))
    black = (0, 0, 0, 255)
    # 0 word: a blue book.
    rect(img, 2, 2, 14, 14, (40, 90, 200, 255))
    rect(img, 4, 4, 12, 5, (230, 230, 255, 255))
    rect(img, 4, 7, 12, 8, (230, 230, 255, 255))
    rect(img, 2, 12, 14, 14, (240, 240, 240, 255))
    # 1 shorthand: an orange lightning bolt.
    o = (240, 140, 20, 255)
    line(img, 16 + 10, 1, 16 + 5, 8, o, 2.2)
    line(img, 16 + 5, 8, 16 + 11, 8, o, 2.2)
    line(img, 16 + 11, 8, 16 + 6, 15, o, 2.2)
    # 2 file: a white page with a folded corner.
    rect(img, 35, 1, 43, 15, (250, 250, 250, 255))
    rect(img, 43, 5, 45, 15, (250, 250, 250, 255))
    rect(img, 43, 1, 45, 5, black)
    line(img, 43, 1, 45, 4, (150, 150, 150, 255), 1.0)
    for y in (6, 9, 12):
        rect(img, 37, y, 43, y + 1, (120, 120, 120, 255))
    # 3 folder: yellow.
    rect(img, 49, 3, 55, 5, (230, 190, 60, 255))
    rect(img, 49, 5, 63, 14, (250, 210, 80, 255))
    rect(img, 49, 13, 63, 14, (200, 160, 40, 255))
    # 4 learned word: a green check mark.
    g = (40, 180, 60, 255)
    line(img, 64 + 2, 8, 64 + 6, 13, g, 2.6)
    line(img, 64 + 6, 13, 64 + 14, 3, g, 2.6)
    # 5 correction: a white "a" over a red wavy underline.
    w, r = (250, 250, 250, 255), (220, 40, 40, 255)
    rect(img, 80 + 5, 3, 80 + 11, 4, w)
    rect(img, 80 + 10, 4, 80 + 12, 10, w)
    rect(img, 80 + 5, 6, 80 + 11, 7, w)
    rect(img, 80 + 4, 7, 80 + 6, 10, w)
    rect(img, 80 + 5, 9, 80 + 11, 10, w)
    for x in range(0, 14, 4):
        line(img, 80 + 1 + x, 14, 80 + 3 + x, 12, r, 1.4)
        line(img, 80 + 3 + x, 12, 80 + 5 + x, 14, r, 1.4)
    return img

def write_bmp(path, img):
    h, w = len(img), len(img[0])
    stride = (w * 3 + 3) & ~3
    rows = b''
    for row in reversed(img):
        r = b''.join(bytes((p[2], p[1], p[0])) for p in row)
        rows += r + b'\0' * (stride - len(r))
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(rows), 0, 0, 14 + 40)
    with open(path, 'wb') as f:
        f.write(head + info + rows)

HAND = [
    "......XX........",
    ".....X..X.......",
    ".....X..X.......",
    ".....X..X.......",
    ".....X..XXX.....",
    ".....X..X..XX...",
    ".....X..X..X.XX.",
    ".XX..X..X..X.X.X",
    "X..X.X........X.",
    "X...XX........X.",
    ".X............X.",
    "..X...........X.",
    "..X..........X..",
    "...X.........X..",
    "...X........X...",
    "....X.......X...",
    "....XXXXXXXXX...",
]

def write_cur(path):
    size = 32
    inside = [[False] * size for _ in range(size)]
    edge = [[False] * size for _ in range(size)]
    for y, row in enumerate(HAND):
        xs = [x for x, ch in enumerate(row) if ch == 'X']
        for x in xs:
            edge[y][x] = True
        if len(xs) >= 2:
            for x in range(xs[0], xs[-1] + 1):
                inside[y][x] = True
    # Fill the palm and fingers between outline pixels on each row; the
    # gaps between raised fingers stay open where the row is open above.
    stride = 4
    xor, andm = b'', b''
    for y in reversed(range(size)):
        xb, ab = bytearray(stride), bytearray(b'\xff' * stride)
        for x in range(size):
            if y < len(HAND) and (inside[y][x] or edge[y][x]):
                ab[x // 8] &= ~(0x80 >> (x % 8)) & 0xFF
                if not edge[y][x]:
                    xb[x // 8] |= 0x80 >> (x % 8)  # white inside, black outline
        xor += bytes(xb)
        andm += bytes(ab)
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    data = info + palette + xor + andm
    head = struct.pack('<HHH', 0, 2, 1) + struct.pack('<BBBBHHII', size, size, 2, 0, 6, 0, len(data), 22)
    with open(path, 'wb') as f:
        f.write(head + data)

def finder_icon(size, with_cross):
    s = size / 32.0
    img = blank(size, size)
    frame = (60, 60, 60, 255)
    rect(img, int(2 * s), int(2 * s), size - int(2 * s), size - int(2 * s), (255, 255, 255, 255))
    for k in range(max(1, int(2 * s))):
        rect(img, int(2 * s) + k, int(2 * s), int(2 * s) + k + 1, size - int(2 * s), frame)
        rect(img, size - int(2 * s) - k - 1, int(2 * s), size - int(2 * s) - k, size - int(2 * s), frame)
        rect(img, int(2 * s), int(2 * s) + k, size - int(2 * s), int(2 * s) + k + 1, frame)
        rect(img, int(2 * s), size - int(2 * s) - k - 1, size - int(2 * s), size - int(2 * s) - k, frame)
    if with_cross:
        red = (200, 30, 30, 255)
        c = size / 2.0
        line(img, c, 6 * s, c, size - 6 * s, red, max(1.0, 1.5 * s))
        line(img, 6 * s, c, size - 6 * s, c, red, max(1.0, 1.5 * s))
        for a in range(64):
            import math
            t = a * math.pi / 32
            x, y = c + 8 * s * math.cos(t), c + 8 * s * math.sin(t)
            line(img, x, y, x, y, red, max(1.0, 1.3 * s))
    return img

def app_icon(size):
    s = size / 32.0
    img = blank(size, size)
    rect(img, int(2 * s), int(4 * s), size - int(2 * s), size - int(4 * s), (90, 90, 90, 255))
    rect(img, int(3 * s), int(5 * s), size - int(3 * s), size - int(5 * s), (245, 245, 245, 255))
    rect(img, int(3 * s), int(5 * s), size - int(3 * s), int(10 * s), (45, 95, 190, 255))
    return img

def write_mono_cur(path, black, white, hot):
    """A 32 x 32 monochrome cursor: black and white are sets of (x, y)."""
    size = 32
    stride = 4
    xor, andm = b'', b''
    for y in reversed(range(size)):
        xb, ab = bytearray(stride), bytearray(b'\xff' * stride)
        for x in range(size):
            if (x, y) in black or (x, y) in white:
                ab[x // 8] &= ~(0x80 >> (x % 8)) & 0xFF
                if (x, y) in white:
                    xb[x // 8] |= 0x80 >> (x % 8)
        xor += bytes(xb)
        andm += bytes(ab)
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    data = info + palette + xor + andm
    head = struct.pack('<HHH', 0, 2, 1) + struct.pack('<BBBBHHII', size, size, 2, 0, hot[0], hot[1], len(data), 22)
    with open(path, 'wb') as f:
        f.write(head + data)

def crosshair():
    import math
    black, white = set(), set()
    c = 15
    for d in range(-12, 13):
        if abs(d) > 1:
            black.add((c + d, c)); black.add((c, c + d))
            white.add((c + d, c + 1)); white.add((c + 1, c + d))
    for a in range(180):
        t = a * math.pi / 90
        black.add((int(round(c + 7 * math.cos(t))), int(round(c + 7 * math.sin(t)))))
    white -= black
    return black, white

if __name__ == '__main__':
    blue, grey = (45, 95, 190, 255), (130, 130, 130, 255)
    write_ico('quillet.ico', [quill_icon(32, blue), quill_icon(16, blue)])
    write_ico('quillet_off.ico', [quill_icon(32, grey), quill_icon(16, grey)])
    write_bmp('prompt.bmp', prompt_strip())
    write_cur('hand.cur')
    write_ico('finder.ico', [finder_icon(32, True), finder_icon(16, True)])
    write_ico('finder_empty.ico', [finder_icon(32, False), finder_icon(16, False)])
    write_ico('app.ico', [app_icon(32), app_icon(16)])
    black, white = crosshair()
    write_mono_cur('crosshair.cur', black, white, (15, 15))
