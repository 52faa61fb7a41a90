"""Turns the window's images into the forms a Windows program carries.

  make_resources.py <images folder> <output folder>

reads sky.jpg, konversi-16.png and konversi-32.png (drawn by
ui/tools/draw_images.cpp) and writes sky.bmp, which the program draws without
a JPEG decoder, and konversi.ico, the window's and the program file's icon:
both sizes as 16-colour bitmaps with a transparency mask, the form every
Windows version reads.
"""

import struct
import sys
from pathlib import Path

from PIL import Image

# The classic sixteen colours, in the order the icon's pixels index them.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def padded(row: bytes) -> bytes:
    """Bitmap rows are stored in whole 32-bit words."""
    return row + bytes(-len(row) % 4)


def icon_image(png: Path) -> tuple[int, bytes]:
    """One icon image: header, palette, 4-bit colours and 1-bit mask, bottom row first."""
    image = Image.open(png).convert("RGBA")
    size = image.width
    colours, mask = b"", b""
    for y in reversed(range(size)):
        indexes, clear = [], []
        for x in range(size):
            r, g, b, a = image.getpixel((x, y))
            clear.append(a == 0)
            # A drawing pixel outside the sixteen colours is a fault of the drawing.
            indexes.append(0 if a == 0 else PALETTE.index((r, g, b)))
        colours += padded(bytes(indexes[i] << 4 | indexes[i + 1] for i in range(0, size, 2)))
        mask += padded(bytes(sum(clear[i + j] << (7 - j) for j in range(8))
                             for i in range(0, size, 8)))
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0,
                         len(colours) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return size, header + palette + colours + mask


def write_icon(images: list[tuple[int, bytes]], path: Path) -> None:
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries, data = b"", b""
    for size, image in images:
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
        data += image
    path.write_bytes(directory + entries + data)


def main() -> None:
    source, out = Path(sys.argv[1]), Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    Image.open(source / "sky.jpg").convert("RGB").save(out / "sky.bmp", "BMP")
    write_icon([icon_image(source / f"konversi-{size}.png") for size in (32, 16)],
               out / "konversi.ico")


if __name__ == "__main__":
    main()
