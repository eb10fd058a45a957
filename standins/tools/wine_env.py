"""Running the built Windows programs from end-to-end tests."""

import os
import subprocess

DIST = os.environ["TD_DIST_DIR"]
WINEPREFIX = os.environ["WINEPREFIX"]
SETTINGS_KEY = r"HKCU\Software\Lumenvale\Auralith"


def _start_wine_services():
    """Keeps wine's server running between programs (each start costs
    seconds otherwise). The first wine program of a prefix starts wine's own
    services, which keep the output pipes they inherit open for as long as
    they live; start them here without pipes, so that capturing a program's
    output ends."""
    quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    env = dict(os.environ, WINEDEBUG="-all")
    subprocess.run(["wineserver", "-p"], env=env, **quiet)
    subprocess.run(["wine", "cmd.exe", "/c", "exit"], env=env, **quiet)


def stop_wine():
    """Ends the prefix's wine server and services (for scripts run on their own)."""
    subprocess.run(["wineserver", "-k"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


_start_wine_services()


def windows_path(host_path):
    return "Z:" + os.path.abspath(host_path).replace("/", "\\")


def run_cli(*args, data=None, check=True, timeout=600):
    """Runs tallydisc-cli.exe; returns the completed process (text in UTF-8)."""
    argv = ["wine", os.path.join(DIST, "tallydisc-cli.exe")]
    if data:
        argv += ["--data", windows_path(data)]
    env = dict(os.environ, WINEDEBUG="-all")
    done = subprocess.run(argv + list(args), capture_output=True, env=env, timeout=timeout)
    out = done.stdout.decode("utf-8")
    err = done.stderr.decode("utf-8", "replace")
    if check and done.returncode != 0:
        raise AssertionError("tallydisc-cli %s failed (%d): %s" % (" ".join(args), done.returncode, err))
    return done.returncode, out, err


def set_setting(name, value):
    """A number (int) or a string setting; None deletes it."""
    env = dict(os.environ, WINEDEBUG="-all")
    if value is None:
        subprocess.run(["wine", "reg", "delete", SETTINGS_KEY, "/v", name, "/f"], env=env, capture_output=True)
    elif isinstance(value, int):
        subprocess.run(["wine", "reg", "add", SETTINGS_KEY, "/v", name, "/t", "REG_DWORD", "/d", str(value), "/f"],
                       env=env, check=True, capture_output=True)
    else:
        subprocess.run(["wine", "reg", "add", SETTINGS_KEY, "/v", name, "/t", "REG_SZ", "/d", value, "/f"],
                       env=env, check=True, capture_output=True)


def write_watch_folders(data_dir, folders):
    os.makedirs(os.path.join(data_dir, "Auralith"), exist_ok=True)
    text = "".join(windows_path(f) + "\r\n" for f in folders)
    with open(os.path.join(data_dir, "Auralith", "WatchFolderList.bin"), "wb") as f:
        f.write(text.encode("utf-16-le"))
