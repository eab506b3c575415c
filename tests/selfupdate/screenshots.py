"""scripts/screenshots DIR: PNG screenshots of the main window, the about box, the news viewer
and the seven update wizard pages, in French. Usage: screenshots.py OLD NEW NEW_VERSION DIR
(under an X server, inside dbus-run-session)."""

import os
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import browser  # noqa: E402
import release  # noqa: E402
from desktop import Desktop  # noqa: E402
from session import Session  # noqa: E402


def main(old_executable, new_executable, new_version, folder):
    os.makedirs(folder, exist_ok=True)
    desktop = Desktop()
    session = Session(old_executable)
    process = None
    try:
        release.make_release(session.release_dir, new_executable, new_version)
        server, url = release.serve(session.release_dir, new_executable, new_version,
                                    slow_start=True)
        process = session.start(url)
        app = desktop.application("vynWebBrowser", pid=process.pid)
        shot = lambda name, window: desktop.screenshot(window, os.path.join(folder, name + ".png"))

        window = browser.main_window(desktop, app)
        time.sleep(4)  # the home page (an error page when offline) draws itself
        shot("fenetre-principale", window)

        about = browser.open_about(desktop, app)
        shot("a-propos", about)
        desktop.press(about, "push button", "Nouveautés")
        news = desktop.window(app, "Nouveautés !")
        shot("nouveautes", news)
        desktop.press(news, "push button", "Fermer")

        desktop.press(about, "push button", "Mise à jour du programme")
        wizard = browser.walk_wizard(desktop, app, lambda name, w: shot("assistant-" + name, w))
        desktop.press(wizard, "push button", "Suivant")
        desktop.find(wizard, "label", "Téléchargement des fichiers")
        shot("assistant-6-telechargement", wizard)
        desktop.find(wizard, "label", "Mise à jour terminée", timeout=120)
        shot("assistant-7-fin", wizard)
        server.shutdown()
    finally:
        if process and process.poll() is None:
            process.send_signal(signal.SIGKILL)
            process.wait()
        session.remove()
    for name in sorted(os.listdir(folder)):
        print(os.path.join(folder, name))


if __name__ == "__main__":
    main(*sys.argv[1:5])
