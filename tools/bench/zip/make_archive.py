"""Writes a zip holding one deflated entry of about 50 MB of text-like data.

Usage: make_archive.py OUTPUT
"""
import random
import sys
import zipfile

SIZE = 50 * 1000 * 1000


def text(size):
    rng = random.Random(50)
    words = [''.join(rng.choice('abcdefghijklmnopqrstuvwxyz') for _ in range(rng.randint(2, 10)))
             for _ in range(5000)]
    words += ['\u5347\u7ea7', '\u7248\u672c', 'Tarnwick', '1.0.1.0', '\r\n']
    parts = []
    length = 0
    while length < size:
        chunk = ' '.join(rng.choices(words, k=100000)).encode('utf-8')
        parts.append(chunk)
        length += len(chunk)
    return b''.join(parts)[:size]


def main():
    with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as archive:
        archive.writestr(zipfile.ZipInfo('payload.txt', (2026, 1, 1, 0, 0, 0)), text(SIZE),
                         zipfile.ZIP_DEFLATED)


if __name__ == '__main__':
    main()
