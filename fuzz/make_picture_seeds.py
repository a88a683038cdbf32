#!/usr/bin/env python3
"""Writes the seed pictures of fuzz_gui_picture: tiny bitmaps and icons in the
layouts the skin loader meets (palettes, run-length codes, bit fields, old and
new headers, icons holding bitmaps and PNG data) and broken ones (cut short,
lying sizes, unknown depths). Usage: make_picture_seeds.py <folder>"""
import os
import struct
import sys
import zlib


def row_pad(data):
    return data + b"\0" * (-len(data) % 4)


def info_header(w, h, bpp, comp=0, image_size=0, colours=0, size=40):
    head = struct.pack("<IiiHHIIiiII", size, w, h, 1, bpp, comp, image_size, 2835, 2835, colours, 0)
    return head + b"\0" * (size - 40)


def bmp(header, palette, pixels, offset=None):
    off = 14 + len(header) + len(palette) if offset is None else offset
    body = header + palette + pixels
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, off) + body


def palette(n):
    return b"".join(struct.pack("<BBBB", (i * 37) & 255, (i * 91) & 255, (i * 53) & 255, 0) for i in range(n))


def bmp_plain(w, h, bpp, colours=0):
    bits = {1: lambda x, y: (x + y) & 1, 4: lambda x, y: (x + y) % 16, 8: lambda x, y: (x * 7 + y) % 256}
    rows = b""
    for y in range(abs(h)):
        if bpp in bits:
            vals = [bits[bpp](x, y) for x in range(w)]
            acc, nbits, row = 0, 0, b""
            for v in vals:
                acc = (acc << bpp) | v
                nbits += bpp
                if nbits == 8:
                    row += bytes([acc])
                    acc, nbits = 0, 0
            if nbits:
                row += bytes([acc << (8 - nbits)])
        elif bpp == 16:
            row = b"".join(struct.pack("<H", (x * 2000 + y * 31) & 0x7FFF) for x in range(w))
        elif bpp == 24:
            row = b"".join(bytes([x * 40 & 255, y * 60 & 255, 128]) for x in range(w))
        else:
            row = b"".join(bytes([x * 40 & 255, y * 60 & 255, 128, 255 - x * 30 & 255]) for x in range(w))
        rows += row_pad(row)
    pal = palette(colours or (1 << bpp)) if bpp <= 8 else b""
    return bmp(info_header(w, h, bpp, colours=colours), pal, rows)


def bmp_rle8():
    # Encoded runs, an absolute run, a delta, end of line, end of bitmap.
    data = bytes([3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 2, 1, 0, 2, 5, 0, 1])
    return bmp(info_header(6, 3, 8, comp=1, image_size=len(data), colours=8), palette(8), data)


def bmp_rle4():
    data = bytes([5, 0x12, 0, 4, 0x34, 0x56, 0, 0, 6, 0x77, 0, 1])
    return bmp(info_header(6, 2, 4, comp=2, image_size=len(data), colours=16), palette(16), data)


def bmp_bitfields(bpp, masks, v5=False):
    w, h = 3, 2
    fmt = "<H" if bpp == 16 else "<I"
    px = b"".join(row_pad(b"".join(struct.pack(fmt, (x * 0x1234567 + y * 0x89AB) & ((1 << bpp) - 1)) for x in range(w))) for y in range(h))
    if v5:
        head = bytearray(info_header(w, h, bpp, comp=3, image_size=len(px), size=124))
        head[40:56] = struct.pack("<IIII", *masks)
        head[56:60] = b"BGRs"
        return bmp(bytes(head), b"", px)
    return bmp(info_header(w, h, bpp, comp=3, image_size=len(px)), struct.pack("<III", *masks[:3]), px)


def bmp_core():
    # The old header: 16-bit sizes and three-byte palette entries.
    head = struct.pack("<IHHHH", 12, 4, 2, 1, 8)
    pal = b"".join(bytes([i * 60, 255 - i * 60, i * 20]) for i in range(4))
    return bmp(head, pal + b"\0" * (3 * 252), row_pad(bytes([0, 1, 2, 3])) * 2)


def png(w, h):
    raw = b"".join(b"\0" + b"".join(bytes([x * 60 & 255, y * 60 & 255, 200, 255]) for x in range(w)) for y in range(h))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def icon_bitmap(w, h, bpp):
    # An icon's bitmap: doubled height, colour rows, then the 1-bit AND mask.
    colours = 1 << bpp if bpp <= 8 else 0
    if bpp == 32:
        rows = b"".join(b"".join(bytes([x * 40 & 255, y * 40 & 255, 90, (x + y) * 30 & 255]) for x in range(w)) for y in range(h))
    elif bpp == 4:
        rows = b"".join(row_pad(bytes([(x * 2 % 16) << 4 | (x * 2 + 1) % 16 for x in range((w + 1) // 2)])) for y in range(h))
    else:
        rows = b"".join(row_pad(bytes([(x + y) % colours for x in range(w)])) for y in range(h))
    mask = b"".join(row_pad(bytes([0x55 if y & 1 else 0xAA] * ((w + 7) // 8))) for y in range(h))
    pal = palette(colours) if colours else b""
    return info_header(w, h * 2, bpp) + pal + rows + mask


def ico(images, kind=1, count=None):
    n = len(images) if count is None else count
    out = struct.pack("<HHH", 0, kind, n)
    offset = 6 + 16 * len(images)
    dirs, bodies = b"", b""
    for w, h, bpp, body in images:
        dirs += struct.pack("<BBBBHHII", w & 255, h & 255, 0, 0, 1, bpp, len(body), offset)
        offset += len(body)
        bodies += body
    return out + dirs + bodies


def seeds():
    s = {}
    s["bmp_1bit.bmp"] = bmp_plain(9, 3, 1)
    s["bmp_4bit.bmp"] = bmp_plain(5, 3, 4)
    s["bmp_8bit_few_colours.bmp"] = bmp_plain(4, 3, 8, colours=5)
    s["bmp_16bit.bmp"] = bmp_plain(3, 2, 16)
    s["bmp_24bit.bmp"] = bmp_plain(3, 3, 24)
    s["bmp_32bit_top_down.bmp"] = bmp_plain(2, -3, 32)
    s["bmp_rle8.bmp"] = bmp_rle8()
    s["bmp_rle4.bmp"] = bmp_rle4()
    s["bmp_bitfields565.bmp"] = bmp_bitfields(16, (0xF800, 0x07E0, 0x001F, 0))
    s["bmp_bitfields32.bmp"] = bmp_bitfields(32, (0xFF0000, 0xFF00, 0xFF, 0))
    s["bmp_v5_alpha.bmp"] = bmp_bitfields(32, (0xFF0000, 0xFF00, 0xFF, 0xFF000000), v5=True)
    s["bmp_core_header.bmp"] = bmp_core()
    good = bmp_plain(4, 4, 24)
    s["bad_cut_short.bmp"] = good[: len(good) - 20]
    s["bad_header_only.bmp"] = good[:30]
    s["bad_huge_size.bmp"] = bmp(info_header(0x7FFF, 0x7FFF, 24), b"", b"\x10" * 16)
    s["bad_negative_width.bmp"] = bmp(info_header(-4, 4, 24), b"", b"\x20" * 48)
    s["bad_depth.bmp"] = bmp(info_header(2, 2, 7), b"", b"\x30" * 16)
    s["bad_offset.bmp"] = bmp(info_header(2, 2, 24), b"", b"\x40" * 16, offset=0x7FFFFFF0)
    s["bad_rle_overrun.bmp"] = bmp(info_header(2, 2, 8, comp=1, colours=2), palette(2), bytes([255, 1, 0, 2, 200, 200, 255, 0]))
    s["bad_masks_zero.bmp"] = bmp_bitfields(32, (0, 0, 0, 0))
    s["bad_palette_too_big.bmp"] = bmp(info_header(2, 2, 8, colours=100000), palette(2), b"\0" * 8)
    s["ico_4bit.ico"] = ico([(8, 8, 4, icon_bitmap(8, 8, 4))])
    s["ico_8bit.ico"] = ico([(4, 4, 8, icon_bitmap(4, 4, 8))])
    s["ico_32bit.ico"] = ico([(3, 3, 32, icon_bitmap(3, 3, 32))])
    s["ico_png.ico"] = ico([(4, 4, 32, png(4, 4))])
    s["ico_two_sizes.ico"] = ico([(2, 2, 32, icon_bitmap(2, 2, 32)), (5, 5, 8, icon_bitmap(5, 5, 8))])
    s["cur_cursor.ico"] = ico([(4, 4, 8, icon_bitmap(4, 4, 8))], kind=2)
    good_ico = s["ico_8bit.ico"]
    s["bad_ico_cut_short.ico"] = good_ico[: len(good_ico) // 2]
    s["bad_ico_count_lies.ico"] = ico([(4, 4, 8, icon_bitmap(4, 4, 8))], count=0xFFFF)
    s["bad_ico_no_images.ico"] = ico([], count=0)
    s["bad_ico_offset.ico"] = good_ico[:18] + struct.pack("<I", 0x7FFFFFF0) + good_ico[22:]
    s["bad_ico_huge_entry.ico"] = ico([(0, 0, 32, info_header(30000, 60000, 32))])
    s["bad_ico_png_cut.ico"] = ico([(4, 4, 32, png(4, 4)[:40])])
    s["empty"] = b""
    return s


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds().items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
