import os
import unittest

from harness import PlayerTestCase, wait_until
from media import make_tone, write_m3u


class PlaylistManagerTest(PlayerTestCase):
    def lines(self, app):
        return [name for role, name, _ in self.s.accessible_nodes(app)
                if role in ("list item", "table cell") and ". " in name]

    def test_remove_move_and_play_from_the_manager(self):
        folder = os.path.join(self.s.env["XDG_CONFIG_HOME"], "Corvane")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "Corvane.ini"), "w", encoding="utf-8") as f:
            f.write("[Speech]\nTrackChange=1\n")
        for name in ("one", "two", "three"):
            make_tone(os.path.join(self.s.media, name + ".wav"), 20, title=name.capitalize())
        playlist = write_m3u(os.path.join(self.s.media, "list.m3u"), ["one.wav", "two.wav", "three.wav"])
        self.s.launch(playlist)
        self.assertTrue(self.s.wait_spoken("SPEAK 1 One"))
        app = self.s.accessible_app()

        self.s.key("ctrl+p")
        self.assertTrue(wait_until(lambda: self.lines(app) == ["1. one.wav", "2. two.wav", "3. three.wav"]),
                        self.lines(app))
        dialog = self.s.xdotool("search", "--onlyvisible", "--name", "^Playlist Manager$").split()[0]
        self.s.xdotool("windowfocus", "--sync", dialog)
        self.s.xdotool("key", "Down")          # line 2
        self.s.xdotool("key", "Delete")
        self.assertTrue(self.s.wait_spoken("SPEAK 1 1 removed"), self.s.spoken())
        self.assertTrue(wait_until(lambda: self.lines(app) == ["1. one.wav", "2. three.wav"]), self.lines(app))
        self.s.xdotool("key", "alt+Up")        # three moves above one
        self.assertTrue(wait_until(lambda: self.lines(app) == ["1. three.wav", "2. one.wav"]), self.lines(app))
        self.s.xdotool("key", "Return")        # plays the selected line
        self.assertTrue(self.s.wait_spoken("SPEAK 1 Three"), self.s.spoken())
        self.assertTrue(wait_until(lambda: not self.s.xdotool("search", "--onlyvisible", "--name",
                                                                "^Playlist Manager$")))


if __name__ == "__main__":
    unittest.main()
