import os
import unittest

from harness import PlayerTestCase, wait_until
from media import make_tone


class BookmarksTest(PlayerTestCase):
    def test_mark_list_and_jump_back(self):
        path = make_tone(os.path.join(self.s.media, "talk.mp3"), 60, title="Talk")
        self.s.launch(path)
        self.s.key("c", "Right", "Right", "Right")  # paused at 0:15
        self.s.key("m")
        self.assertTrue(self.s.wait_spoken("SPEAK 1 Bookmark added"), self.s.spoken())
        self.s.key("Home")

        app = self.s.accessible_app()
        self.s.key("ctrl+m")
        items = wait_until(lambda: [name for role, name, _ in self.s.accessible_nodes(app)
                                    if role in ("list item", "table cell") and "@" in name], timeout=5)
        self.assertEqual(items, ["talk.mp3 @ 0:15"])
        dialog = self.s.xdotool("search", "--onlyvisible", "--name", "^Bookmarks$").split()[0]
        self.s.xdotool("windowfocus", "--sync", dialog)
        self.s.xdotool("key", "Return")
        self.assertTrue(wait_until(lambda: not self.s.xdotool("search", "--onlyvisible", "--name", "^Bookmarks$")))
        self.s.key("ctrl+shift+e")
        self.assertTrue(self.s.wait_spoken("SPEAK 1 0:15"), self.s.spoken())


if __name__ == "__main__":
    unittest.main()
