"""Reading aloud survives its speech engine: speech-dispatcher ended in the
middle of a reading gives one message, and the next F9 reads again."""

import os
import shutil
import subprocess
import time
import unittest

import journey


class Dispatcher:
    """A speech-dispatcher of the journey's own, playing into ALSA's null
    device, on the socket the reader's library looks for."""

    def __init__(self, reader):
        self.reader = reader
        self.socket = os.path.join(reader.runtime, "speech-dispatcher", "speechd.sock")
        self.logs = os.path.join(reader.work, "speechd-log")
        os.makedirs(os.path.dirname(self.socket), exist_ok=True)
        os.makedirs(self.logs, exist_ok=True)
        conf = os.path.join(reader.config, "speech-dispatcher")
        os.makedirs(conf, exist_ok=True)
        with open(os.path.join(conf, "speechd.conf"), "w") as f:
            f.write('AudioOutputMethod "alsa"\nDisableAutoSpawn\nLogLevel 1\n')
        with open(os.path.join(reader.home, ".asoundrc"), "w") as f:
            f.write("pcm.!default { type null }\nctl.!default { type hw card 0 }\n")
        self.process = None

    def start(self):
        if os.path.exists(self.socket):
            os.remove(self.socket)
        env = dict(os.environ, HOME=self.reader.home, XDG_CONFIG_HOME=self.reader.config,
                   XDG_RUNTIME_DIR=self.reader.runtime)
        log = open(os.path.join(self.logs, "out.txt"), "ab")
        self.process = subprocess.Popen(
            ["speech-dispatcher", "-s", "-t", "60", "-c", "unix_socket", "-S", self.socket,
             "-P", os.path.join(self.logs, "speechd.pid"), "-L", self.logs],
            env=env, stdout=log, stderr=log)
        log.close()
        journey.wait_for(lambda: os.path.exists(self.socket) or self.process.poll() is not None,
                         "speech-dispatcher to listen", 30)
        return self.process.poll() is None

    def kill(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class SpeechJourney(journey.JourneyCase):

    def setUp(self):
        super().setUp()
        if shutil.which("speech-dispatcher") is None:
            self.skipTest("speech-dispatcher is not installed")
        self.dispatcher = Dispatcher(self.reader)
        self.addCleanup(self.dispatcher.kill)
        if not self.dispatcher.start():
            self.skipTest("speech-dispatcher does not start here")

    def reading(self, s):
        return bool((s.widget("ReadAloudButton") or {}).get("checked"))

    def press_f9(self):
        """F9, and the state once the reader has answered it: a box, or the
        reading switched on or off (or nothing within a few seconds)."""
        r = self.reader
        r.focus()
        was = self.reading(r.state())
        pressed = time.monotonic()
        r.key("F9")
        return r.wait(lambda st: st.boxes() or self.reading(st) != was or time.monotonic() - pressed > 3,
                      "F9 to be answered")

    def page_turns(self, start):
        """Whether the reading goes on: the page follows the voice."""
        r = self.reader
        s = r.wait(lambda st: st.boxes() or not self.reading(st) or st.top_line > start.top_line,
                   "the page to follow the voice", 60)
        return not s.boxes() and self.reading(s) and s.top_line > start.top_line

    def test_engine_ended_mid_reading_gives_one_message_and_reads_again(self):
        r = self.reader
        r.start(self.book("book.txt", lines=2000))
        start = r.wait_settled()
        self.press_f9()
        if not self.page_turns(start):
            self.skipTest("no voice reads here: %s" % r.describe())
        self.dispatcher.kill()
        self.assertTrue(self.dispatcher.start())

        messages = 0
        heard = False
        for _ in range(6):
            s = self.press_f9()
            if s.boxes():
                messages += 1
                self.assertEqual(len(s.boxes()), 1)
                r.answer_box("OK")
                r.wait(lambda st: not st.boxes(), "the message to go")
            elif self.reading(s) and self.page_turns(s):
                heard = True
                break
            s = r.state()
            if s.boxes():
                messages += 1
                r.answer_box("OK")
                r.wait(lambda st: not st.boxes(), "the message to go")
        self.assertTrue(r.running(), "the reader died")
        self.assertTrue(heard, "reading never started again: %s" % r.describe())
        self.assertLessEqual(messages, 1)
        s = self.press_f9()  # stops
        self.assertFalse(self.reading(s))
        r.key("alt+F4")
        self.assertEqual(r.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
