"""A release of a newer vynWebBrowser, made in a folder and served over HTTP on 127.0.0.1.

The control file announces the newer version by its version note; the new executable is an
application component, so the updater replaces it once the running browser has ended.
"""

import http.server
import os
import shutil
import threading
import time

WHATS_NEW_RTF = (
    r"{\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss Tahoma;}}"
    r"{\colortbl;\red0\green64\blue128;}"
    r"\f0\fs20{\cf1\b\fs24 Nouveaut\'e9s de la version %(version)s}\par\par"
    r"\'95  D\'e9marrage plus rapide du navigateur\par"
    r"\'95  La mise \'e0 jour se fait depuis la bo\'eete \'ab A propos de... \'bb\par"
    r"\'95  {\i Corrections} de l'affichage de la barre d'\'e9tat\par}"
)

LICENCE = (
    "Contrat de licence de vynWebBrowser\n\n"
    "Ce logiciel est fourni tel quel, sans garantie d'aucune sorte. Vous pouvez l'installer et\n"
    "l'utiliser sur autant de postes que vous le souhaitez. Vous ne pouvez pas le revendre.\n"
)

GUIDE = "Guide de démarrage de vynWebBrowser\n\nCliquez sur la maison pour revenir à l'accueil.\n"


def make_release(folder, new_executable, version):
    """Writes the files of the release into `folder`; the control file is written by serve()."""
    os.makedirs(folder, exist_ok=True)
    shutil.copyfile(new_executable, os.path.join(folder, "vynWebBrowser_NEW"))
    with open(os.path.join(folder, "nouveautes.rtf"), "w", encoding="ascii") as f:
        f.write(WHATS_NEW_RTF % {"version": version})
    with open(os.path.join(folder, "licence.txt"), "w", encoding="utf-8") as f:
        f.write(LICENCE)
    with open(os.path.join(folder, "guide.txt"), "w", encoding="utf-8") as f:
        f.write(GUIDE)


def control_file(base_url, version, new_executable):
    size = os.path.getsize(new_executable)
    return (
        "[update]\n"
        f"newversion={version}\n"
        "localversion={APP}\\vynWebBrowser\n"
        f"descr=Version {version} du navigateur\\nDémarrage plus rapide\n"
        "[whatsnew]\n"
        f"file={base_url}/nouveautes.rtf\n"
        "[eula]\n"
        f"file={base_url}/licence.txt\n"
        "[application]\n"
        "appupdate=1\n"
        "appname={APP}\\vynWebBrowser\n"
        "appcomps=vynWebBrowser_NEW\n"
        "[files]\n"
        "count=2\n"
        "[file1]\n"
        f"url={base_url}/vynWebBrowser_NEW\n"
        f"descr=Navigateur vynWebBrowser {version}\n"
        f"filesize={size}\n"
        "mandatory=1\n"
        "[file2]\n"
        f"url={base_url}/guide.txt\n"
        "descr=Guide de démarrage\n"
        "targetdir={APP}\n"
    )


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    slow_start = False

    def log_message(self, *args):
        pass

    def copyfile(self, source, outputfile):
        # With slow_start the first MiB of the executable takes about two seconds, so that the
        # download page can be seen.
        if self.slow_start and self.path.endswith("_NEW"):
            for _ in range(16):
                outputfile.write(source.read(65536))
                time.sleep(0.12)
        shutil.copyfileobj(source, outputfile)


def serve(folder, new_executable, version, slow_start=False):
    """Starts a server for `folder` on a free loopback port; returns (server, control-file URL)."""
    handler_class = type("Handler", (_QuietHandler,), {"slow_start": slow_start})
    handler = lambda *a, **k: handler_class(*a, directory=folder, **k)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    base = f"http://127.0.0.1:{server.server_address[1]}"
    with open(os.path.join(folder, "vynWebBrowser.INF"), "w", encoding="utf-8") as f:
        f.write(control_file(base, version, new_executable))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, base + "/vynWebBrowser.INF"
