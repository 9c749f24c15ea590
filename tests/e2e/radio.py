"""A small ICY radio station on 127.0.0.1 for the end-to-end tests: it loops
an MP3 file in real time with Shoutcast metadata and changes its title on
request."""

import socket
import threading
import time


class RadioServer:
    def __init__(self, mp3_path, title="Band - First Song", bitrate_kbps=64, metaint=8192):
        with open(mp3_path, "rb") as f:
            self.audio = f.read()
        self.title = title
        self.bitrate = bitrate_kbps
        self.metaint = metaint
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.bind(("127.0.0.1", 0))
        self.sock.listen(8)
        self.port = self.sock.getsockname()[1]
        self.stopping = False
        self.thread = threading.Thread(target=self._accept, daemon=True)
        self.thread.start()

    @property
    def url(self):
        return "http://127.0.0.1:%d/live" % self.port

    def _accept(self):
        while not self.stopping:
            try:
                conn, _ = self.sock.accept()
            except OSError:
                return
            threading.Thread(target=self._serve, args=(conn,), daemon=True).start()

    def _meta_block(self, title):
        text = ("StreamTitle='%s';" % title).encode("utf-8")
        blocks = (len(text) + 15) // 16
        return bytes([blocks]) + text + b"\0" * (blocks * 16 - len(text))

    def _serve(self, conn):
        try:
            request = b""
            while b"\r\n\r\n" not in request:
                chunk = conn.recv(4096)
                if not chunk:
                    return
                request += chunk
            wants_meta = b"icy-metadata: 1" in request.lower()
            head = ("ICY 200 OK\r\nicy-name: Test Radio\r\nicy-genre: Jazz\r\nicy-br: %d\r\n"
                    "content-type: audio/mpeg\r\n" % self.bitrate)
            if wants_meta:
                head += "icy-metaint: %d\r\n" % self.metaint
            conn.sendall((head + "\r\n").encode())
            sent = 0
            last_title = None
            start = time.monotonic()
            bytes_per_second = self.bitrate * 1000 / 8
            while not self.stopping:
                piece = b""
                while len(piece) < self.metaint:
                    at = sent % len(self.audio)
                    n = min(self.metaint - len(piece), len(self.audio) - at)
                    piece += self.audio[at:at + n]
                    sent += n
                if wants_meta:
                    title = self.title
                    piece += self._meta_block(title) if title != last_title else b"\0"
                    last_title = title
                conn.sendall(piece)
                # Stations send a burst at connect, then keep pace.
                ahead = sent / bytes_per_second - 10.0 - (time.monotonic() - start)
                if ahead > 0:
                    time.sleep(ahead)
        except OSError:
            pass
        finally:
            conn.close()

    def close(self):
        self.stopping = True
        self.sock.close()
