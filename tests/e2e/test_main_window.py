import unittest

from harness import PlayerTestCase, wait_until


class MainWindowTest(PlayerTestCase):
    def setUp(self):
        super().setUp()
        self.player = self.s.launch()

    def test_title_menus_and_status_bar_are_readable(self):
        wid = self.s.find_windows()[0]
        self.assertEqual(self.s.window_title(wid), "Corvane")

        app = self.s.accessible_app()
        self.assertIsNotNone(app, "the program is not on the accessibility bus")
        nodes = self.s.accessible_nodes(app)
        bar = [node for role, _, node in nodes if role == "menu bar"][0]
        menus = [bar.getChildAtIndex(i).name for i in range(bar.childCount)]
        self.assertEqual(menus, ["File", "Playback", "Video", "Help"])

        items = {name for role, name, _ in nodes if role in ("menu item", "check menu item")}
        for label in ("Open...", "Add Folder...", "Exit", "Play", "Play/Pause", "Shuffle",
                      "Speak Total", "Fullscreen", "Take Screenshot", "Manual",
                      "Audit dialog layout...", "(Empty)"):
            self.assertIn(label, items)

        texts = wait_until(lambda: self.s.status_bar_texts(), timeout=10)
        self.assertEqual(texts, ["--:-- / --:--", "Vol: 100%", "Stopped"])

    def test_menu_items_carry_their_shortcuts(self):
        import pyatspi
        app = self.s.accessible_app()
        bindings = {}
        for role, name, node in self.s.accessible_nodes(app):
            if role in ("menu item", "check menu item"):
                try:
                    action = node.queryAction()
                    bindings[name] = action.getKeyBinding(0)
                except (NotImplementedError, Exception):
                    pass
        self.assertIn("Shuffle", bindings)
        self.assertTrue(any("h" in b.lower() for b in bindings["Shuffle"].split(";")),
                        bindings["Shuffle"])


if __name__ == "__main__":
    unittest.main()
