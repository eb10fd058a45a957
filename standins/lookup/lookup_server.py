#!/usr/bin/env python3
"""Stand-in for the suite's disc-ID lookup service (loopback, tests and demo).

Answers POST / : the body holds table-of-contents keys joined by CRLF (and
ended by one). Each key is looked up in the answer table; the reply body has
one line per key, the answer text or "no", each ended by CRLF. Reply headers:
CONTENT-LENGTH (body bytes, final CRLF included) and CRCList (CRC-32 of the
body without its final CRLF, in decimal). A request whose Content-CRC does
not match its body is answered 400.

Table file: one "KEY<TAB>ANSWER" per line (UTF-8).
Switches: --status 601|611|... answers that status instead; --wrong-crc
sends a CRCList that does not match; --cut closes the connection half way
through the body. --log FILE appends every request (head and body, as
received) to FILE, each followed by a line "=====". The chosen port is
printed on the first line of stdout.
"""
import argparse
import socket
import socketserver
import threading
import zlib

MAX_HEAD = 64 * 1024
MAX_BODY = 4 * 1024 * 1024


def load_table(path):
    table = {}
    if path:
        with open(path, encoding="utf-8") as f:
            for line in f:
                line = line.rstrip("\r\n")
                if "\t" in line:
                    key, answer = line.split("\t", 1)
                    table[key] = answer
    return table


class Handler(socketserver.StreamRequestHandler):
    def handle(self):
        opts = self.server.opts
        head = b""
        while b"\r\n\r\n" not in head:
            chunk = self.rfile.readline(MAX_HEAD)
            if not chunk:
                return
            head += chunk
            if len(head) > MAX_HEAD:
                return
        head_text = head.decode("latin-1")
        lines = head_text.split("\r\n")
        headers = {}
        for line in lines[1:]:
            if ":" in line:
                name, value = line.split(":", 1)
                headers.setdefault(name.strip().lower(), value.strip())
        length = int(headers.get("content-length", "0") or 0)
        body = self.rfile.read(min(length, MAX_BODY))
        with self.server.lock:
            if opts.log:
                with open(opts.log, "ab") as log:
                    log.write(head + body + b"\n=====\n")

        if opts.status:
            return self.reply(opts.status, b"", {})
        keys_bytes = body[:-2] if body.endswith(b"\r\n") else body
        expected_crc = "%08X" % zlib.crc32(keys_bytes)
        if headers.get("content-crc", "") != expected_crc or not lines[0].startswith("POST "):
            return self.reply(400, b"", {})
        keys = keys_bytes.decode("latin-1").split("\r\n")
        answers = [self.server.table.get(k, "no") for k in keys]
        text = ("\r\n".join(answers) + "\r\n").encode("utf-8")
        crc = zlib.crc32(text[:-2])
        if opts.wrong_crc:
            crc ^= 0x1
        self.reply(200, text, {"CONTENT-LENGTH": str(len(text)), "CRCList": str(crc)})

    def reply(self, status, body, headers):
        out = "HTTP/1.1 %d %s\r\n" % (status, "OK" if status == 200 else "Lookup Status")
        for name, value in headers.items():
            out += "%s: %s\r\n" % (name, value)
        out += "Connection: close\r\n\r\n"
        data = out.encode("latin-1") + body
        if self.server.opts.cut and body:
            data = data[: len(data) - len(body) // 2]
        self.wfile.write(data)
        self.wfile.flush()
        try:
            self.connection.shutdown(socket.SHUT_WR)
        except OSError:
            pass


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--table")
    parser.add_argument("--status", type=int, default=0)
    parser.add_argument("--wrong-crc", action="store_true")
    parser.add_argument("--cut", action="store_true")
    parser.add_argument("--log")
    opts = parser.parse_args()
    server = Server(("127.0.0.1", opts.port), Handler)
    server.opts = opts
    server.table = load_table(opts.table)
    server.lock = threading.Lock()
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
