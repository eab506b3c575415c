"""An isolated browser session: its own home, settings, documents and temporary folders, an
application folder holding a copy of the browser, and the browser started from there."""

import os
import shutil
import subprocess
import tempfile


class Session:
    def __init__(self, old_executable):
        self.root = tempfile.mkdtemp(prefix="vyn-selfupdate-")
        self.app_dir = os.path.join(self.root, "app")
        self.release_dir = os.path.join(self.root, "release")
        home = os.path.join(self.root, "home")
        for folder in (self.app_dir, home, os.path.join(self.root, "tmp")):
            os.makedirs(folder)
        self.executable = os.path.join(self.app_dir, "vynWebBrowser")
        shutil.copy2(old_executable, self.executable)
        self.documents = os.path.join(home, "Documents")
        self.env = dict(
            os.environ,
            HOME=home,
            XDG_CONFIG_HOME=os.path.join(home, ".config"),
            XDG_DATA_HOME=os.path.join(home, ".local", "share"),
            XDG_CACHE_HOME=os.path.join(home, ".cache"),
            TMPDIR=os.path.join(self.root, "tmp"),
            VYN_REGISTRY_DIR=os.path.join(self.root, "registry"),
            QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
            QTWEBENGINE_DISABLE_SANDBOX="1",
            QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu",
            LANG="fr_FR.UTF-8",
        )
        self.env.pop("VYN_UPDATE_URL", None)

    def start(self, update_url):
        env = dict(self.env, VYN_UPDATE_URL=update_url)
        return subprocess.Popen([self.executable], cwd=self.app_dir, env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def log(self):
        path = os.path.join(self.documents, "WUPDATE.LOG")
        if not os.path.exists(path):
            return ""
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)
