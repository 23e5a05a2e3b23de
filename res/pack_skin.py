"""Packs the skin package that Kestrel embeds as ZIPRES 101.

Usage: pack_skin.py SKIN_FOLDER OUTPUT_ZIP

Every image travels at 1x and 2x (name@2x.png, for displays of 192 DPI;
the windows resample it for the scales between). The entries and their
order are fixed here, so a stray file in the folder never travels with the
program. Entries keep a fixed time stamp so that the
package only changes when the skin does; the folder entry is stored and
empty, files are deflated.
"""
import os
import sys
import zipfile

STAMP = (2026, 1, 1, 0, 0, 0)

ENTRIES = [
    'MessageBox.xml',
    'img/',
    'img/buttonA.png',
    'img/buttonA@2x.png',
    'img/buttonB.png',
    'img/buttonB@2x.png',
    'img/icon_close.png',
    'img/icon_close@2x.png',
    'img/icon_logo.png',
    'img/icon_logo@2x.png',
    'img/icon_vscrollbar.png',
    'img/icon_vscrollbar@2x.png',
    'img/pic_bg.png',
    'img/pic_bg@2x.png',
    'MainWindow.xml',
]


def main():
    root, output = sys.argv[1], sys.argv[2]
    partial = output + '.part'
    with zipfile.ZipFile(partial, 'w') as archive:
        for name in ENTRIES:
            info = zipfile.ZipInfo(name, STAMP)
            if name.endswith('/'):
                info.external_attr = 0x10
                archive.writestr(info, b'', zipfile.ZIP_STORED)
                continue
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(root, *name.split('/')), 'rb') as source:
                archive.writestr(info, source.read())
    os.replace(partial, output)


if __name__ == '__main__':
    main()
