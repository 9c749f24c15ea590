import os
import unittest

from harness import PlayerTestCase, wait_until


class SpokenResultsTest(PlayerTestCase):
    def setUp(self):
        super().setUp()

    def test_shuffle_key_is_spoken_checked_and_saved(self):
        player = self.s.launch()
        self.s.key("h")
        self.assertTrue(self.s.wait_spoken("SPEAK 1 Shuffle on"), self.s.spoken())
        self.s.key("h")
        self.assertTrue(self.s.wait_spoken("SPEAK 1 Shuffle off"), self.s.spoken())
        self.s.key("h")
        self.assertTrue(wait_until(lambda: self.s.spoken().count("SPEAK 1 Shuffle on") == 2), self.s.spoken())

        # The menu item's check mark follows the setting.
        app = self.s.accessible_app()
        shuffle = [n for role, name, n in self.s.accessible_nodes(app)
                   if role == "check menu item" and name == "Shuffle"]
        self.assertEqual(len(shuffle), 1)
        import pyatspi
        self.assertTrue(wait_until(lambda: shuffle[0].getState().contains(pyatspi.STATE_CHECKED), timeout=3))

        ini = os.path.join(self.s.env["XDG_CONFIG_HOME"], "Corvane", "Corvane.ini")
        with open(ini, encoding="utf-8") as f:
            self.assertIn("Shuffle=1", f.read())
        player.terminate()
        player.wait(timeout=10)

    def test_paste_with_nothing_useful_on_the_clipboard(self):
        self.s.launch()
        self.s.key("ctrl+v")
        self.assertTrue(self.s.wait_spoken("SPEAK 1 No media in clipboard"), self.s.spoken())


if __name__ == "__main__":
    unittest.main()
