"""Writes the zip archives that the skin source tests read.

Usage: make_fixtures.py FOLDER
"""
import os
import struct
import sys
import zipfile

STAMP = (2024, 5, 6, 7, 8, 10)

LAYOUT = ('<!-- test -->\r\n<?xml version="1.0" encoding="utf-8"?>\r\n'
          '<Window size="500,310" caption="0,0,0,36">\r\n'
          '  <Label text="\u5347\u7ea7 &amp; more" />\r\n'
          '</Window>\r\n').encode('utf-8')


def entry(archive, name, data, method=zipfile.ZIP_DEFLATED):
    info = zipfile.ZipInfo(name, STAMP)
    info.compress_type = method
    info.external_attr = (0o40755 << 16) | 0x10 if name.endswith('/') else 0o644 << 16
    archive.writestr(info, data)


def png_like(size):
    # Deterministic bytes that deflate only a little.
    out = bytearray()
    state = 12345
    while len(out) < size:
        state = (state * 1103515245 + 12345) & 0x7fffffff
        out.append((state >> 16) & 0xFF if state % 3 else 0x41)
    return bytes(out[:size])


def make_skin(path):
    with zipfile.ZipFile(path, 'w') as archive:
        entry(archive, 'Main.xml', LAYOUT)
        entry(archive, 'img/', b'', zipfile.ZIP_STORED)
        entry(archive, 'img/pic_bg.png', png_like(92932))
        entry(archive, 'stored.bin', png_like(5000), zipfile.ZIP_STORED)
        entry(archive, 'empty.xml', b'')
        entry(archive, 'limit.xml', layout_of_size(4194304))
        entry(archive, 'over.xml', layout_of_size(4194305))


def layout_of_size(size):
    head = b'<Window>'
    tail = b'</Window>'
    return head + b' ' * (size - len(head) - len(tail)) + tail


def patch_crc(path, name):
    """Changes the recorded CRC-32 of one entry in both of its headers."""
    data = bytearray(open(path, 'rb').read())
    with zipfile.ZipFile(path) as archive:
        info = archive.getinfo(name)
    wrong = struct.pack('<I', info.CRC ^ 0x5A5A5A5A)
    local = info.header_offset
    data[local + 14:local + 18] = wrong
    central = data.find(b'PK\x01\x02')
    while central >= 0:
        name_length = struct.unpack_from('<H', data, central + 28)[0]
        if data[central + 46:central + 46 + name_length] == name.encode():
            data[central + 16:central + 20] = wrong
            break
        central = data.find(b'PK\x01\x02', central + 4)
    open(path, 'wb').write(bytes(data))


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    skin = os.path.join(folder, 'skin.zip')
    make_skin(skin)
    skin_bytes = open(skin, 'rb').read()

    # A self-extractor's stub before the archive; offsets stay unadjusted.
    stub = b'MZ' + b'\x90' * 70000
    open(os.path.join(folder, 'prepended.zip'), 'wb').write(stub + skin_bytes)

    # Trailing bytes push the end record out of the searched 65,535 bytes.
    open(os.path.join(folder, 'comment70k.zip'), 'wb').write(skin_bytes + b'c' * 70000)

    bad = os.path.join(folder, 'badcrc.zip')
    with zipfile.ZipFile(bad, 'w') as archive:
        entry(archive, 'Main.xml', LAYOUT)
        entry(archive, 'stored.bin', png_like(3000), zipfile.ZIP_STORED)
    patch_crc(bad, 'Main.xml')
    patch_crc(bad, 'stored.bin')

    # Small and varied, for the mutation runs: every kind of entry.
    small = os.path.join(folder, 'small.zip')
    with zipfile.ZipFile(small, 'w') as archive:
        entry(archive, 'Main.xml', LAYOUT)
        entry(archive, 'img/', b'', zipfile.ZIP_STORED)
        entry(archive, 'img/a.png', png_like(3000))
        entry(archive, 'stored.bin', png_like(700), zipfile.ZIP_STORED)
        entry(archive, 'empty.xml', b'')
        entry(archive, 'long.txt', b'line of text\r\n' * 800)

    other = os.path.join(folder, 'other.zip')
    with zipfile.ZipFile(other, 'w') as archive:
        entry(archive, 'Main.xml', b'<Other />')


if __name__ == '__main__':
    main()
