import os
import time
import unittest

from harness import PlayerTestCase, wait_until


class PresetTest(PlayerTestCase):
    def test_save_a_preset_from_the_menu_and_find_it_there(self):
        self.s.launch()
        app = self.s.accessible_app()
        self.s.key("p")
        save = wait_until(lambda: [n for role, name, n in self.s.accessible_nodes(app)
                                   if role == "menu item" and name.startswith("Save current as new preset")], timeout=5)
        self.assertTrue(save, [(r, n) for r, n, _ in self.s.accessible_nodes(app)][-10:])
        self.assertTrue(any(name == "(No presets saved)" for role, name, _ in self.s.accessible_nodes(app)))
        save[0].queryAction().doAction(0)
        dialog = wait_until(lambda: self.s.xdotool("search", "--onlyvisible", "--name", "^Save Effect Preset$"),
                            timeout=5)
        self.assertTrue(dialog)
        self.s.xdotool("windowfocus", "--sync", dialog.split()[0])
        self.s.xdotool("type", "Evening")
        self.s.xdotool("key", "Return")
        self.assertTrue(self.s.wait_spoken("Saved preset"), self.s.spoken())
        self.assertTrue(any("Evening" in l for l in self.s.spoken() if "Saved preset" in l), self.s.spoken())
        ini = os.path.join(self.s.env["XDG_CONFIG_HOME"], "Corvane", "Corvane.ini")
        with open(ini, encoding="utf-8") as f:
            self.assertIn("Evening", f.read())


if __name__ == "__main__":
    unittest.main()
