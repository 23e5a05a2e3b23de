#!/usr/bin/env python3
"""Makes a Tarnwick release for Kestrel in one command.

    tools/publish.py --version 1.0.1.0 --release-dir DIR
                     [--previous DIR@1.0.0.9 ...] [--key publisher.pem]
                     [--notes FILE] --base-url https://host/path/ --out OUTDIR

Writes into OUTDIR:
  tarnwick-VERSION.7z            the full package (7zz) of everything in DIR
  tarnwick-FROM-VERSION.delta    one delta per --previous release (zstd --patch-from)
  answer.json                    the version answer that offers them
and prints each file's size. With --key (the publisher's ECDSA P-256 private
key, the partner of the public key Kestrel was built with) every file is
signed with openssl, and the answer carries the signatures.

The delta's format is Kestrel's "KDELTA1" (see README.md): every file of the
new release with its size and SHA-256; for each changed file the smaller of
a patch against the previous release's file and the file alone; the names
the new release drops.
"""

import argparse
import base64
import hashlib
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile

MAGIC = b"KDELTA1\0"
KEEP, PATCH, WHOLE, REMOVE = 1, 2, 3, 4
# Kestrel maps a patch's base and result whole; larger files travel whole.
MAX_PATCHED_BYTES = 256 << 20
# Kestrel refuses larger deltas; the full package serves those releases.
MAX_DELTA_BYTES = 1 << 30


def fail(message):
    print(f"publish: {message}", file=sys.stderr)
    sys.exit(1)


def run(command, cwd=None):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, cwd=cwd)
    if result.returncode != 0:
        fail(f"{command[0]} failed: {result.stderr.decode(errors='replace').strip()}")
    return result.stdout


def release_files(folder):
    """Relative name ("/" between folders) -> path of every file under folder."""
    files = {}
    for root, dirs, names in os.walk(folder):
        dirs.sort()
        for name in sorted(names):
            path = os.path.join(root, name)
            if os.path.islink(path) or not os.path.isfile(path):
                fail(f"{path} is not a regular file")
            files[os.path.relpath(path, folder).replace(os.sep, "/")] = path
    if not files:
        fail(f"{folder} holds no files")
    return files


def sha256_of(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for piece in iter(lambda: f.read(1 << 20), b""):
            digest.update(piece)
    return digest.digest()


def compressed(path, work, level, base=None):
    """One zstd frame of path, made against base when given."""
    out = os.path.join(work, "frame")
    command = ["zstd", "-q", "-f", f"-{level}", "--no-check"]
    if level > 19:
        command.insert(3, "--ultra")
    if base:
        command.append(f"--patch-from={base}")
    run(command + [path, "-o", out])
    with open(out, "rb") as f:
        return f.read()


def delta_entries(new_files, old_files, work, level):
    entries = []
    for name, path in new_files.items():
        size = os.path.getsize(path)
        digest = sha256_of(path)
        old = old_files.get(name)
        if old and os.path.getsize(old) == size and sha256_of(old) == digest:
            entries.append((KEEP, name, size, digest, None))
            continue
        payload = (WHOLE, None, compressed(path, work, level))
        if old and size <= MAX_PATCHED_BYTES and os.path.getsize(old) <= MAX_PATCHED_BYTES:
            patch = compressed(path, work, level, base=old)
            if len(patch) < len(payload[2]):
                payload = (PATCH, (os.path.getsize(old), sha256_of(old)), patch)
        entries.append((payload[0], name, size, digest, payload[1:]))
    for name in sorted(set(old_files) - set(new_files)):
        entries.append((REMOVE, name, 0, None, None))
    return entries


def write_delta(entries, out_path):
    manifest = bytearray(MAGIC + struct.pack("<I", len(entries)))
    payloads = []
    for kind, name, size, digest, extra in entries:
        encoded = name.encode("utf-8")
        manifest += struct.pack("<BH", kind, len(encoded)) + encoded
        if kind != REMOVE:
            manifest += struct.pack("<Q", size) + digest
        if kind == PATCH:
            base_size, base_digest = extra[0]
            manifest += struct.pack("<Q", base_size) + base_digest
        if kind in (PATCH, WHOLE):
            manifest += struct.pack("<Q", len(extra[1]))
            payloads.append(extra[1])
    with open(out_path, "wb") as f:
        f.write(manifest)
        for payload in payloads:
            f.write(payload)


def proof(path, key):
    members = {"PackageSha256": sha256_of(path).hex()}
    if key:
        der = run(["openssl", "dgst", "-sha256", "-sign", key, path])
        members["PackageSignature"] = base64.b64encode(der).decode("ascii")
    return members


def check_key(key):
    text = run(["openssl", "pkey", "-in", key, "-noout", "-text"]).decode(errors="replace")
    if "prime256v1" not in text:
        fail(f"{key} is not an ECDSA P-256 (prime256v1) private key")


def version_text(text):
    parts = text.split(".")
    if not 1 <= len(parts) <= 4 or not all(p.isdigit() for p in parts):
        fail(f"'{text}' is not a version of up to four numbers joined by points")
    return text


def previous_release(text):
    folder, at, version = text.rpartition("@")
    if not at or not folder:
        fail(f"--previous takes DIR@VERSION, not '{text}'")
    if not os.path.isdir(folder):
        fail(f"{folder} is not a folder")
    return folder, version_text(version)


def main():
    parser = argparse.ArgumentParser(description="Makes a Tarnwick release for Kestrel.")
    parser.add_argument("--version", required=True, type=version_text)
    parser.add_argument("--release-dir", required=True)
    parser.add_argument("--previous", action="append", default=[], type=previous_release,
                        metavar="DIR@VERSION")
    parser.add_argument("--key")
    parser.add_argument("--notes")
    parser.add_argument("--base-url", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--level", type=int, default=19, help="zstd level of the deltas (1-22)")
    args = parser.parse_args()

    if not os.path.isdir(args.release_dir):
        fail(f"{args.release_dir} is not a folder")
    if args.key:
        check_key(args.key)
    base_url = args.base_url if args.base_url.endswith("/") else args.base_url + "/"
    os.makedirs(args.out, exist_ok=True)
    new_files = release_files(args.release_dir)

    package = f"tarnwick-{args.version}.7z"
    package_path = os.path.join(args.out, package)
    if os.path.exists(package_path):
        os.remove(package_path)
    run(["7zz", "a", "-t7z", "-bd", "-bso0", os.path.abspath(package_path)] + list(new_files),
        cwd=args.release_dir)
    data = {"LatestVersion": args.version}
    if args.notes:
        with open(args.notes, encoding="utf-8") as f:
            data["UpdateContent"] = f.read().strip()
    data["DownloadUrl"] = base_url + package
    data.update(proof(package_path, args.key))
    written = [package_path]

    deltas = []
    for folder, version in args.previous:
        name = f"tarnwick-{version}-{args.version}.delta"
        path = os.path.join(args.out, name)
        work = tempfile.mkdtemp(prefix="publish-")
        try:
            write_delta(delta_entries(new_files, release_files(folder), work, args.level), path)
        finally:
            shutil.rmtree(work)
        if os.path.getsize(path) > MAX_DELTA_BYTES:
            os.remove(path)
            print(f"publish: the delta from {version} is above 1 GiB: {version} gets the full package")
            continue
        offer = {"FromVersion": version, "DownloadUrl": base_url + name}
        offer.update(proof(path, args.key))
        deltas.append(offer)
        written.append(path)
    if deltas:
        data["Deltas"] = deltas

    answer_path = os.path.join(args.out, "answer.json")
    with open(answer_path, "w", encoding="utf-8") as f:
        json.dump({"Code": 0, "Msg": "", "Data": data}, f, ensure_ascii=False, indent=1)
        f.write("\n")
    written.append(answer_path)
    for path in written:
        print(f"{os.path.getsize(path):12d}  {path}")


if __name__ == "__main__":
    main()
