"""Reads a skin file the way the end-to-end scenarios need it: where each
named element sits on the window and how large the window picture is, so
that clicks land on the keys the skin file places. Used by the scenarios.
"""

import os
import struct

KINDS = {"But": "Buttons", "Label": "Labels", "CheckBox": "CheckBoxes", "Edit": "Edits",
         "SlideBar": "SlideBars", "Image": "Images"}


def _read_ini(path):
    sections, current = {}, None
    with open(path, encoding="latin-1") as f:
        for line in f:
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                current = sections.setdefault(line[1:-1].lower(), {})
            elif "=" in line and current is not None and not line.startswith(";"):
                key, value = line.split("=", 1)
                current.setdefault(key.strip().lower(), value.strip())
    return sections


def _pair(text):
    first, _, second = text.partition(",")
    try:
        return int(first), int(second)
    except ValueError:
        return 0, 0


def bitmap_size(path):
    with open(path, "rb") as f:
        header = f.read(26)
    width, height = struct.unpack("<ii", header[18:26])
    return width, abs(height)


def read_bmp(path):
    """An uncompressed 24- or 32-bit BMP as (width, height, rows), each row
    the bytes of its pixels as R, G, B, top row first."""
    with open(path, "rb") as f:
        data = f.read()
    offset, = struct.unpack("<I", data[10:14])
    width, height = struct.unpack("<ii", data[18:26])
    bits, = struct.unpack("<H", data[28:30])
    step = bits // 8
    stride = (width * step + 3) & ~3
    rows = []
    for y in range(abs(height)):
        source = y if height < 0 else abs(height) - 1 - y
        line = data[offset + source * stride:offset + source * stride + width * step]
        rgb = bytearray()
        for x in range(width):
            b, g, r = line[x * step:x * step + 3]
            rgb += bytes((r, g, b))
        rows.append(bytes(rgb))
    return width, abs(height), rows


def read_outline(path):
    """The rectangles (left, top, right, bottom) of an outline file: a 4-byte
    length, then region data (a 32-byte header, then the rectangles)."""
    with open(path, "rb") as f:
        data = f.read()
    size, = struct.unpack("<I", data[:4])
    if size == 0:
        return []
    count, = struct.unpack("<I", data[4 + 8:4 + 12])
    return [struct.unpack("<iiii", data[4 + 32 + 16 * i:4 + 48 + 16 * i]) for i in range(count)]


class Skin:
    """The elements of one skin file: rect(kind, name) gives (left, top,
    width, height) of the first element of that kind with that name."""

    def __init__(self, path):
        self.path = path
        ini = _read_ini(path)
        main = ini.get("main", {})
        folder = os.path.join(os.path.dirname(path), main.get("picturedir", ""))
        self.picture = os.path.join(folder, main.get("picture", ""))
        self.mask = os.path.join(folder, main.get("mask", "")) if main.get("mask") else None
        self.size = bitmap_size(self.picture) if os.path.isfile(self.picture) else (0, 0)
        self.elements = {}
        for word, section in KINDS.items():
            keys = ini.get(section.lower(), {})
            try:
                count = min(int(main.get(section.lower(), "0")), 49)
            except ValueError:
                count = 0
            for n in range(1, count + 1):
                prefix = f"{word}{n}".lower()
                name = keys.get(prefix + "name", "")
                rect = _pair(keys.get(prefix + "pos", "")) + _pair(keys.get(prefix + "size", ""))
                self.elements.setdefault((word, name), rect)

    def has(self, kind, name):
        return (kind, name) in self.elements

    def rect(self, kind, name):
        try:
            return self.elements[(kind, name)]
        except KeyError:
            raise KeyError(f"the skin {os.path.basename(self.path)} has no {kind} named {name}") from None

    def centre(self, kind, name):
        left, top, width, height = self.rect(kind, name)
        return left + width // 2, top + height // 2

    def button(self, name):
        return self.centre("But", name)

    def body_point(self):
        """A point of the window body that no element covers (the popup menu
        opens there): searched along the top edge, below the outline's
        rounded corners."""
        width, height = self.size
        for y in range(10, height // 3, 4):
            for x in range(width // 3, width - 20, 6):
                if not any(l <= x < l + w and t <= y < t + h
                           for (l, t, w, h) in self.elements.values()):
                    return x, y
        raise ValueError(f"no free body point in {self.path}")

    def element_file(self, kind, name, attribute):
        """The picture file an element's attribute names (for example a
        button's "Default"), as a path."""
        ini = _read_ini(self.path)
        section = ini.get(KINDS[kind].lower(), {})
        main = ini.get("main", {})
        for n in range(1, 50):
            prefix = f"{kind}{n}".lower()
            if section.get(prefix + "name") == name:
                value = section.get(prefix + attribute.lower(), "")
                return os.path.join(os.path.dirname(self.path), main.get("picturedir", ""), value)
        raise KeyError(name)
