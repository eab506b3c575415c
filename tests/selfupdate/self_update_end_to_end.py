"""SelfUpdateEndToEnd: a copy of the browser in its own application folder updates itself from
a local HTTP server. A person opens the about box, clicks "Mise à jour du programme", walks
every wizard page and restarts; the old process ends, the updater replaces the executable and
the new version starts, and its about box shows the new version.

Usage: self_update_end_to_end.py OLD_EXECUTABLE NEW_EXECUTABLE NEW_VERSION
(under an X server, inside dbus-run-session)."""

import filecmp
import os
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import browser  # noqa: E402
import release  # noqa: E402
from desktop import Desktop  # noqa: E402
from session import Session  # noqa: E402


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def wait_for_exit(process, timeout):
    try:
        return process.wait(timeout)
    except Exception:
        screen = os.path.join(os.environ.get("VYN_FAILURE_SCREENSHOT_DIR", "/tmp"),
                              "self-update-failure.png")
        subprocess.run(["import", "-silent", "-window", "root", screen])
        raise AssertionError(f"the old browser did not end for the updater (screen: {screen})")


def main(old_executable, new_executable, new_version):
    desktop = Desktop()
    session = Session(old_executable)
    restarted_pid = None
    old = None
    try:
        release.make_release(session.release_dir, new_executable, new_version)
        server, url = release.serve(session.release_dir, new_executable, new_version)

        old = session.start(url)
        app = desktop.application("vynWebBrowser", pid=old.pid)
        about = browser.open_about(desktop, app)
        old_version = browser.shown_version(desktop, about)
        check(old_version != new_version, f"the old build already shows {old_version}")
        desktop.press(about, "push button", "Mise à jour du programme")

        wizard = browser.walk_wizard(desktop, app)
        browser.download_and_restart(desktop, app, wizard)
        wait_for_exit(old, 60)

        restarted = desktop.application("vynWebBrowser", not_pid=old.pid, timeout=90)
        restarted_pid = restarted.get_process_id()
        check(os.path.realpath(f"/proc/{restarted_pid}/exe") == session.executable,
              "the restarted program is not the one in the application folder")
        check(filecmp.cmp(session.executable, new_executable, shallow=False),
              "the executable was not replaced by the new build")
        check(os.access(session.executable, os.X_OK), "the replaced executable lost its mode")
        check(os.path.exists(os.path.join(session.app_dir, "guide.txt")),
              "the optional component was not installed")

        about = browser.open_about(desktop, restarted)
        shown = browser.shown_version(desktop, about)
        check(shown == new_version, f"the about box shows {shown}, not {new_version}")
        log = session.log()
        check("UPD has EXE restarted" in log, "the updater did not log the restart:\n" + log)
        server.shutdown()
        print(f"updated from {old_version} to {shown}")
    finally:
        for pid in (restarted_pid, old.pid if old and old.poll() is None else None):
            if pid:
                try:
                    os.kill(pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        time.sleep(0.5)
        session.remove()


if __name__ == "__main__":
    main(*sys.argv[1:4])
