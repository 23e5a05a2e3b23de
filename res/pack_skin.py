"""Packs the skin folder into the zip that Kestrel embeds as ZIPRES 101.

Usage: pack_skin.py SKIN_FOLDER OUTPUT_ZIP

Entries keep a fixed time stamp so that the package only changes when the
skin does; folders get their own stored entries; files are deflated.
"""
import os
import sys
import zipfile

STAMP = (2026, 1, 1, 0, 0, 0)


def entries(root):
    for folder, folders, files in os.walk(root):
        folders.sort()
        relative = os.path.relpath(folder, root).replace(os.sep, '/')
        if relative != '.':
            yield relative + '/', None
        for name in sorted(files):
            path = os.path.join(folder, name)
            yield os.path.relpath(path, root).replace(os.sep, '/'), path


def main():
    root, output = sys.argv[1], sys.argv[2]
    partial = output + '.part'
    with zipfile.ZipFile(partial, 'w') as archive:
        for name, path in entries(root):
            info = zipfile.ZipInfo(name, STAMP)
            if path is None:
                info.external_attr = 0x10
                archive.writestr(info, b'', zipfile.ZIP_STORED)
                continue
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, 'rb') as source:
                archive.writestr(info, source.read())
    os.replace(partial, output)


if __name__ == '__main__':
    main()
