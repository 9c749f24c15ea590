import os
import signal
import time
import unittest

from harness import PlayerTestCase, wait_until


class ShutdownTest(PlayerTestCase):
    def setUp(self):
        super().setUp()
        self.log = os.path.join(self.s.env["XDG_STATE_HOME"], "Corvane", "corvane.log")
        self.ini = os.path.join(self.s.env["XDG_CONFIG_HOME"], "Corvane", "Corvane.ini")

    def log_lines(self):
        with open(self.log, encoding="utf-8", errors="replace") as f:
            return f.read().splitlines()

    def check_clean_exit(self, player):
        self.assertEqual(player.wait(timeout=10), 0, self.s.output(player))
        lines = self.log_lines()
        starts = [l for l in lines if "[START]" in l or "started" in l.lower()]
        stops = [l for l in lines if "[STOP]" in l or "stopped" in l.lower()]
        self.assertEqual(len(starts), 1, lines)
        self.assertEqual(len(stops), 1, lines)
        self.assertTrue(os.path.exists(self.ini), "the settings were not saved")

    def test_alt_f4_runs_the_shutdown_once(self):
        player = self.s.launch()
        self.s.key("alt+F4")
        self.check_clean_exit(player)

    def test_sigterm_closes_the_window_the_same_way(self):
        player = self.s.launch()
        time.sleep(0.3)
        player.send_signal(signal.SIGTERM)
        self.check_clean_exit(player)

    def test_file_exit_from_the_menu(self):
        player = self.s.launch()
        # Activated the way a screen reader's menu navigation does it.
        app = self.s.accessible_app()
        exit_item = [n for role, name, n in self.s.accessible_nodes(app)
                     if role == "menu item" and name == "Exit"][0]
        exit_item.queryAction().doAction(0)
        self.check_clean_exit(player)


if __name__ == "__main__":
    unittest.main()
