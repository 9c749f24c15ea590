import os
import re
import unittest

from harness import PlayerTestCase, wait_until
from media import make_tone


class EffectCycleTest(PlayerTestCase):
    def spoken_matching(self, pattern):
        return [l for l in self.s.spoken() if re.search(pattern, l)]

    def test_tempo_joins_the_cycle_and_steps_live(self):
        path = make_tone(os.path.join(self.s.media, "tone.wav"), 30, title="Tone")
        self.s.launch(path)
        self.s.key("ctrl+3")  # put Tempo into the adjustable set
        self.assertTrue(wait_until(lambda: self.spoken_matching(r"^SPEAK 1 Tempo enabled")), self.s.spoken())
        self.s.key("bracketright")
        self.assertTrue(wait_until(lambda: self.spoken_matching(r"^SPEAK 1 Tempo [+]?0%")), self.s.spoken())
        self.s.key("Up", "Up")
        self.assertTrue(wait_until(lambda: self.spoken_matching(r"^SPEAK 1 Tempo [+]?10%")), self.s.spoken())
        self.s.key("BackSpace")
        self.assertTrue(wait_until(lambda: len(self.spoken_matching(r"^SPEAK 1 Tempo [+]?0%")) == 2), self.s.spoken())
        self.s.key("bracketleft")
        self.assertTrue(wait_until(lambda: self.spoken_matching(r"^SPEAK 1 Volume 100%")), self.s.spoken())
        self.s.key("Down")
        self.assertTrue(wait_until(lambda: self.spoken_matching(r"^SPEAK 1 Volume 98%")), self.s.spoken())


if __name__ == "__main__":
    unittest.main()
