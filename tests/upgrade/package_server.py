#!/usr/bin/env python3
"""Package server for the upgrade worker tests: listeners on 127.0.0.1 with
ephemeral ports, each plain HTTP or HTTPS with its own certificate, serving
the files of one folder.

    package_server.py --ready FILE --root DIR --key KEY --listener NAME=plain|CERT ...

Once every listener is up, FILE holds one NAME=PORT line each. The paths
(query and fragment ignored):
    /files/NAME        200, the file with its Content-Length
    /slow/NAME         200, the file in 1 KiB pieces 15 ms apart
    /steady/NAME       200, the file in 8 pieces 0.5 s apart
    /stall/NAME        200 announcing the whole file, which stops after half of it
    /chunked/NAME      200, the file chunked, so no size is announced
    /empty/NAME        200 with an empty body
    /status/CODE/NAME  CODE (404, 500, ...) with an HTML error page
    /named/NAME/ANY    200, the file NAME, whatever the last component ANY
    /redirect?URL      302 to URL (the whole query, taken as it is)
    /cut/AT/MODE/NAME  the file with an ETag, answering "Range: bytes=N-" with
                       a 206 when If-Range names that ETag; every transfer
                       stops at the first of the byte offsets AT (comma
                       separated) it passes. MODE changes that:
                         range    as described
                         lastmod  Last-Modified instead of an ETag
                         ignore   ranges ignored (200); only the first
                                  request, the one without a range, is cut
                         changed  the file changed before any ranged request:
                                  another ETag, so the whole file, uncut
                         shifted  206 whose Content-Range starts at 0
                         total    206 whose Content-Range total is one more
                         refuse   416 to ranged requests
                         slow     as range, at 1 MB a second
                       While a file "outage" lies in the served folder, every
                       ranged request to /cut/ gets a 503, so that a run ends
                       with the bytes before the cut.
Every answer to /cut/ is appended to --log as "PATH RANGE STATUS BYTES-SENT".
"""

import argparse
import os
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "tools", "demo_service"))
from version_service import (requested_start, send_file, serve_listeners,  # noqa: E402
                             wait_for_client_to_leave)

ROOT = None
LOG = None
LOG_LOCK = threading.Lock()
LAST_MODIFIED = "Tue, 01 Dec 2026 10:00:00 GMT"


class PackageHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, format, *args):
        pass

    def send_body(self, status, body, content_type="application/octet-stream"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def file_body(self, name):
        path = os.path.join(ROOT, os.path.basename(name))
        try:
            with open(path, "rb") as f:
                return f.read()
        except OSError:
            return None

    def do_GET(self):
        if self.path.startswith("/redirect?"):
            self.send_response(302)
            self.send_header("Location", self.path.split("?", 1)[1])
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        path = self.path.split("?", 1)[0].split("#", 1)[0]
        parts = path.strip("/").split("/")
        kind, name = parts[0], parts[-1]
        if kind == "named" and len(parts) >= 3:
            name = parts[1]
        if kind == "status" and len(parts) == 3:
            page = b"<html><body>error %s</body></html>" % parts[1].encode()
            self.send_body(int(parts[1]), page, "text/html")
            return
        if kind == "cut" and len(parts) == 4:
            self.send_cut(parts[1], parts[2], self.file_body(name))
            return
        if kind == "empty":
            self.send_body(200, b"")
            return
        body = self.file_body(name)
        if body is None:
            self.send_body(404, b"<html><body>no such package</body></html>", "text/html")
        elif kind in ("files", "named"):
            self.send_body(200, body)
        elif kind == "slow":
            self.send_slowly(body)
        elif kind == "steady":
            self.send_slowly(body, len(body) // 8 + 1, 0.5)
        elif kind == "stall":
            self.send_head(len(body))
            self.wfile.write(body[:len(body) // 2])
            self.wfile.flush()
            wait_for_client_to_leave(self.connection)
            self.close_connection = True
        elif kind == "chunked":
            self.send_chunked(body)
        else:
            self.send_body(404, b"<html><body>unknown path</body></html>", "text/html")

    def send_cut(self, offsets, mode, body):
        if body is None:
            self.send_body(404, b"<html><body>no such package</body></html>", "text/html")
            return
        cuts = [int(offset) for offset in offsets.split(",")]
        ranged = "Range" in self.headers
        if ranged and os.path.exists(os.path.join(ROOT, "outage")):
            self.send_body(503, b"<html><body>out of service</body></html>", "text/html")
            self.log_cut(503, 0)
            return
        etag = '"v2"' if mode == "changed" and ranged else '"v1"'
        validators = [LAST_MODIFIED] if mode == "lastmod" else [etag]
        start = None if mode == "ignore" else requested_start(self, validators)
        if mode == "refuse" and ranged:
            start = len(body)
        if mode in ("ignore", "changed") and ranged:
            cuts = []
        status, sent = send_file(
            self, body, start, cuts,
            etag=None if mode == "lastmod" else etag,
            last_modified=LAST_MODIFIED if mode == "lastmod" else None,
            shift=start or 0 if mode == "shifted" else 0,
            extra_total=1 if mode == "total" else 0,
            rate=1000000 if mode == "slow" else 0)
        self.log_cut(status, sent)

    def log_cut(self, status, sent):
        with LOG_LOCK, open(LOG, "a") as log:
            log.write("%s %s %d %d\n" % (self.path, self.headers.get("Range", "-").replace(" ", ""),
                                          status, sent))

    def send_head(self, length):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(length))
        self.end_headers()

    def send_slowly(self, body, piece=1024, pause=0.015):
        self.send_head(len(body))
        for start in range(0, len(body), piece):
            self.wfile.write(body[start:start + piece])
            self.wfile.flush()
            time.sleep(pause)

    def send_chunked(self, body):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Transfer-Encoding", "chunked")
        self.end_headers()
        for start in range(0, len(body), 4096):
            piece = body[start:start + 4096]
            self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
            self.wfile.flush()
        self.wfile.write(b"0\r\n\r\n")


def main():
    global ROOT, LOG
    parser = argparse.ArgumentParser()
    parser.add_argument("--ready", required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--listener", action="append", default=[])
    parser.add_argument("--log", required=True)
    options = parser.parse_args()
    ROOT = options.root
    LOG = options.log

    serve_listeners(options.listener, options.key, PackageHandler, options.ready)
    threading.Event().wait()


if __name__ == "__main__":
    main()
