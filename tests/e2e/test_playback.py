import os
import time
import unittest

from harness import CORVANE, PlayerTestCase, wait_until
from media import make_tone, write_m3u


class PlaybackTest(PlayerTestCase):
    def setUp(self):
        super().setUp()
        self.write_settings("[Speech]\nTrackChange=1\n")

    def write_settings(self, text):
        folder = os.path.join(self.s.env["XDG_CONFIG_HOME"], "Corvane")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "Corvane.ini"), "w", encoding="utf-8") as f:
            f.write(text)

    def status(self):
        return self.s.status_bar_texts() or ["", "", ""]

    def wait_state(self, text, timeout=5):
        return wait_until(lambda: self.status()[2].split(" | ")[0] == text, timeout=timeout)

    def test_open_pause_next_previous_and_the_end_of_the_queue(self):
        a = make_tone(os.path.join(self.s.media, "a.mp3"), 4, title="First Song", artist="Some Band")
        b = make_tone(os.path.join(self.s.media, "b.mp3"), 2, title="Second Song")
        playlist = write_m3u(os.path.join(self.s.media, "list.m3u"), ["a.mp3", "b.mp3"])
        self.s.launch(playlist)
        self.assertTrue(self.s.wait_spoken("SPEAK 1 Some Band - First Song"), self.s.spoken())
        self.assertTrue(self.wait_state("Playing"), self.status())
        self.assertTrue(wait_until(lambda: self.status()[0].endswith(" / 0:04")), self.status())

        self.s.key("space")
        self.assertTrue(self.wait_state("Paused"), self.status())
        self.s.key("space")
        self.assertTrue(self.wait_state("Playing"), self.status())

        self.s.key("b")
        self.assertTrue(self.s.wait_spoken("SPEAK 1 Second Song"), self.s.spoken())
        self.s.key("z")  # within 3 s: back to the first item
        self.assertTrue(wait_until(lambda: self.s.spoken().count("SPEAK 1 Some Band - First Song") == 2),
                        self.s.spoken())

        self.s.key("b")
        self.assertTrue(wait_until(lambda: self.s.spoken().count("SPEAK 1 Second Song") == 2), self.s.spoken())
        # Repeat is off: the last item ends and stays loaded, stopped.
        self.assertTrue(self.wait_state("Stopped", timeout=8), self.status())
        self.assertEqual(self.status()[0], "0:00 / 0:02")
        wid = self.s.find_windows()[0]
        self.assertEqual(self.s.window_title(wid), "Corvane - Second Song")

    def test_repeat_key_cycles_and_is_saved(self):
        self.s.launch()
        for expected in ("Repeat track", "Repeat all", "Repeat off"):
            self.s.key("e")
            self.assertTrue(self.s.wait_spoken("SPEAK 1 " + expected), self.s.spoken())
        ini = os.path.join(self.s.env["XDG_CONFIG_HOME"], "Corvane", "Corvane.ini")
        with open(ini, encoding="utf-8") as f:
            self.assertIn("RepeatMode=0", f.read())

    def test_missing_items_are_skipped_silently(self):
        c = make_tone(os.path.join(self.s.media, "third.wav"), 3, title="Third")
        playlist = write_m3u(os.path.join(self.s.media, "list.m3u"), ["gone1.wav", "gone2.wav", "third.wav"])
        self.s.launch(playlist)
        self.assertTrue(self.wait_state("Playing"), self.status())
        app = self.s.accessible_app()
        dialogs = [n for role, n2, n in self.s.accessible_nodes(app) if role in ("alert", "dialog")]
        self.assertEqual(dialogs, [])

    def test_a_single_missing_file_shows_why(self):
        playlist = write_m3u(os.path.join(self.s.media, "list.m3u"), ["gone.wav"])
        self.s.launch(playlist)
        app = self.s.accessible_app()

        def box_text():
            texts = [name for role, name, _ in self.s.accessible_nodes(app) if role == "label"]
            return " ".join(texts)
        self.assertTrue(wait_until(lambda: "Cannot play file:" in box_text(), timeout=10), box_text())
        self.assertIn("Could not open the file.", box_text())
        self.assertIn("gone.wav", box_text())

    def test_volume_keys_change_the_status_bar(self):
        self.s.launch()
        self.assertTrue(wait_until(lambda: self.status()[1] == "Vol: 100%"), self.status())
        self.s.key("ctrl+Down")
        self.assertTrue(wait_until(lambda: self.status()[1] == "Vol: 98%"), self.status())
        self.s.key("Down")
        self.assertTrue(wait_until(lambda: self.status()[1] == "Vol: 96%"), self.status())
        self.s.key("ctrl+Up", "ctrl+Up", "ctrl+Up")
        self.assertTrue(wait_until(lambda: self.status()[1] == "Vol: 100%"), self.status())
        self.s.key("u")
        self.assertTrue(self.s.wait_spoken("SPEAK 1 Muted"), self.s.spoken())

    def test_audio_flows_in_real_time_at_the_set_tempo(self):
        # Twice the tempo: a 4-second item reaches its end in about 2 seconds
        # of wall time, which only happens when the device consumes its frames.
        self.write_settings("[Speech]\nTrackChange=1\n[Playback]\nTempo=100\n")
        make_tone(os.path.join(self.s.media, "tone.wav"), 4, freq=1000, title="Tone")
        make_tone(os.path.join(self.s.media, "after.wav"), 2, title="After")
        playlist = write_m3u(os.path.join(self.s.media, "list.m3u"), ["tone.wav", "after.wav"])
        self.s.launch(playlist)
        self.assertTrue(self.s.wait_spoken("SPEAK 1 Tone"), self.s.spoken())
        started = time.monotonic()
        self.assertTrue(self.s.wait_spoken("SPEAK 1 After", timeout=10), self.s.spoken())
        elapsed = time.monotonic() - started
        self.assertGreater(elapsed, 1.4)
        self.assertLess(elapsed, 3.5)

    def test_a_long_item_reopens_where_it_was_left(self):
        self.write_settings("[Speech]\nTrackChange=1\n[Playback]\nRememberPosMinutes=1\nRememberState=0\n")
        long_item = make_tone(os.path.join(self.s.media, "long.mp3"), 90, title="Long")
        player = self.s.launch(long_item)
        self.assertTrue(self.s.wait_spoken("SPEAK 1 Long"), self.s.spoken())
        # Move forward with the seek key until the readout passes 0:20.
        for _ in range(6):
            self.s.key("Right")
        self.assertTrue(wait_until(lambda: self.status()[0] >= "0:20", timeout=5), self.status())
        left_at = self.status()[0].split(" / ")[0]
        player.terminate()
        self.assertEqual(player.wait(timeout=10), 0)

        self.s.launch(long_item)
        self.assertTrue(wait_until(lambda: self.status()[0].startswith("0:2") or self.status()[0].startswith("0:3"),
                                   timeout=5), (left_at, self.status()))


if __name__ == "__main__":
    unittest.main()
