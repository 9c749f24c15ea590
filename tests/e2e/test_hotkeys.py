import os
import unittest

from harness import PlayerTestCase, wait_until


class GlobalHotkeyTest(PlayerTestCase):
    def test_a_global_hotkey_acts_while_another_window_has_the_focus(self):
        folder = os.path.join(self.s.env["XDG_CONFIG_HOME"], "Corvane")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "Corvane.ini"), "w", encoding="utf-8") as f:
            # Ctrl+Alt+P (modifiers 2|1, virtual key 0x50) runs action 36, Toggle Shuffle.
            f.write("[Hotkeys]\nEnabled=1\nCount=1\nHotkey0=3,80,36\n")
        self.s.launch()
        # The focus leaves the player: nothing of ours holds it.
        root = self.s.xdotool("search", "--maxdepth", "0", "--name", "")
        if root:
            self.s.xdotool("windowfocus", root.split()[0])
        self.s.xdotool("key", "ctrl+alt+p")
        self.assertTrue(self.s.wait_spoken("SPEAK 1 Shuffle on"), self.s.spoken())


if __name__ == "__main__":
    unittest.main()
