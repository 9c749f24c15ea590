import os
import unittest

from harness import PlayerTestCase, wait_until
from media import make_tone, write_m3u


class RadioTest(PlayerTestCase):
    def setUp(self):
        super().setUp()
        folder = os.path.join(self.s.env["XDG_CONFIG_HOME"], "Corvane")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "Corvane.ini"), "w", encoding="utf-8") as f:
            f.write("[Speech]\nTrackChange=1\n")
        from radio import RadioServer
        mp3 = make_tone(os.path.join(self.s.media, "loop.mp3"), 6)
        self.radio = RadioServer(mp3)
        self.addCleanup(self.radio.close)

    def status(self):
        return self.s.status_bar_texts() or ["", "", ""]

    def test_a_live_station_plays_titles_and_refuses_to_pause(self):
        playlist = write_m3u(os.path.join(self.s.media, "radio.m3u"), [self.radio.url])
        player = self.s.launch(playlist)
        self.assertTrue(self.s.wait_spoken("SPEAK 1 Band - First Song"), self.s.spoken())
        self.assertTrue(wait_until(lambda: self.status()[2] == "Playing | 64 kbps"), self.status())
        self.assertEqual(self.status()[0], "--:-- / --:--")

        self.radio.title = "Other Band - Next Song"
        self.assertTrue(self.s.wait_spoken("SPEAK 1 Other Band - Next Song", timeout=15), self.s.spoken())

        self.s.key("c")
        self.assertTrue(self.s.wait_spoken("SPEAK 1 Cannot pause live stream"), self.s.spoken())
        self.s.key("space")
        self.assertTrue(wait_until(lambda: self.status()[2] == "Stopped"), self.status())

        player.terminate()
        self.assertEqual(player.wait(timeout=10), 0)
        import sqlite3
        db = sqlite3.connect(os.path.join(self.s.env["XDG_CONFIG_HOME"], "Corvane", "Corvane.db"))
        titles = [row[0] for row in db.execute("SELECT title FROM song_history ORDER BY id")]
        db.close()
        self.assertIn("Other Band - Next Song", titles)

    def test_a_refused_url_explains_itself(self):
        import socket
        probe = socket.socket()
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
        probe.close()  # nothing listens there now
        url = "http://127.0.0.1:%d/stream" % port
        playlist = write_m3u(os.path.join(self.s.media, "dead.m3u"), [url])
        self.s.launch(playlist)
        app = self.s.accessible_app()

        def box_text():
            return " ".join(name for role, name, _ in self.s.accessible_nodes(app) if role == "label")
        self.assertTrue(wait_until(lambda: "Cannot play URL:" in box_text(), timeout=10), box_text())
        self.assertIn(url, box_text())
        self.assertIn("Could not connect to URL. (code 2)", box_text())


if __name__ == "__main__":
    unittest.main()
