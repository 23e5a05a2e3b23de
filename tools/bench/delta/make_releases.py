#!/usr/bin/env python3
"""Two releases of a stand-in Tarnwick for the delta benchmark:
    make_releases.py TARNWICK.EXE OLD_DIR NEW_DIR
OLD_DIR: Tarnwick.exe (the program with 20 MB of program-like bytes
appended), 49 files of 1 MB. NEW_DIR: the same, with about 1 % of
Tarnwick.exe rewritten in 40 places (a rebuild with one function changed
moves code and its references around), and one new 1 MB file."""
import os
import random
import sys

program, old, new = sys.argv[1:4]
rng = random.Random(2025)
TARNWICK_BYTES = 20 * 1000 * 1000


def code_like(size):
    # Instruction-like bytes: a small alphabet with repeats, compressing
    # about as well as real machine code.
    words = [rng.randbytes(rng.randint(2, 7)) for _ in range(4096)]
    out = bytearray()
    while len(out) < size:
        out += words[rng.randrange(len(words))]
    return bytes(out[:size])


with open(program, "rb") as f:
    stub = f.read()
body = stub + code_like(TARNWICK_BYTES - len(stub))
changed = bytearray(body)
for _ in range(40):
    at = rng.randrange(len(stub), len(body) - 5000)
    changed[at:at + 5000] = code_like(5000)
for folder in (old, new):
    os.makedirs(os.path.join(folder, "data"), exist_ok=True)
for i in range(49):
    data = rng.randbytes(1000000)
    for folder in (old, new):
        with open(os.path.join(folder, "data", "asset%02d.bin" % i), "wb") as f:
            f.write(data)
with open(os.path.join(old, "Tarnwick.exe"), "wb") as f:
    f.write(body)
with open(os.path.join(new, "Tarnwick.exe"), "wb") as f:
    f.write(bytes(changed))
with open(os.path.join(new, "data", "asset49.bin"), "wb") as f:
    f.write(rng.randbytes(1000000))
