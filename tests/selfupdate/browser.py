"""The steps a person takes in the browser's windows to reach the about box and walk the
update wizard, in French."""

import re
import sys
import time

from desktop import DesktopError

VERSION_TEXT = re.compile(r"^\d+\.\d+\.\d+\.\d+$")
ABOUT = "A propos de..."
WIZARD = "Mise à jour de l'application"


def main_window(desktop, app):
    return desktop.wait("the main window", lambda: next(
        (w for w in desktop.find_all(app, "frame") if desktop.find_all(w, "push button")), None))


def open_about(desktop, app):
    """The configuration button is the last button of the toolbar; its menu ends with the
    about item. Pop-up menus are not on the accessibility bus: the item is chosen with the
    keyboard, which the open menu holds."""
    window = main_window(desktop, app)
    buttons = desktop.wait("the toolbar", lambda: desktop.find_all(window, "push button") or None)
    config = max(buttons, key=lambda b: desktop.extents(b)[0])
    # A busy machine may open the menu late or drop the keys: try again from a closed menu.
    for attempt in range(5):
        desktop.click(config)
        time.sleep(1.0 + attempt)
        desktop.keys("Up", "Return")
        try:
            return desktop.window(app, ABOUT, timeout=5)
        except DesktopError:
            print(f"the about box did not open (attempt {attempt + 1}); again", file=sys.stderr)
            desktop.keys("Escape")
    return desktop.window(app, ABOUT, timeout=5)


def shown_version(desktop, about):
    return desktop.find(about, "label", VERSION_TEXT).name


def walk_wizard(desktop, app, pages=None):
    """Start, Get update, Next (what's new), I accept + Next (licence), Next (components),
    Restart. `pages(name, wizard)` is called on each page once it shows."""
    wizard = desktop.window(app, WIZARD)
    seen = pages or (lambda name, window: None)
    seen("1-bienvenue", wizard)
    desktop.press(wizard, "push button", "Vérifier")
    desktop.find(wizard, "label", re.compile("Une nouvelle version est disponible"))
    seen("2-version", wizard)
    desktop.press(wizard, "push button", "Mettre à jour")
    desktop.find(wizard, "label", "Nouveautés")
    seen("3-nouveautes", wizard)
    desktop.press(wizard, "push button", "Suivant")
    desktop.find(wizard, "label", "Informations de license")
    desktop.press(wizard, "radio button", "J'accepte")
    seen("4-licence", wizard)
    desktop.press(wizard, "push button", "Suivant")
    desktop.find(wizard, "label", "Composants d'application disponible")
    seen("5-composants", wizard)
    return wizard


def download_and_restart(desktop, app, wizard, pages=None):
    seen = pages or (lambda name, window: None)
    desktop.press(wizard, "push button", "Suivant")
    desktop.find(wizard, "label", "Mise à jour terminée", timeout=120)
    seen("7-fin", wizard)
    desktop.press(wizard, "push button", "Redémarrer")
    # The engine asks before it closes the program for the updater.
    desktop.press(app, "push button", re.compile(r"^&?(Yes|Oui)$"))
