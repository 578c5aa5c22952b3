#!/usr/bin/env python3
"""Local update server for the transport tests.

Usage: update_test_server.py WORKDIR

Creates two self-signed certificates for "localhost" in WORKDIR (trusted.pem, which
the test adds to the prefix's Root store, and untrusted.pem, which it never trusts),
starts one plain HTTP server and two HTTPS servers on free ports of 127.0.0.1, opens
a watch port there too, and writes "http https_trusted https_untrusted watch" into
WORKDIR/ports.txt.

The test process keeps one connection to the watch port open while it runs; the
server ends as soon as that connection closes (which the system does when the test
process ends, however it ends), on GET /quit, when no test connects to the watch port
within 20 s, or after 300 s in any case. It holds none of the descriptors it was
started with (the test's output, the prefix lock): its output goes to
WORKDIR/server.log.
"""
import os
import sys

WORKDIR = sys.argv[1]


def detach():
    """Lets go of everything inherited from the test process, so that no pipe of the
    test runner and no lock stays open because of this server."""
    os.makedirs(WORKDIR, exist_ok=True)
    null = os.open(os.devnull, os.O_RDONLY)
    log = os.open(os.path.join(WORKDIR, "server.log"), os.O_WRONLY | os.O_CREAT | os.O_TRUNC)
    os.dup2(null, 0)
    os.dup2(log, 1)
    os.dup2(log, 2)
    os.closerange(3, 1 << 16)


detach()

import http.server  # noqa: E402
import socket  # noqa: E402
import socketserver  # noqa: E402
import ssl  # noqa: E402
import subprocess  # noqa: E402
import threading  # noqa: E402
import time  # noqa: E402
import io  # noqa: E402
import re  # noqa: E402
import zipfile  # noqa: E402

WATCH_LIMIT = 20.0
LIFETIME_LIMIT = 300.0

BIG_SIZE = 5 * 1024 * 1024
_stop = threading.Event()


def pattern(size):
    """Deterministic body bytes: byte i is i % 251."""
    return (bytes(range(251)) * (size // 251 + 1))[:size]


BIG_BODY = pattern(BIG_SIZE)

# The program's update server below /kestrova/<case>/software-upgrade/: the version
# text of each case, and the package Kestrova-<version>.zip, which the program asks
# for with two slashes after the base path ("software-upgrade///Kestrova-...").
INSTALLER = b"MZ" + pattern(70000)
UPDATE_VERSIONS = {
    "newer": b"1.0.3.0",
    "padded": b" 1.0.3.0\r\n",
    "same": b"1.0.0.1",
    "older": b"1.0.0.0",
    "parts": b"1.0.0",
    "excluded": b"1.0.2.0",
    "long": b"1.0.30.0.00",
    "path": b"../../1.0",
    "letters": b"1.0.3.0a",
    "hostile": b"1.0.3.0",
    "noinstaller": b"1.0.3.0",
    "nopackage": b"1.0.3.0",
    "corrupt": b"1.0.3.0",
}


def zip_of(entries):
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in entries:
            z.writestr(name, data)
    return out.getvalue()


def update_package(case):
    exe = ("Kestrova-1.0.3.0.exe", INSTALLER)
    if case in ("newer", "padded"):
        return zip_of([exe, ("readme.txt", b"new version")])
    if case == "hostile":
        return zip_of([exe, ("../escaped.txt", b"outside")])
    if case == "noinstaller":
        return zip_of([("readme.txt", b"no installer")])
    if case == "corrupt":
        data = bytearray(zip_of([exe]))
        data[60:80] = b"\xff" * 20  # inside the installer's compressed data
        return bytes(data)
    return None


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
        path = self.path.split("?", 1)[0]
        if path == "/quit":
            self.send_body(200, b"bye", "text/plain")
            _stop.set()
        elif path == "/software-upgrade/version":
            self.send_body(200, b"1.0.3.0", "text/plain")
        elif re.match(r"^/kestrova/[a-z]+/software-upgrade/", path):
            self.update_server(path)
        elif path == "/utf8":
            self.send_body(200, "Grüße 版本".encode("utf-8"), "text/plain; charset=utf-8")
        elif path.startswith("/echo/"):
            # The request target's bytes as they came on the wire, in hex.
            self.send_body(200, self.path.encode("latin-1").hex().encode(), "text/plain")
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


    def update_server(self, path):
        case = path.split("/")[2]
        rest = path[len("/kestrova/%s/software-upgrade/" % case):]
        if case == "error":
            self.send_body(500, b"1.0.3.0", "text/plain")
        elif rest == "version" and case in UPDATE_VERSIONS:
            self.send_body(200, UPDATE_VERSIONS[case], "text/plain")
        elif rest == "//Kestrova-1.0.3.0.zip" and update_package(case) is not None:
            self.send_body(200, update_package(case), "application/zip")
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


def watch(listener):
    """Stops the server when the test's watch connection closes, or when none comes."""
    listener.settimeout(WATCH_LIMIT)
    try:
        conn, _ = listener.accept()
    except OSError:
        _stop.set()
        return
    listener.close()
    conn.settimeout(None)
    try:
        while conn.recv(64):
            pass
    except OSError:
        pass
    _stop.set()


def main():
    trusted = make_cert("trusted")
    untrusted = make_cert("untrusted")
    servers = [start(None), start(trusted), start(untrusted)]
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    threading.Thread(target=watch, args=(listener,), daemon=True).start()
    ports = [s.server_address[1] for s in servers] + [listener.getsockname()[1]]
    tmp = os.path.join(WORKDIR, "ports.tmp")
    with open(tmp, "w") as f:
        f.write(" ".join(str(p) for p in ports) + "\n")
    os.replace(tmp, os.path.join(WORKDIR, "ports.txt"))
    _stop.wait(LIFETIME_LIMIT)
    time.sleep(0.2)  # let the answer to /quit leave
    for s in servers:
        s.shutdown()


if __name__ == "__main__":
    main()
