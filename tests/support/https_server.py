#!/usr/bin/env python3
"""Test server for the HTTP client: several listeners on 127.0.0.1 with
ephemeral ports, each plain HTTP or HTTPS with its own certificate.

    https_server.py --ready FILE --key KEY --listener NAME=plain|mute|CERT ...

Once every listener is up, FILE holds one NAME=PORT line each. The paths:
    /echo...        200, the request target as the body
    /headers        200, the value of the request header X-Kestrel-Test
    /chunks         200, chunked: "line 00000\\n" .. "line 02999\\n" in pieces
    /huge           200, 6 MiB of "0123456789abcdef"
    /missing        404 with a body
    /error          500, body "server error body"
    /early-close    announces 50000 bytes of the pattern, sends 5000, closes
    /no-answer      closes the connection without answering
    /silent         never answers, holds the connection until the client leaves
    /trickle        the status line, then one header byte every 2 s
    /trickle-body   the headers, then one body byte every 2 s
    /redirect?URL   302 to URL (the whole query, taken as it is)
A mute listener does not even complete a TLS handshake.
"""

import argparse
import os
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler

# No __pycache__ in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "tools", "demo_service"))
from version_service import serve_listeners, trickle, wait_for_client_to_leave  # noqa: E402

PATTERN = b"0123456789abcdef"


class TestHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, format, *args):
        pass

    def send_body(self, status, body):
        self.send_response(status)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        path = self.path
        if path.startswith("/echo"):
            self.send_body(200, path.encode("utf-8"))
        elif path.startswith("/redirect?"):
            self.send_response(302)
            self.send_header("Location", path.split("?", 1)[1])
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif path == "/headers":
            self.send_body(200, (self.headers.get("X-Kestrel-Test") or "").encode("utf-8"))
        elif path == "/chunks":
            self.send_chunks()
        elif path == "/huge":
            self.send_body(200, PATTERN * (6 * 1024 * 1024 // len(PATTERN)))
        elif path == "/error":
            self.send_body(500, b"server error body")
        elif path == "/early-close":
            self.send_response(200)
            self.send_header("Content-Length", "50000")
            self.end_headers()
            self.wfile.write((PATTERN * 3125)[:5000])
            self.wfile.flush()
            self.close_connection = True
        elif path == "/no-answer":
            self.close_connection = True
        elif path == "/silent":
            wait_for_client_to_leave(self.connection)
            self.close_connection = True
        elif path == "/trickle":
            trickle(self, b"HTTP/1.1 200 OK\r\n")
        elif path == "/trickle-body":
            trickle(self, b"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n")
        else:
            self.send_body(404, b"no such thing")

    def send_chunks(self):
        self.send_response(200)
        self.send_header("Transfer-Encoding", "chunked")
        self.end_headers()
        body = b"".join(b"line %05d\n" % i for i in range(3000))
        for start in range(0, len(body), 1500):
            piece = body[start:start + 1500]
            self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
            self.wfile.flush()
            if start % 6000 == 0:
                time.sleep(0.01)
        self.wfile.write(b"0\r\n\r\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--ready", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--listener", action="append", default=[])
    options = parser.parse_args()

    serve_listeners(options.listener, options.key, TestHandler, options.ready)
    threading.Event().wait()


if __name__ == "__main__":
    main()
