#!/usr/bin/python3
"""The installed tree of the browser, from `cmake --install` or from the newest .deb in dist/.

check_package.py install BUILD_DIR VERSION: installs into a temporary prefix, checks the files,
the validators, both programs' command lines, and starts the installed browser until its main
window shows (needs DISPLAY).
check_package.py deb DIST_DIR VERSION: unpacks the newest package with dpkg-deb -x and runs
both programs from there; exits 77 (skipped) when there is no package.
"""
import glob
import os
import shutil
import signal
import subprocess
import sys
import tempfile

SKIP = 77
ICON_SIZES = (16, 32, 48, 128, 256)


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def run(command, env=None):
    result = subprocess.run(command, capture_output=True, text=True, env=env)
    if result.returncode != 0:
        fail(f"{command[0]} exited {result.returncode}: {result.stdout}{result.stderr}")
    return result.stdout


def isolated_env(home):
    env = dict(os.environ)
    for name in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"):
        path = os.path.join(home, name.lower())
        os.makedirs(path, mode=0o700)
        env[name] = path
    env.update(HOME=home, TMPDIR=home, VYN_REGISTRY_DIR=os.path.join(home, "registry"),
               QTWEBENGINE_DISABLE_SANDBOX="1")
    return env


def check_programs(prefix, version, env):
    usage = run([os.path.join(prefix, "bin/vynupdate"), "--help"], env)
    if "vynupdate check ADDRESS" not in usage:
        fail("vynupdate --help prints no usage: " + usage)
    line = run([os.path.join(prefix, "bin/vynWebBrowser"), "--version"], env).strip()
    if line != "vynWebBrowser " + version:
        fail(f"vynWebBrowser --version printed {line!r}, not 'vynWebBrowser {version}'")


def check_files(prefix):
    expected = ["bin/vynWebBrowser", "bin/vynupdate",
                "share/applications/vynWebBrowser.desktop",
                "share/metainfo/vynwebbrowser.metainfo.xml",
                "share/icons/hicolor/scalable/apps/vynwebbrowser.svg",
                "share/man/man1/vynupdate.1.gz", "share/man/man1/vynWebBrowser.1.gz"]
    expected += [f"share/icons/hicolor/{n}x{n}/apps/vynwebbrowser.png" for n in ICON_SIZES]
    missing = [path for path in expected if not os.path.isfile(os.path.join(prefix, path))]
    if missing:
        fail("not installed: " + ", ".join(missing))
    for n in ICON_SIZES:
        with open(os.path.join(prefix, f"share/icons/hicolor/{n}x{n}/apps/vynwebbrowser.png"), "rb") as f:
            header = f.read(24)
        size = (int.from_bytes(header[16:20], "big"), int.from_bytes(header[20:24], "big"))
        if header[:8] != b"\x89PNG\r\n\x1a\n" or size != (n, n):
            fail(f"the {n}x{n} icon is not a {n}x{n} PNG")


def validate(prefix):
    checks = [("desktop-file-validate", "share/applications/vynWebBrowser.desktop", []),
              ("appstreamcli", "share/metainfo/vynwebbrowser.metainfo.xml", ["validate", "--no-net"])]
    for tool, path, arguments in checks:
        if shutil.which(tool) is None:
            print(f"SKIPPED: {tool} is not installed (scripts/install-deps installs it)")
            continue
        run([tool] + arguments + [os.path.join(prefix, path)])


def main_window_shows(prefix, env, home):
    if not os.environ.get("DISPLAY"):
        fail("no DISPLAY: run under xvfb-run")
    page = os.path.join(home, "start.html")
    with open(page, "w") as f:
        f.write("<html><title>Installed</title><body>installed</body></html>")
    env = dict(env, QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu")
    browser = subprocess.Popen([os.path.join(prefix, "bin/vynWebBrowser"), page], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        # The title follows the document: the window shows the address given on the command line.
        search = subprocess.run(["timeout", "120", "xdotool", "search", "--sync", "--all", "--onlyvisible",
                                 "--pid", str(browser.pid), "--name", "^Installed$"],
                                capture_output=True, text=True)
        if search.returncode != 0 or not search.stdout.strip():
            fail("the installed browser showed no window with the start page")
        if shutil.which("xprop"):
            window = search.stdout.split()[0]
            icon = run(["xprop", "-id", window, "_NET_WM_ICON"])
            if "not found" in icon or "no such" in icon:
                fail("the window has no icon")
    finally:
        browser.send_signal(signal.SIGKILL)
        browser.wait()


def main():
    mode, where, version = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as temp:
        home = os.path.join(temp, "home")
        os.mkdir(home)
        env = isolated_env(home)
        if mode == "install":
            prefix = os.path.join(temp, "prefix")
            run(["cmake", "--install", where, "--prefix", prefix])
            check_files(prefix)
            validate(prefix)
            check_programs(prefix, version, env)
            main_window_shows(prefix, env, home)
        else:
            packages = sorted(glob.glob(os.path.join(where, "vynwebbrowser_*.deb")), key=os.path.getmtime)
            if not packages:
                print(f"SKIPPED: no package in {where}; scripts/package makes one")
                sys.exit(SKIP)
            root = os.path.join(temp, "root")
            run(["dpkg-deb", "-x", packages[-1], root])
            prefix = os.path.join(root, "usr")
            check_files(prefix)
            check_programs(prefix, version, env)
    print("OK")


main()
