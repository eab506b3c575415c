"""scripts/demo-update: serves a newer release of the browser on 127.0.0.1, starts the current
build from a temporary application folder, and cleans up once every browser started from
there has ended. Usage: demo_update.py OLD_EXECUTABLE NEW_EXECUTABLE NEW_VERSION"""

import glob
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import release  # noqa: E402
from session import Session  # noqa: E402


def browsers_running(executable):
    running = []
    for link in glob.glob("/proc/[0-9]*/exe"):
        try:
            if os.readlink(link).startswith(executable):
                running.append(link)
        except OSError:
            pass
    return running


def main(old_executable, new_executable, new_version):
    session = Session(old_executable)
    try:
        release.make_release(session.release_dir, new_executable, new_version)
        server, url = release.serve(session.release_dir, new_executable, new_version)
        browser = session.start(url)
        print(f"Le navigateur démarre depuis {session.app_dir}; la version {new_version} est publiée sur {url}.")
        print("Cliquez sur le bouton de configuration (à droite), « A propos de... », « Mise à jour du programme », puis suivez l'assistant jusqu'à « Redémarrer ».")
        sys.stdout.flush()
        # The browser ends for the updater, which starts the new version: wait for both.
        while browser.poll() is None or browsers_running(session.executable):
            time.sleep(1)
        server.shutdown()
    except KeyboardInterrupt:
        pass
    finally:
        session.remove()


if __name__ == "__main__":
    main(*sys.argv[1:4])
