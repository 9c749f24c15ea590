import os
import subprocess
import time
import unittest

from harness import CORVANE, PlayerTestCase, wait_until
from media import make_tone


def make_file(folder, name):
    return make_tone(os.path.join(folder, name), 2)


class SingleInstanceTest(PlayerTestCase):
    def setUp(self):
        super().setUp()

    def run_second(self, *args, timeout=10):
        start = time.monotonic()
        r = subprocess.run([CORVANE, *args], env=self.s.env, timeout=timeout,
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        return r.returncode, time.monotonic() - start, r.stdout.decode(errors="replace")

    def test_second_launch_without_files_brings_the_first_forward(self):
        self.s.launch()
        first = self.s.find_windows()
        self.assertEqual(len(first), 1)
        # Give the focus elsewhere: an unrelated X window of our own.
        other = subprocess.Popen(["xdotool", "search", "--sync", "--onlyvisible", "--name", "nothing-here"],
                                 env=self.s.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        other.kill()
        self.s.xdotool("windowfocus", "--sync", self.s.xdotool("search", "--name", "^Corvane$").split()[0])

        code, elapsed, out = self.run_second()
        self.assertEqual(code, 0, out)
        self.assertLess(elapsed, 1.0)
        time.sleep(0.5)
        self.assertEqual(self.s.find_windows(), first, "no second window may appear")
        focused = self.s.xdotool("getwindowfocus")
        self.assertTrue(wait_until(lambda: self.s.xdotool("getwindowfocus") in first or
                                   self.s.xdotool("getwindowfocus", "-f") in first, timeout=3),
                        "the running window did not come forward (focus %s)" % focused)

    def test_second_launch_with_a_file_hands_it_over(self):
        a = make_file(self.s.media, "first.wav")
        b = make_file(self.s.media, "second.wav")
        self.s.launch(a)
        wid = self.s.find_windows()[0]
        self.assertTrue(wait_until(lambda: self.s.window_title(wid) == "Corvane - first.wav", timeout=10),
                        self.s.window_title(wid))
        time.sleep(0.5)  # past the 300 ms joining window

        code, elapsed, out = self.run_second(b, "--not-a-file", "http://example.invalid/x")
        self.assertEqual(code, 0, out)
        self.assertLess(elapsed, 1.0)
        self.assertTrue(wait_until(lambda: self.s.window_title(wid) == "Corvane - second.wav", timeout=5),
                        self.s.window_title(wid))
        self.assertEqual(len(self.s.find_windows()), 1)

    def test_a_later_batch_replaces_the_queue_and_is_saved_at_exit(self):
        config = os.path.join(self.s.env["XDG_CONFIG_HOME"], "Corvane")
        os.makedirs(config, exist_ok=True)
        with open(os.path.join(config, "Corvane.ini"), "w") as f:
            f.write("[Playback]\nRememberState=1\n")
        a = make_file(self.s.media, "one.wav")
        b = make_file(self.s.media, "two.wav")
        c = make_file(self.s.media, "three.wav")
        first = self.s.launch(a)
        wid = self.s.find_windows()[0]
        time.sleep(0.5)
        code, _, out = self.run_second(b, c)
        self.assertEqual(code, 0, out)
        self.assertTrue(wait_until(lambda: self.s.window_title(wid) == "Corvane - two.wav", timeout=5),
                        self.s.window_title(wid))
        first.terminate()
        self.assertEqual(first.wait(timeout=10), 0)
        with open(os.path.join(config, "Corvane.ini"), encoding="utf-8") as f:
            ini = f.read()
        queue = ini.split("[Playlist]")[1].split("[")[0].split()
        self.assertEqual(queue, ["Track0=" + b, "Track1=" + c])
        self.assertIn("File1=" + a, ini)  # the first item was played, so it is a recent file


if __name__ == "__main__":
    unittest.main()
