#!/usr/bin/env python3
"""Local update server for the transport tests.

Usage: update_test_server.py WORKDIR

Creates two self-signed certificates for "localhost" in WORKDIR (trusted.pem, which
the test adds to the prefix's Root store, and untrusted.pem, which it never trusts),
starts one plain HTTP server and two HTTPS servers on free ports of 127.0.0.1 and
writes "http https_trusted https_untrusted" into WORKDIR/ports.txt.

The server ends on GET /quit, after 20 s without a request, or after 120 s in any
case, so a test that dies never leaves it behind for long.
"""
import http.server
import os
import socketserver
import ssl
import subprocess
import sys
import threading
import time

WORKDIR = sys.argv[1]
IDLE_LIMIT = 20.0
LIFETIME_LIMIT = 120.0

BIG_SIZE = 5 * 1024 * 1024
_last_request = [time.monotonic()]
_stop = threading.Event()


def pattern(size):
    """Deterministic body bytes: byte i is i % 251."""
    return (bytes(range(251)) * (size // 251 + 1))[:size]


BIG_BODY = pattern(BIG_SIZE)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send_body(self, status, body, content_type="application/octet-stream", length=None):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body) if length is None else length))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        _last_request[0] = time.monotonic()
        path = self.path.split("?", 1)[0]
        if path == "/quit":
            self.send_body(200, b"bye", "text/plain")
            _stop.set()
        elif path == "/software-upgrade/version":
            self.send_body(200, b"1.0.3.0", "text/plain")
        elif path == "/utf8":
            self.send_body(200, "Grüße 版本".encode("utf-8"), "text/plain; charset=utf-8")
        elif path == "/headers":
            # The request as the server saw it: the request line, then each header line.
            text = self.requestline + "\r\n" + "".join(
                "%s: %s\r\n" % (k, v) for k, v in self.headers.items())
            self.send_body(200, text.encode("latin-1"), "text/plain")
        elif path == "/big":
            self.send_body(200, BIG_BODY)
        elif path.startswith("/size/"):
            self.send_body(200, pattern(int(path[6:])))
        elif path == "/nolength":
            # A body whose end is the end of the connection.
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(pattern(30000))
            self.close_connection = True
        elif path == "/truncated":
            # Announces 1,000,000 bytes, sends 300,000 and drops the connection.
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", "1000000")
            self.end_headers()
            self.wfile.write(pattern(300000))
            self.wfile.flush()
            self.close_connection = True
        elif path == "/missing":
            # An error page whose body looks like a newer version.
            self.send_body(404, b"9.9.9.9", "text/plain")
        elif path == "/error":
            self.send_body(500, pattern(40000))
        else:
            self.send_body(404, b"not found", "text/plain")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def make_cert(name):
    key = os.path.join(WORKDIR, name + ".key")
    cert = os.path.join(WORKDIR, name + ".pem")
    subprocess.run(
        ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
         "-out", cert, "-days", "2", "-subj", "/CN=localhost",
         "-addext", "subjectAltName=DNS:localhost",
         "-addext", "basicConstraints=critical,CA:TRUE",
         "-addext", "keyUsage=digitalSignature,keyEncipherment,keyCertSign",
         "-addext", "extendedKeyUsage=serverAuth"],
        check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return cert, key


def start(tls):
    server = Server(("127.0.0.1", 0), Handler)
    if tls:
        ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        ctx.load_cert_chain(*tls)
        server.socket = ctx.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def main():
    os.makedirs(WORKDIR, exist_ok=True)
    trusted = make_cert("trusted")
    untrusted = make_cert("untrusted")
    servers = [start(None), start(trusted), start(untrusted)]
    ports = " ".join(str(s.server_address[1]) for s in servers)
    tmp = os.path.join(WORKDIR, "ports.tmp")
    with open(tmp, "w") as f:
        f.write(ports + "\n")
    os.replace(tmp, os.path.join(WORKDIR, "ports.txt"))
    began = time.monotonic()
    while not _stop.wait(0.2):
        now = time.monotonic()
        if now - _last_request[0] > IDLE_LIMIT or now - began > LIFETIME_LIMIT:
            break
    time.sleep(0.2)  # let the answer to /quit leave
    for s in servers:
        s.shutdown()


if __name__ == "__main__":
    main()
