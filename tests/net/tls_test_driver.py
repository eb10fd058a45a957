#!/usr/bin/env python3
"""Runs the TLS stream tests against real TLS peers on loopback.

Makes a test CA and server certificates with the openssl command line,
starts one `openssl s_server` per certificate case (plus a peer that closes
in the middle of a record and revocation servers that refuse or never
answer), then runs the Windows test program with their ports and the CA in
its environment. The test CA is trusted in the wine prefix only while the
tests run.

usage: tls_test_driver.py TEST_EXE WINE_RUN [gtest arguments...]
"""
import os
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import time


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def openssl(*args, cwd):
    subprocess.run(["openssl", *args], cwd=cwd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


CA_CONFIG = """
[ca]
default_ca = test_ca
[test_ca]
dir = .
database = index.txt
new_certs_dir = .
serial = serial
default_md = sha256
policy = anything
copy_extensions = copy
unique_subject = no
[anything]
commonName = supplied
[intermediate]
basicConstraints = critical,CA:TRUE
keyUsage = critical,keyCertSign,cRLSign
[server]
basicConstraints = CA:FALSE
keyUsage = digitalSignature, keyEncipherment
extendedKeyUsage = serverAuth
"""


def make_certificates(folder, crl_refused_port, crl_hang_port):
    """Returns {case: (cert, key)} and the CA's DER file."""
    with open(os.path.join(folder, "ca.cnf"), "w") as f:
        f.write(CA_CONFIG)
    open(os.path.join(folder, "index.txt"), "w").close()
    with open(os.path.join(folder, "serial"), "w") as f:
        f.write("1000\n")
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.pem", "-days", "30",
            "-subj", "/CN=Tallydisc Test CA", "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign", cwd=folder)
    openssl("x509", "-in", "ca.pem", "-outform", "DER", "-out", "ca.der", cwd=folder)

    def signed(name, names, extra=(), dates=("-days", "20"), issuer="ca", extensions="server"):
        subject_alt = "subjectAltName=" + ",".join(names)
        openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", name + ".key", "-out", name + ".csr",
                "-subj", "/CN=" + names[0].split(":", 1)[1], "-addext", subject_alt, *extra, cwd=folder)
        openssl("ca", "-batch", "-config", "ca.cnf", "-extensions", extensions, "-cert", issuer + ".pem",
                "-keyfile", issuer + ".key", "-in", name + ".csr", "-out", name + ".pem", *dates, cwd=folder)
        return (name + ".pem", name + ".key")

    local = ["DNS:localhost", "IP:127.0.0.1"]
    cases = {
        "GOOD": signed("good", local),
        "EXPIRED": signed("expired", local, dates=("-startdate", "20200101000000Z", "-enddate", "20210101000000Z")),
        "WRONGHOST": signed("wronghost", ["DNS:wronghost.test"]),
        "CRL_REFUSED": signed("crlrefused", local, extra=(
            "-addext", "crlDistributionPoints=URI:http://127.0.0.1:%d/ca.crl" % crl_refused_port)),
        "CRL_HANG": signed("crlhang", local, extra=(
            "-addext", "crlDistributionPoints=URI:http://127.0.0.1:%d/ca.crl" % crl_hang_port)),
    }
    # A leaf under an intermediate CA that the server does not send: the
    # chain cannot reach the trusted root.
    signed("intermediate", ["DNS:Tallydisc Test Intermediate"], extensions="intermediate")
    cases["PARTIAL"] = signed("partial", local, issuer="intermediate")
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "selfsigned.key", "-out", "selfsigned.pem",
            "-days", "20", "-subj", "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1",
            cwd=folder)
    cases["UNKNOWN"] = ("selfsigned.pem", "selfsigned.key")
    return cases


def wait_listening(port, seconds=20):
    deadline = time.time() + seconds
    while time.time() < deadline:
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=1):
                return
        except OSError:
            time.sleep(0.1)
    raise RuntimeError("nothing listens on port %d" % port)


def hang_forever(listener):
    """Accepts connections and never answers (a dead revocation server)."""
    held = []
    while True:
        try:
            conn, _ = listener.accept()
        except OSError:
            return
        held.append(conn)


def close_mid_record(listener, cert, key):
    """A TLS peer that answers the first request with half of a record."""
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.maximum_version = ssl.TLSVersion.TLSv1_2
    context.load_cert_chain(cert, key)
    while True:
        try:
            conn, _ = listener.accept()
        except OSError:
            return
        incoming, outgoing = ssl.MemoryBIO(), ssl.MemoryBIO()
        tls = context.wrap_bio(incoming, outgoing, server_side=True)
        try:
            conn.settimeout(20)

            def pump():
                data = outgoing.read()
                if data:
                    conn.sendall(data)

            while True:
                try:
                    tls.do_handshake()
                    pump()
                    break
                except ssl.SSLWantReadError:
                    pump()
                    chunk = conn.recv(65536)
                    if not chunk:
                        raise OSError("peer left during the handshake")
                    incoming.write(chunk)
            while True:
                try:
                    tls.read(65536)
                    break
                except ssl.SSLWantReadError:
                    chunk = conn.recv(65536)
                    if not chunk:
                        raise OSError("peer left")
                    incoming.write(chunk)
            tls.write(b"x" * 4000)
            record = outgoing.read()
            conn.sendall(record[: len(record) // 2])
        except (OSError, ssl.SSLError):
            pass
        finally:
            conn.close()


def main():
    test_exe, wine_run, gtest_args = sys.argv[1], sys.argv[2], sys.argv[3:]
    servers = []
    with tempfile.TemporaryDirectory(prefix="td-tls-") as folder:
        crl_refused_port = free_port()
        hang_listener = socket.socket()
        hang_listener.bind(("127.0.0.1", 0))
        hang_listener.listen(16)
        threading.Thread(target=hang_forever, args=(hang_listener,), daemon=True).start()
        cases = make_certificates(folder, crl_refused_port, hang_listener.getsockname()[1])

        env = dict(os.environ)
        ca = "Z:" + os.path.join(folder, "ca.der").replace("/", "\\")
        subprocess.run([wine_run, test_exe, "--trust-ca", ca], env=env, check=True)
        try:
            for case, (cert, key) in cases.items():
                port = free_port()
                servers.append(subprocess.Popen(
                    ["openssl", "s_server", "-quiet", "-rev", "-accept", "127.0.0.1:%d" % port,
                     "-cert", cert, "-key", key] + ([] if case == "PARTIAL" else ["-cert_chain", "ca.pem"]),
                    cwd=folder, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
                wait_listening(port)
                env["TD_TLS_PORT_" + case] = str(port)
            mid_listener = socket.socket()
            mid_listener.bind(("127.0.0.1", 0))
            mid_listener.listen(4)
            good_cert, good_key = (os.path.join(folder, n) for n in cases["GOOD"])
            threading.Thread(target=close_mid_record, args=(mid_listener, good_cert, good_key), daemon=True).start()
            env["TD_TLS_PORT_MIDRECORD"] = str(mid_listener.getsockname()[1])
            return subprocess.run([wine_run, test_exe, *gtest_args], env=env).returncode
        finally:
            subprocess.run([wine_run, test_exe, "--untrust-ca", ca], env=env)
            for server in servers:
                server.terminate()
                server.wait()


if __name__ == "__main__":
    sys.exit(main())
