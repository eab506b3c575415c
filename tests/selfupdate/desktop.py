"""Drives the programs' windows as a person would: finds controls through the accessibility bus
(role and visible text) and clicks them with the X pointer; takes screenshots of windows.

Run under an X server and a D-Bus session (xvfb-run, dbus-run-session). The programs must be
started after Desktop() so that they find the accessibility bus (QT_LINUX_ACCESSIBILITY_ALWAYS_ON).
"""

import re
import subprocess
import time

import pyatspi


class DesktopError(AssertionError):
    pass


def _children(node):
    try:
        return [c for c in node if c is not None]
    except Exception:
        return []


def _showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


class Desktop:
    def __init__(self):
        # Starts the accessibility bus before any program looks for it.
        self.root = pyatspi.Registry.getDesktop(0)

    def wait(self, what, probe, timeout=30.0):
        deadline = time.monotonic() + timeout
        while True:
            # The bus client caches names, states and children: read them afresh.
            self.root.clear_cache()
            result = probe()
            if result is not None and result is not False:
                return result
            if time.monotonic() > deadline:
                raise DesktopError(f"timed out waiting for {what}")
            time.sleep(0.1)

    def applications(self, name):
        return [a for a in _children(self.root) if a.name == name]

    def application(self, name, pid=None, not_pid=None, timeout=60.0):
        def probe():
            for app in self.applications(name):
                try:
                    app_pid = app.get_process_id()
                except Exception:
                    continue
                if (pid is None or app_pid == pid) and (not_pid is None or app_pid != not_pid):
                    return app
            return None

        return self.wait(f"application {name}", probe, timeout)

    def find_all(self, node, role=None, name=None, showing=True):
        """Every descendant with the role and a name equal to `name` (or matching a compiled
        regular expression)."""
        found, stack = [], [node]
        while stack:
            item = stack.pop()
            for child in _children(item):
                stack.append(child)
                try:
                    if role is not None and child.getRoleName() != role:
                        continue
                    if name is not None:
                        text = child.name or ""
                        if isinstance(name, re.Pattern):
                            if not name.search(text):
                                continue
                        elif text != name:
                            continue
                except Exception:
                    continue
                if showing and not _showing(child):
                    continue
                found.append(child)
        return found

    def find(self, node, role=None, name=None, timeout=30.0):
        return self.wait(f"{role} {name!r}", lambda: (self.find_all(node, role, name) or [None])[0],
                         timeout)

    def window(self, app, title, timeout=30.0):
        def probe():
            for child in _children(app):
                if child.name == title and _showing(child):
                    return child
            return None

        return self.wait(f"window {title!r}", probe, timeout)

    @staticmethod
    def extents(node):
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return box.x, box.y, box.width, box.height

    def click(self, node):
        x, y, w, h = self.extents(node)
        subprocess.run(["xdotool", "mousemove", "--sync", str(x + w // 2), str(y + h // 2),
                        "click", "1"], check=True)

    @staticmethod
    def keys(*names):
        subprocess.run(["xdotool", "key", "--delay", "100", *names], check=True)

    def press(self, app, role, name, timeout=30.0):
        """Clicks the showing control once it is enabled."""
        def probe():
            for node in self.find_all(app, role, name):
                if node.getState().contains(pyatspi.STATE_ENABLED):
                    return node
            return None

        node = self.wait(f"enabled {role} {name!r}", probe, timeout)
        self.click(node)
        return node

    def screenshot(self, node, path):
        x, y, w, h = self.extents(node)
        subprocess.run(["import", "-silent", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}",
                        "+repage", path], check=True)
