#!/usr/bin/env python3
"""Writes zip packages whose item order and damage the tests need.

  make_upgrade_packages.py OUT [--damage-last] NAME=TEXT...

Items are stored (no compression) in the order given, as made on MS-DOS so
that "\\" separates folders too; a NAME ending with "/" is a folder.
--damage-last changes one byte of the last item's data, so its CRC fails.
"""
import sys
import zipfile


def main():
    args = sys.argv[1:]
    out = args.pop(0)
    damage = False
    if args and args[0] == "--damage-last":
        damage = True
        args.pop(0)
    with zipfile.ZipFile(out, "w", zipfile.ZIP_STORED) as archive:
        for item in args:
            name, _, text = item.partition("=")
            info = zipfile.ZipInfo(name)
            info.create_system = 0
            if name.endswith("/"):
                info.external_attr = 0x10
            archive.writestr(info, text.encode("utf-8"))
    if damage:
        data = bytearray(open(out, "rb").read())
        last = item.partition("=")[2].encode("utf-8")
        position = data.rfind(last)
        if position < 0 or not last:
            sys.exit("the last item's data was not found")
        data[position] ^= 0x20
        open(out, "wb").write(data)


if __name__ == "__main__":
    main()
