import os
import time
import unittest

from harness import PlayerTestCase, wait_until
from media import make_tone


class RecordingTest(PlayerTestCase):
    def test_r_records_what_plays_into_a_file(self):
        folder = os.path.join(self.s.env["XDG_CONFIG_HOME"], "Corvane")
        os.makedirs(folder, exist_ok=True)
        out = os.path.join(self.s.media, "recordings")
        os.makedirs(out)
        with open(os.path.join(folder, "Corvane.ini"), "w", encoding="utf-8") as f:
            f.write("[Recording]\nPath=%s\nFormat=0\n" % out)
        tone = make_tone(os.path.join(self.s.media, "tone.wav"), 20)
        self.s.launch(tone)
        time.sleep(1.0)
        self.s.key("r")
        self.assertTrue(self.s.wait_spoken("SPEAK 1 Recording started"), self.s.spoken())
        status = lambda: (self.s.status_bar_texts() or ["", "", ""])[2]
        self.assertTrue(wait_until(lambda: status().endswith(" | REC")), status())
        time.sleep(1.5)
        self.s.key("r")
        self.assertTrue(self.s.wait_spoken("SPEAK 1 Recording stopped"), self.s.spoken())
        files = wait_until(lambda: [f for f in os.listdir(out) if f.endswith(".wav") and not f.startswith(".")])
        self.assertEqual(len(files), 1, os.listdir(out))
        # The tone is mono: 1.5 s at 44.1 kHz in 16 bits is about 132 kB.
        size = os.path.getsize(os.path.join(out, files[0]))
        self.assertGreater(size, 110000)
        self.assertLess(size, 400000)


if __name__ == "__main__":
    unittest.main()
