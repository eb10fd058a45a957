#!/usr/bin/env python3
"""Scripted HTTP peer for replies real servers will not give on demand.

GET/POST/... /case/NAME[...] answers with the canned reply NAME below; the
request as received (head and body) is first written to LOGDIR/NAME.req so
that a test can check what was sent. One request per connection. The chosen
port is printed on the first line of stdout.
"""
import argparse
import base64
import socketserver
import ssl
import threading

MAX_HEAD = 1024 * 1024


def head(status, *lines):
    return ("HTTP/1.1 " + status + "\r\n" + "".join(l + "\r\n" for l in lines) + "\r\n").encode("latin-1")


def with_length(status, body, *lines):
    return head(status, "Content-Length: %d" % len(body), *lines) + body


CANNED = {
    "plain": with_length("200 OK", b"hello"),
    "echo": with_length("200 OK", b"echo"),
    "no-reason": with_length("200", b"ok"),
    "chunked": head("200 OK", "Transfer-Encoding: chunked")
    + b"5\r\nhello\r\n1\r\n \r\n5\r\nworld\r\n0\r\n\r\n",
    "chunk-extension": head("200 OK", "Transfer-Encoding: chunked") + b"5;name=value\r\nhello\r\n0\r\n\r\n",
    "chunk-bad-size": head("200 OK", "Transfer-Encoding: chunked") + b"5x\r\nhello\r\n0\r\n\r\n",
    "chunk-huge-size": head("200 OK", "Transfer-Encoding: chunked") + b"1FFFFFFFFFFFFFFFF\r\nhello\r\n",
    "chunk-cut": head("200 OK", "Transfer-Encoding: chunked") + b"10\r\nonly part",
    "oversized-head": b"HTTP/1.1 200 OK\r\n" + b"".join(b"X-Pad-%d: %s\r\n" % (i, b"p" * 1000) for i in range(1100))
    + b"Content-Length: 0\r\n\r\n",
    "long-header-line": b"HTTP/1.1 200 OK\r\nX-Long: " + b"x" * 70000 + b"\r\nContent-Length: 0\r\n\r\n",
    "bad-status": b"HTTP/1.1 2OO OK\r\nContent-Length: 0\r\n\r\n",
    "bad-length": head("200 OK", "Content-Length: 12a") + b"body",
    "until-close": head("200 OK") + b"read until the server closes",
    "cookies": with_length("200 OK", b"", "Set-Cookie: a=first; Path=/", "Set-Cookie: A=second; Path=/",
                           "Set-Cookie: other=3; Path=/elsewhere"),
    "redirect-relative": with_length("302 Found", b"", "Location: plain"),
    "redirect-loop": with_length("302 Found", b"", "Location: /case/redirect-loop"),
    "redirect-no-location": with_length("301 Moved", b""),
    "not-found": with_length("404 Not Found", b"missing", "Content-Type: text/plain"),
    "forbidden-ni": with_length("403 Forbidden", b"<p>notukerror</p>", "Content-Type: text/html"),
    "forbidden": with_length("403 Forbidden", b"no", "Content-Type: application/octet-stream"),
    "teapot": with_length("418 I'm a teapot", b"tea"),
    "bad-request": with_length("400 Bad Request", b""),
    "always-401": with_length("401 Unauthorized", b"", 'WWW-Authenticate: Basic realm="x"'),
    "no-challenge-401": with_length("401 Unauthorized", b""),
}


def basic_auth(request_head):
    """401 until the request carries Basic credentials for user:secret."""
    expected = "Authorization: Basic " + base64.b64encode(b"user:secret").decode()
    if expected.encode() in request_head:
        return with_length("200 OK", b"welcome")
    return with_length("401 Unauthorized", b"", 'WWW-Authenticate: Basic realm="scripted"')


def hop(request_head):
    """hop?n=N&until=U redirects (relatively) to hop?n=N+1 until N reaches U."""
    target = request_head.split(b" ")[1].decode("latin-1")
    query = dict(p.split("=", 1) for p in target.split("?", 1)[1].split("&"))
    n, until = int(query["n"]), int(query["until"])
    if n < until:
        return with_length("302 Found", b"", "Location: hop?n=%d&until=%d" % (n + 1, until))
    return with_length("200 OK", b"arrived at %d" % n)


DYNAMIC = {"basic-auth": basic_auth, "hop": hop}


class Handler(socketserver.StreamRequestHandler):
    def handle(self):
        request = b""
        while not request.endswith(b"\r\n\r\n"):
            line = self.rfile.readline(MAX_HEAD)
            if not line:
                return
            request += line
        length = 0
        for line in request.split(b"\r\n"):
            if line.lower().startswith(b"content-length:"):
                length = int(line.split(b":", 1)[1])
        request += self.rfile.read(length)
        target = request.split(b" ")[1].decode("latin-1")
        name = target.split("/case/", 1)[-1].split("?")[0].split("/")[-1]
        with open("%s/%s.req" % (self.server.logdir, name), "wb") as log:
            log.write(request)
        if name in DYNAMIC:
            reply = DYNAMIC[name](request)
        else:
            reply = CANNED.get(name, with_length("404 Not Found", b"no such case"))
        self.wfile.write(reply)
        self.wfile.flush()


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    tls = None

    def get_request(self):
        connection, address = super().get_request()
        if self.tls:
            connection = self.tls.wrap_socket(connection, server_side=True)
        return connection, address


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--logdir", required=True)
    parser.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"), help="also serve the cases over TLS")
    opts = parser.parse_args()
    server = Server(("127.0.0.1", 0), Handler)
    server.logdir = opts.logdir
    ports = [server.server_address[1]]
    if opts.tls:
        tls_server = Server(("127.0.0.1", 0), Handler)
        tls_server.logdir = opts.logdir
        tls_server.tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        tls_server.tls.load_cert_chain(*opts.tls)
        ports.append(tls_server.server_address[1])
        threading.Thread(target=tls_server.serve_forever, daemon=True).start()
    print(" ".join(str(p) for p in ports), flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
