#!/usr/bin/env python3
"""Writes the hostile and damaged packages that no packing tool makes.

  make_packages.py zip OUT NAME...        a zip whose items carry NAME verbatim
  make_packages.py 7z OUT NAME            a 7z (made by 7zz) whose item is renamed to NAME
  make_packages.py damage-7z IN OUT       a 7z with one byte of packed data changed
  make_packages.py damage-zip IN OUT      a zip with one byte of its first item's data changed
  make_packages.py dictionary IN OUT MiB  the .lzma, or 7z with a plain header and LZMA, IN
                                          with its dictionary size set to MiB (the data
                                          still decodes: it needs less)
"""
import os
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

ITEM_DATA = b"hostile item\r\n"


def write_zip(out, names):
    with zipfile.ZipFile(out, "w") as archive:
        for name in names:
            info = zipfile.ZipInfo(name)
            # Made on MS-DOS, so readers take "\" as a separator as well.
            info.create_system = 0
            archive.writestr(info, ITEM_DATA)


def fix_7z_crcs(data):
    next_offset, next_size = struct.unpack_from("<QQ", data, 12)
    start = 32 + next_offset
    header = data[start:start + next_size]
    struct.pack_into("<I", data, 28, zlib.crc32(header))
    struct.pack_into("<I", data, 8, zlib.crc32(bytes(data[12:32])))


def write_renamed_7z(out, name):
    # 7zz refuses to store such names, so pack a placeholder of the same
    # length with a plain header and write the name over it.
    placeholder = "A" * len(name)
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, placeholder), "wb") as item:
            item.write(ITEM_DATA)
        packed = os.path.join(folder, "packed.7z")
        subprocess.run(["7zz", "a", "-bd", "-mhc=off", "-m0=Copy", packed, placeholder],
                       cwd=folder, check=True, stdout=subprocess.DEVNULL)
        data = bytearray(open(packed, "rb").read())
    old = placeholder.encode("utf-16-le")
    position = data.find(old, 32)
    if position < 0:
        sys.exit("placeholder name not found in the 7z header")
    data[position:position + len(old)] = name.encode("utf-16-le")
    fix_7z_crcs(data)
    open(out, "wb").write(data)


def damage_7z(source, out):
    data = bytearray(open(source, "rb").read())
    next_offset = struct.unpack_from("<Q", data, 12)[0]
    data[32 + next_offset // 2] ^= 0x55
    open(out, "wb").write(data)


def damage_zip(source, out):
    data = bytearray(open(source, "rb").read())
    name_length, extra_length = struct.unpack_from("<HH", data, 26)
    packed_size = struct.unpack_from("<I", data, 18)[0]
    data[30 + name_length + extra_length + packed_size // 2] ^= 0x55
    open(out, "wb").write(data)


def set_dictionary(source, out, mib):
    data = bytearray(open(source, "rb").read())
    size = int(mib) * 1024 * 1024
    if source.endswith(".lzma"):
        struct.pack_into("<I", data, 1, size)
    else:
        # The LZMA coder's record: flags (3-byte id, with properties), the
        # id 03 01 01, 5 bytes of properties, the dictionary size last.
        position = data.find(b"\x23\x03\x01\x01\x05", 32)
        if position < 0:
            sys.exit("no LZMA coder record in the 7z header")
        struct.pack_into("<I", data, position + 6, size)
        fix_7z_crcs(data)
    open(out, "wb").write(data)


def main(args):
    command = args[0]
    if command == "zip":
        write_zip(args[1], args[2:])
    elif command == "7z":
        write_renamed_7z(args[1], args[2])
    elif command == "damage-7z":
        damage_7z(args[1], args[2])
    elif command == "damage-zip":
        damage_zip(args[1], args[2])
    elif command == "dictionary":
        set_dictionary(args[1], args[2], args[3])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
