#!/usr/bin/env python3
"""Stand-in for the rip database server.

Serves the record files of a folder: a GET of
/tallydisc/<c11>/<c10>/<c9>/TDbf-<identifier>.bin, where the three folder
characters are characters 11, 10 and 9 of the lower-case identifier, answers
status 200 with the content of FOLDER/TDbf-<identifier>.bin; any other request
gets 404 with a small error page. Every connection carries one request and is
closed after the reply (HTTP/1.0).

Switches for the failure behaviours tests need:
  --slow MS          send replies in pieces of 64 bytes, MS milliseconds apart
  --close-early      send the head (with the full Content-Length) and half of
                     the body of a 200 reply, then close
  --oversized BYTES  answer every record request with a 200 body of BYTES bytes
  --lower-status     write the status line in lower case ("http/1.0 200 ok")
  --log FILE         append every request head, as received, to FILE

It listens on 127.0.0.1 at --port (0: a free port) and prints
"listening on PORT" once it accepts connections (also written to --port-file).
"""
import argparse
import os
import re
import socketserver
import sys
import threading
import time

# A request head larger than this is not a request of ours.
MAX_REQUEST_HEAD = 65536
SLOW_PIECE = 64
REQUEST_LINE = re.compile(rb"^GET (/tallydisc/(.)/(.)/(.)/TDbf-([0-9a-z-]+)\.bin) HTTP/1\.[01]\r\n")
NOT_FOUND_PAGE = b"<html><body><h1>404 Not Found</h1></body></html>\n"


def record_for(folder, head):
    """The record bytes a request asks for, or None."""
    match = REQUEST_LINE.match(head)
    if not match:
        return None
    identifier = match.group(5).decode("ascii")
    folders = tuple(m.decode("ascii") for m in match.group(2, 3, 4))
    if len(identifier) < 12 or folders != (identifier[11], identifier[10], identifier[9]):
        return None
    path = os.path.join(folder, "TDbf-%s.bin" % identifier)
    if not os.path.isfile(path):
        return None
    with open(path, "rb") as f:
        return f.read()


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        options = self.server.options
        self.request.settimeout(30)
        head = b""
        while b"\r\n\r\n" not in head and len(head) < MAX_REQUEST_HEAD:
            chunk = self.request.recv(4096)
            if not chunk:
                break
            head += chunk
        if options.log:
            with self.server.log_lock, open(options.log, "ab") as log:
                log.write(head)
        body = record_for(options.folder, head)
        if options.oversized is not None and REQUEST_LINE.match(head):
            body = bytes(range(256)) * (options.oversized // 256) + bytes(options.oversized % 256)
        if body is None:
            status, body = "404 Not Found", NOT_FOUND_PAGE
            content_type = "text/html"
        else:
            status, content_type = "200 OK", "application/octet-stream"
        status_line = "HTTP/1.0 " + status
        if options.lower_status:
            status_line = status_line.lower()
        reply_head = ("%s\r\nContent-Type: %s\r\nContent-Length: %d\r\nConnection: close\r\n\r\n"
                      % (status_line, content_type, len(body))).encode("ascii")
        if options.close_early and status.startswith("200"):
            body = body[: len(body) // 2]
        self.send(reply_head + body)

    def send(self, data):
        slow = self.server.options.slow
        if not slow:
            self.request.sendall(data)
            return
        for start in range(0, len(data), SLOW_PIECE):
            self.request.sendall(data[start:start + SLOW_PIECE])
            time.sleep(slow / 1000.0)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--port-file")
    parser.add_argument("--slow", type=int, metavar="MS", default=0)
    parser.add_argument("--close-early", action="store_true")
    parser.add_argument("--oversized", type=int, metavar="BYTES")
    parser.add_argument("--lower-status", action="store_true")
    parser.add_argument("--log")
    options = parser.parse_args()
    server = Server(("127.0.0.1", options.port), Handler)
    server.options = options
    server.log_lock = threading.Lock()
    port = server.server_address[1]
    if options.port_file:
        with open(options.port_file + ".tmp", "w") as f:
            f.write(str(port))
        os.replace(options.port_file + ".tmp", options.port_file)
    print("listening on %d" % port, flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
