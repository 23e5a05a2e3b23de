#!/usr/bin/env python3
"""A local Tarnwick version service over HTTPS for the demo and the tests.

GET /v1/oem/clientVersion?oemId=N answers from the answers folder, read
afresh for every request:
    N.json / N.status        body and status code for OEM identifier N
    default.json / .status   for identifiers without files of their own
    certificate              "self-signed" serves the self-signed certificate
                             instead of the trusted one (new connections)
    silent                   when present, requests get no answer at all
    redirect                 "http" or "https": requests are redirected once
                             to the same target on the plain listener of
                             --plain or on this service
The status defaults to 200; without any body file the answer is --fallback.
Every request target is appended to requests.log in the folder.
GET /redirect?URL answers 302 to URL (the whole query, taken as it is).
GET /packages/NAME serves the file NAME of the --packages folder, at most
--package-rate bytes a second when that is given (the demo shows a download
that takes a few seconds). A file "package-rate" in the answers folder
overrides it per request: a rate, or "stall" (no answer at all, until the
client goes). Packages carry an ETag and answer "Range: bytes=N-" (with
If-Range) with a 206; a file "package-cut" in the answers folder lists byte
offsets at which each transfer passing them stops, and while a file
"package-outage" lies there every ranged request gets a 503. Every package
answer is appended to packages.log as "NAME RANGE STATUS BYTES-SENT".
"""

import argparse
import fcntl
import os
import re
import socket
import ssl
import sys
import threading
import time
import urllib.parse
import zlib
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

SERVICE_PATH = "/v1/oem/clientVersion"
# A listener that accepts connections and never says a word, not even TLS.
MUTE = "mute"


class TlsServer(ThreadingHTTPServer):
    """Threading HTTP server whose connections are wrapped in TLS in their own
    thread, so a client that stalls or rejects the handshake holds up no
    other. choose_context(server) picks the certificate per connection; None
    serves plain HTTP."""

    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, handler, choose_context):
        super().__init__(address, handler)
        self.choose_context = choose_context

    def finish_request(self, request, client_address):
        context = self.choose_context(self)
        if context == MUTE:
            wait_for_client_to_leave(request)
            request.close()
            return
        if context is not None:
            request.settimeout(15)
            try:
                request = context.wrap_socket(request, server_side=True)
            except (OSError, ssl.SSLError):
                return
            request.settimeout(None)
        try:
            super().finish_request(request, client_address)
        except (OSError, ssl.SSLError):
            pass
        finally:
            try:
                request.close()
            except OSError:
                pass

    def handle_error(self, request, client_address):
        pass


def wait_for_client_to_leave(connection):
    """Reads and drops whatever the client sends until it closes."""
    try:
        while connection.recv(4096):
            pass
    except OSError:
        pass


def trickle(handler, head, interval=2):
    """Sends head, then one byte every interval seconds until the client leaves."""
    try:
        handler.wfile.write(head)
        handler.wfile.flush()
        while True:
            time.sleep(interval)
            handler.wfile.write(b"x")
            handler.wfile.flush()
    except OSError:
        pass
    handler.close_connection = True


def requested_start(handler, validators):
    """The first byte a "Range: bytes=N-" request asks for, or None for the
    whole file: no range, another form of range, or an If-Range that names
    none of validators (the file changed)."""
    match = re.fullmatch(r"bytes=([0-9]+)-", handler.headers.get("Range", "").strip())
    if not match:
        return None
    if_range = handler.headers.get("If-Range")
    if if_range is not None and if_range not in validators:
        return None
    return int(match.group(1))


def send_file(handler, body, start=None, cuts=(), etag=None, last_modified=None,
              shift=0, extra_total=0, rate=0):
    """Answers with body, or with its bytes from start on as a 206 (416 when
    start lies beyond it). Validators go out when given. The transfer stops,
    and the connection closes, at the first byte offset of cuts inside the
    part sent. shift and extra_total falsify the Content-Range for tests. A
    rate sends at most that many bytes a second. Returns (status, bytes of
    body sent), also when the client goes away during the body."""
    size = len(body)
    if start is not None and start >= size:
        handler.send_response(416)
        handler.send_header("Content-Range", "bytes */%d" % size)
        handler.send_header("Content-Length", "0")
        handler.end_headers()
        return 416, 0
    first = start or 0
    handler.send_response(206 if start is not None else 200)
    handler.send_header("Content-Type", "application/octet-stream")
    handler.send_header("Content-Length", str(size - first))
    if start is not None:
        handler.send_header("Content-Range", "bytes %d-%d/%d"
                            % (first - shift, size - 1 - shift, size + extra_total))
    if etag:
        handler.send_header("ETag", etag)
    if last_modified:
        handler.send_header("Last-Modified", last_modified)
    handler.send_header("Accept-Ranges", "bytes")
    handler.end_headers()
    end = min([size] + [cut for cut in cuts if first < cut < size])
    piece = max(1, rate // 20) if rate else max(1, end - first)
    status = 206 if start is not None else 200
    sent = 0
    try:
        for at in range(first, end, piece):
            handler.wfile.write(body[at:min(end, at + piece)])
            handler.wfile.flush()
            sent = min(end, at + piece) - first
            if rate:
                time.sleep(0.05)
    except OSError:
        # The client went away (it refused the answer, or was ended).
        handler.close_connection = True
        return status, sent
    # Closing the connection short of the announced length is a cut transfer.
    if end < size:
        handler.close_connection = True
    return status, end - first


def tls_context(cert, key):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    return context


def write_ready(path, text):
    temp = path + ".tmp"
    with open(temp, "w") as f:
        f.write(text)
    os.replace(temp, path)


def serve_listeners(listeners, key, handler, ready):
    """Starts one server on an ephemeral 127.0.0.1 port per NAME=plain|mute|CERT
    listener and writes NAME=PORT lines to ready once all are up."""
    ports = []
    for listener in listeners:
        name, cert = listener.split("=", 1)
        context = None if cert == "plain" else MUTE if cert == MUTE else tls_context(cert, key)
        server = TlsServer(("127.0.0.1", 0), handler, lambda server, c=context: c)
        threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.2},
                         daemon=True).start()
        ports.append("%s=%d\n" % (name, server.server_address[1]))
    write_ready(ready, "".join(ports))


def read_file(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


class ServiceHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "KestrelLocalVersionService"

    def log_message(self, format, *args):
        pass

    def send_body(self, status, body, content_type="application/json; charset=utf-8"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        options = self.server.options
        answers = options.answers
        with self.server.log_lock, open(os.path.join(answers, "requests.log"), "a") as log:
            log.write(self.path + "\n")
        url = urllib.parse.urlsplit(self.path)
        if url.path == "/redirect":
            self.send_redirect(url.query)
        elif url.path == SERVICE_PATH and read_file(os.path.join(answers, "silent")) is not None:
            wait_for_client_to_leave(self.connection)
            self.close_connection = True
        elif url.path == SERVICE_PATH and self.redirect_to(answers, url):
            pass
        elif url.path == SERVICE_PATH:
            self.answer_version(answers, urllib.parse.parse_qs(url.query).get("oemId", [""])[0])
        elif url.path.startswith("/packages/") and options.packages:
            self.serve_package(options.packages, url.path[len("/packages/"):])
        else:
            self.send_body(404, b"no such thing\n", "text/plain")

    def redirect_to(self, answers, url):
        scheme = (read_file(os.path.join(answers, "redirect")) or b"").strip().decode()
        if scheme not in ("http", "https") or "redirected" in url.query:
            return False
        port = self.server.options.plain_port if scheme == "http" else self.server.options.port
        if not port:
            return False
        self.send_redirect("%s://localhost:%d%s&redirected" % (scheme, port, self.path))
        return True

    def send_redirect(self, location):
        self.send_response(302)
        self.send_header("Location", location)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def answer_version(self, answers, oem_id):
        names = ["default"]
        if re.fullmatch(r"-?[0-9]+", oem_id):
            names.insert(0, oem_id)
        for name in names:
            body = read_file(os.path.join(answers, name + ".json"))
            status = read_file(os.path.join(answers, name + ".status"))
            if body is None and status is None:
                continue
            self.send_body(int(status or b"200"), body or b"")
            return
        self.send_body(200, self.server.options.fallback.encode("utf-8"))

    def serve_package(self, folder, name):
        if "/" in name or name.startswith("."):
            self.send_body(404, b"no such package\n", "text/plain")
            return
        body = read_file(os.path.join(folder, name))
        if body is None:
            self.send_body(404, b"no such package\n", "text/plain")
            return
        rate = self.server.options.package_rate
        answers = self.server.options.answers
        mode = (read_file(os.path.join(answers, "package-rate")) or b"").strip()
        if mode == b"stall":
            self.stall()
            return
        if mode:
            rate = int(mode)
        cuts = [int(cut) for cut in (read_file(os.path.join(answers, "package-cut")) or b"").split()]
        etag = '"%d-%d"' % (len(body), zlib.crc32(body))
        if "Range" in self.headers and read_file(os.path.join(answers, "package-outage")) is not None:
            self.send_body(503, b"out of service\n", "text/plain")
            status, sent = 503, 0
        else:
            start = requested_start(self, [etag])
            status, sent = send_file(self, body, start, cuts, etag=etag, rate=rate)
        with self.server.log_lock, open(os.path.join(answers, "packages.log"), "a") as log:
            log.write("%s %s %d %d\n" % (name, self.headers.get("Range", "-"), status, sent))

    def stall(self):
        try:
            while self.connection.recv(1):
                pass
        except OSError:
            pass


def hold_lock(path, seconds):
    """Serialises every user of the fixed port on this machine (tests of
    several developers, the demo): the lock lives as long as the process."""
    handle = open(path, "a")
    deadline = time.time() + seconds
    announced = False
    while True:
        try:
            fcntl.flock(handle, fcntl.LOCK_EX | fcntl.LOCK_NB)
            return handle
        except OSError:
            if time.time() > deadline:
                sys.exit("version service: port lock %s still held after %ds" % (path, seconds))
            if not announced:
                print("version service: waiting for %s (another run uses the port)" % path,
                      file=sys.stderr, flush=True)
                announced = True
            time.sleep(0.2)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=1011)
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--self-signed-cert")
    parser.add_argument("--answers", required=True)
    parser.add_argument("--packages")
    parser.add_argument("--package-rate", type=int, default=0, help="bytes a second for packages")
    parser.add_argument("--fallback", default='{"Code":3,"Msg":"no version data"}')
    parser.add_argument("--plain", action="store_true",
                        help="also a plain HTTP listener on a port of the system's choice")
    parser.add_argument("--ready", required=True, help="file written once the port listens")
    parser.add_argument("--lock", help="file locked while the port is in use")
    parser.add_argument("--lock-wait", type=int, default=180)
    options = parser.parse_args()

    lock = hold_lock(options.lock, options.lock_wait) if options.lock else None
    trusted = tls_context(options.cert, options.key)
    self_signed = tls_context(options.self_signed_cert, options.key) if options.self_signed_cert else None

    def choose(server):
        mode = read_file(os.path.join(options.answers, "certificate")) or b""
        if self_signed is not None and mode.strip() == b"self-signed":
            return self_signed
        return trusted

    server = None
    deadline = time.time() + 30
    while server is None:
        try:
            server = TlsServer(("127.0.0.1", options.port), ServiceHandler, choose)
        except OSError as error:
            # A server of an earlier run may still be in its last moments.
            if time.time() > deadline:
                sys.exit("version service: cannot listen on 127.0.0.1:%d: %s" % (options.port, error))
            time.sleep(0.2)
    server.options = options
    server.log_lock = threading.Lock()
    server.port_lock = lock
    options.plain_port = 0
    if options.plain:
        plain = TlsServer(("127.0.0.1", 0), ServiceHandler, lambda server: None)
        plain.options = options
        plain.log_lock = server.log_lock
        options.plain_port = plain.server_address[1]
        threading.Thread(target=plain.serve_forever, kwargs={"poll_interval": 0.2},
                         daemon=True).start()
    write_ready(options.ready, "%d\n%d\n" % (server.server_address[1], options.plain_port))
    # Ends by a signal; the port and the lock go with the process.
    server.serve_forever(poll_interval=0.2)


if __name__ == "__main__":
    main()
