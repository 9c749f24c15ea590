import os
import unittest

from harness import PlayerTestCase, wait_until
from media import write_m3u

import subprocess


def make_chaptered_mp3(folder):
    meta = os.path.join(folder, "meta.txt")
    with open(meta, "w", encoding="utf-8") as f:
        f.write(";FFMETADATA1\ntitle=Long Talk\nartist=Speaker\nalbum=Talks\ndate=2020\ntrack=4\ngenre=Speech\n"
                "[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=20000\ntitle=Welcome\n"
                "[CHAPTER]\nTIMEBASE=1/1000\nSTART=20000\nEND=60000\ntitle=Interview\n"
                "[CHAPTER]\nTIMEBASE=1/1000\nSTART=60000\nEND=125000\ntitle=Goodbye\n")
    path = os.path.join(folder, "talk.mp3")
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=300:duration=125",
                    "-i", meta, "-map", "0:a", "-map_metadata", "1", "-map_chapters", "1",
                    "-c:a", "libmp3lame", "-b:a", "32k", "-id3v2_version", "3", path], check=True)
    return path


class InformationTest(PlayerTestCase):
    def setUp(self):
        super().setUp()
        folder = os.path.join(self.s.env["XDG_CONFIG_HOME"], "Corvane")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "Corvane.ini"), "w", encoding="utf-8") as f:
            # Units: 5 s and 1 minute enabled, chapters on.
            f.write("[Movement]\nSeek1s=0\nSeek5s=1\nSeek1m=1\nChapterSeek=1\nCurrentSeek=1\n")
        self.path = make_chaptered_mp3(self.s.media)

    def said(self, text, timeout=5):
        return self.s.wait_spoken("SPEAK 1 " + text, timeout=timeout)

    def last_spoken(self):
        lines = [l for l in self.s.spoken() if l.startswith("SPEAK")]
        return lines[-1] if lines else ""

    def test_fields_times_units_and_chapters_by_key(self):
        self.s.launch(self.path)
        self.s.key("c")  # pause so the times stay put
        self.s.key("1")
        self.assertTrue(self.said("Speaker - Long Talk"), self.s.spoken())
        self.s.key("2")
        self.assertTrue(self.said("Artist: Speaker"), self.s.spoken())
        self.s.key("9")
        self.assertTrue(self.said("Duration: 2 minutes, 5 seconds"), self.s.spoken())
        self.s.key("0")
        self.assertTrue(wait_until(lambda: "talk.mp3" in self.last_spoken()), self.s.spoken())

        self.s.key("ctrl+shift+t")
        self.assertTrue(self.said("2:05"), self.s.spoken())
        self.s.key("Home", "Right")
        self.s.key("ctrl+shift+e")
        self.assertTrue(self.said("0:05"), self.s.spoken())
        self.s.key("ctrl+shift+r")
        self.assertTrue(self.said("2:00"), self.s.spoken())

        self.s.key("period")
        self.assertTrue(self.said("1 minute"), self.s.spoken())
        self.s.key("Right")
        self.s.key("ctrl+shift+e")
        self.assertTrue(self.said("1:05"), self.s.spoken())
        self.s.key("period")
        self.assertTrue(self.said("1 chapter"), self.s.spoken())
        self.s.key("Left")
        self.assertTrue(self.said("Chapter 3: Goodbye") or self.said("Chapter 2: Interview"), self.s.spoken())
        self.s.key("Home", "Right")
        self.assertTrue(self.said("Chapter 2: Interview"), self.s.spoken())
        self.s.key("period")  # no wrap past the last unit
        self.assertTrue(wait_until(lambda: self.s.spoken().count("SPEAK 1 1 chapter") == 2), self.s.spoken())

    def test_jump_dialog_and_tag_view(self):
        self.s.launch(self.path)
        self.s.key("c")
        app = self.s.accessible_app()
        self.s.key("j")
        edit = wait_until(lambda: [n for role, name, n in self.s.accessible_nodes(app)
                                   if role == "text" and name.startswith("Enter time")], timeout=5)
        self.assertTrue(edit, [(r, n) for r, n, _ in self.s.accessible_nodes(app)][-20:])
        dialog = self.s.xdotool("search", "--onlyvisible", "--name", "^Jump to Time$").split()[0]
        self.s.xdotool("windowfocus", "--sync", dialog)
        self.s.xdotool("key", "--clearmodifiers", "ctrl+a")
        self.s.xdotool("type", "1:30")
        self.s.xdotool("key", "Return")
        self.assertTrue(wait_until(lambda: not self.s.xdotool("search", "--onlyvisible", "--name", "^Jump to Time$")))
        self.s.key("ctrl+shift+e")
        self.assertTrue(self.said("1:30"), self.s.spoken())

        self.s.key("shift+1")
        text = wait_until(lambda: [n for role, name, n in self.s.accessible_nodes(app)
                                   if role == "text" and name == "Title"], timeout=5)
        self.assertTrue(text)
        self.assertEqual(text[0].queryText().getText(0, -1), "Speaker - Long Talk")


if __name__ == "__main__":
    unittest.main()
