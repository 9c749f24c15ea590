import os
import time
import unittest

from harness import PlayerTestCase, wait_until
from media import make_tone


class RecentFilesTest(PlayerTestCase):
    def test_recent_files_menu_lists_newest_first_and_plays_a_choice(self):
        folder = os.path.join(self.s.env["XDG_CONFIG_HOME"], "Corvane")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "Corvane.ini"), "w", encoding="utf-8") as f:
            f.write("[Speech]\nTrackChange=1\n")
        a = make_tone(os.path.join(self.s.media, "alpha.wav"), 3, title="Alpha")
        b = make_tone(os.path.join(self.s.media, "beta & gamma.wav"), 3, title="Beta")
        player = self.s.launch(a)
        self.assertTrue(self.s.wait_spoken("SPEAK 1 Alpha"))
        time.sleep(0.5)
        self.s.launch(b, wait_window=False).wait(timeout=10)
        self.assertTrue(self.s.wait_spoken("SPEAK 1 Beta"))

        app = self.s.accessible_app()
        recent = [n for role, name, n in self.s.accessible_nodes(app) if role == "menu" and name == "Recent Files"][0]
        # The sub-menu is rebuilt when the File menu opens.
        file_menu = [n for role, name, n in self.s.accessible_nodes(app) if role == "menu" and name == "File"][0]
        file_menu.queryAction().doAction(0)
        labels = wait_until(lambda: [recent.getChildAtIndex(i).name for i in range(recent.childCount)]
                            if recent.childCount and recent.getChildAtIndex(0).name != "(Empty)" else None, timeout=5)
        self.assertEqual(labels, ["1 beta & gamma.wav", "2 alpha.wav"])
        self.s.xdotool("key", "Escape")

        recent.getChildAtIndex(1).queryAction().doAction(0)
        self.assertTrue(wait_until(lambda: self.s.spoken().count("SPEAK 1 Alpha") == 2), self.s.spoken())
        player.terminate()
        player.wait(timeout=10)


if __name__ == "__main__":
    unittest.main()
