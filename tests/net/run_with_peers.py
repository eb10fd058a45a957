#!/usr/bin/env python3
"""Starts the network peers a test program needs on loopback, runs it, stops them.

  run_with_peers.py --peers scripted,lookup,apache,squid,tls -- COMMAND...

Each peer gets free ports and hands them to the test through the
environment (TD_TEST_*_PORT); fixtures live in a temporary folder whose host
path is TD_TEST_PEER_DIR. Passwords: apache Basic and Digest user "user",
password "secret" (Digest realm "digest realm"); squid proxy user "puser",
password "psecret" on its authenticating port.
"""
import argparse
import hashlib
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
APACHE_MODULES = "/usr/lib/apache2/modules"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_port(port, what, process, seconds=20):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if process.poll() is not None:
            raise RuntimeError("%s ended at start-up (exit %s)" % (what, process.returncode))
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.5):
                return
        except OSError:
            time.sleep(0.1)
    raise RuntimeError("%s did not open port %d" % (what, port))


def start_printing_port(args, what):
    """Starts a server that prints its port(s) on its first line."""
    process = subprocess.Popen(args, stdout=subprocess.PIPE, text=True, start_new_session=True)
    line = process.stdout.readline().strip()
    if not line:
        raise RuntimeError("%s did not start" % what)
    ports = [int(p) for p in line.split()]
    return process, ports[0] if len(ports) == 1 else ports


def write(path, text, mode=0o644):
    with open(path, "w") as f:
        f.write(text)
    os.chmod(path, mode)


def apr1(password):
    return subprocess.run(["openssl", "passwd", "-apr1", password], check=True, capture_output=True,
                          text=True).stdout.strip()


def make_certificate(folder):
    """A self-signed certificate for 127.0.0.1; returns (cert, key) paths."""
    os.makedirs(folder, exist_ok=True)
    cert, key = os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=localhost",
                    "-keyout", key, "-out", cert], check=True, capture_output=True)
    return cert, key


def start_scripted(work, env):
    logdir = os.path.join(work, "scripted")
    os.makedirs(logdir)
    cert, key = make_certificate(os.path.join(work, "scripted-tls"))
    process, (port, tls_port) = start_printing_port([sys.executable, os.path.join(HERE, "scripted_server.py"),
                                                     "--logdir", logdir, "--tls", cert, key], "scripted server")
    env["TD_TEST_SCRIPTED_PORT"] = str(port)
    env["TD_TEST_SCRIPTED_TLS_PORT"] = str(tls_port)
    env["TD_TEST_SCRIPTED_LOG"] = logdir
    return [process]


def start_lookup(work, env):
    table = os.path.join(work, "lookup-table.txt")
    write(table, "0000000A;1000\t001-0000000a-00000b01-00000c02\n"
                 "0000000B;2000;3000\t002-0000000b-00000b02-00000c03#002-0000000b-00000b02-00000c04\n")
    processes = []
    variants = {"OK": [], "601": ["--status", "601"], "611": ["--status", "611"], "500": ["--status", "500"],
                "WRONGCRC": ["--wrong-crc"], "CUT": ["--cut"]}
    for name, switches in variants.items():
        log = os.path.join(work, "lookup-%s.log" % name.lower())
        open(log, "wb").close()
        process, port = start_printing_port([sys.executable, os.path.join(SOURCE, "standins", "lookup", "lookup_server.py"),
                                             "--table", table, "--log", log] + switches, "lookup server " + name)
        env["TD_TEST_LOOKUP_%s_PORT" % name] = str(port)
        env["TD_TEST_LOOKUP_%s_LOG" % name] = log
        processes.append(process)
    return processes


def start_apache(work, env):
    port = free_port()
    root = os.path.join(work, "apache")
    www = os.path.join(root, "www")
    for d in ("basic", "digest", "forbidden", "cookie"):
        os.makedirs(os.path.join(www, d))
    os.chmod(work, 0o755)
    write(os.path.join(www, "target.txt"), "target\n")
    write(os.path.join(www, "static.txt"), "static\n")
    write(os.path.join(www, "basic", "secret.txt"), "basic secret\n")
    write(os.path.join(www, "digest", "secret.txt"), "digest secret\n")
    write(os.path.join(www, "forbidden", "x.txt"), "x\n")
    write(os.path.join(www, "cookie", "set.txt"), "cookie set\n")
    write(os.path.join(www, "cookie", "echo.cgi"),
          "#!/bin/sh\nprintf 'Content-Type: text/plain\\r\\n\\r\\n'\nprintf 'cookie=%s' \"$HTTP_COOKIE\"\n", 0o755)
    write(os.path.join(www, "stream.cgi"),
          "#!/bin/sh\nprintf 'Content-Type: text/plain\\r\\n\\r\\n'\n"
          # The pause makes apache send the start before the end exists: chunked.
          "i=0; while [ $i -lt 2000 ]; do printf 'line %04d of the streamed reply\\n' $i; i=$((i+1));"
          " [ $i -eq 100 ] && sleep 0.3; done\n", 0o755)
    write(os.path.join(www, "relative.cgi"),
          "#!/bin/sh\nprintf 'Status: 302 Found\\r\\nLocation: target.txt\\r\\n\\r\\n'\n", 0o755)
    write(os.path.join(root, "htpasswd"), "user:%s\n" % apr1("secret"))
    ha1 = hashlib.md5(b"user:digest realm:secret").hexdigest()
    write(os.path.join(root, "htdigest"), "user:digest realm:%s\n" % ha1)
    base = "http://127.0.0.1:%d" % port
    modules = ["mpm_prefork", "authz_core", "authn_core", "authn_file", "authz_user", "auth_basic", "auth_digest",
               "alias", "cgi", "headers", "mime"]
    conf = "".join("LoadModule %s_module %s/mod_%s.so\n" % (m, APACHE_MODULES, m) for m in modules)
    conf += f"""
ServerName 127.0.0.1
Listen 127.0.0.1:{port}
PidFile {root}/apache.pid
ErrorLog {root}/error.log
DefaultRuntimeDir {root}
Mutex file:{root} default
User www-data
Group www-data
StartServers 2
MinSpareServers 1
MaxSpareServers 4
KeepAlive On
TypesConfig /etc/mime.types
DocumentRoot {www}
<Directory {www}>
  Require all granted
  Options +ExecCGI
  AddHandler cgi-script .cgi
</Directory>
<Directory {www}/forbidden>
  Require all denied
</Directory>
<Location /basic>
  AuthType Basic
  AuthName "basic realm"
  AuthBasicProvider file
  AuthUserFile {root}/htpasswd
  Require valid-user
</Location>
<Location /digest>
  AuthType Digest
  AuthName "digest realm"
  AuthDigestDomain /digest/
  AuthDigestProvider file
  AuthUserFile {root}/htdigest
  Require valid-user
</Location>
<Location /cookie/set.txt>
  Header always add Set-Cookie "session=abc123; Path=/cookie"
  Header always add Set-Cookie "theme=dark; Path=/"
</Location>
Redirect 301 /r301 {base}/target.txt
Redirect 302 /r302 {base}/target.txt
Redirect 303 /r303 {base}/target.txt
Redirect 307 /r307 {base}/target.txt
Redirect 308 /r308 {base}/target.txt
Redirect 302 /tobasic {base}/basic/secret.txt
Redirect 302 /chain1 {base}/chain2
Redirect 302 /chain2 {base}/relative.cgi
"""
    conf_path = os.path.join(root, "apache.conf")
    write(conf_path, conf)
    process = subprocess.Popen(["apache2", "-f", conf_path, "-DFOREGROUND"], stdin=subprocess.DEVNULL, start_new_session=True)
    wait_port(port, "apache2", process)
    env["TD_TEST_APACHE_PORT"] = str(port)
    return [process]


def start_squid(work, env):
    port = free_port()
    auth_port = free_port()
    root = os.path.join(work, "squid")
    os.makedirs(root)
    os.chmod(root, 0o777)
    write(os.path.join(root, "passwd"), "puser:%s\n" % apr1("psecret"))
    conf = f"""
http_port 127.0.0.1:{port}
http_port 127.0.0.1:{auth_port} name=authport
pid_filename {root}/squid.pid
cache_log {root}/cache.log
access_log {root}/access.log
coredump_dir {root}
cache deny all
cache_mem 8 MB
max_filedescriptors 1024
visible_hostname localhost
shutdown_lifetime 0 seconds
netdb_filename none
auth_param basic program /usr/lib/squid/basic_ncsa_auth {root}/passwd
auth_param basic children 1 startup=1 idle=1
auth_param basic realm proxy realm
acl authport myportname authport
acl authed proxy_auth REQUIRED
http_access allow authport authed
http_access deny authport
http_access allow all
"""
    conf_path = os.path.join(root, "squid.conf")
    write(conf_path, conf)
    process = subprocess.Popen(["squid", "-N", "-f", conf_path], stdin=subprocess.DEVNULL, start_new_session=True)
    wait_port(port, "squid", process, 60)
    wait_port(auth_port, "squid", process, 60)
    env["TD_TEST_SQUID_PORT"] = str(port)
    env["TD_TEST_SQUID_AUTH_PORT"] = str(auth_port)
    return [process]


def start_tls(work, env):
    port = free_port()
    cert, key = make_certificate(os.path.join(work, "tls"))
    process = subprocess.Popen(["openssl", "s_server", "-accept", "127.0.0.1:%d" % port, "-www", "-tls1_2",
                                "-cert", cert, "-key", key],
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    wait_port(port, "openssl s_server", process)
    env["TD_TEST_TLS_PORT"] = str(port)
    return [process]


STARTERS = {"scripted": start_scripted, "lookup": start_lookup, "apache": start_apache, "squid": start_squid,
            "tls": start_tls}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--peers", required=True)
    parser.add_argument("command", nargs=argparse.REMAINDER)
    opts = parser.parse_args()
    command = opts.command[1:] if opts.command[:1] == ["--"] else opts.command
    work = tempfile.mkdtemp(prefix="td-peers-")
    env = dict(os.environ, TD_TEST_PEER_DIR=work)
    processes = []
    try:
        for name in opts.peers.split(","):
            processes += STARTERS[name](work, env)
        return subprocess.run(command, env=env).returncode
    finally:
        for process in processes:
            process.terminate()
        for process in processes:
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
