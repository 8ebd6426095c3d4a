"""The tools beside the text: a double-clicked word reaches the dictionary
program as its argument and the clipboard."""

import os
import stat
import unittest

import journey


def dense_book(path, word, paragraphs=40):
    """A book whose page is one word over and over, so that a click
    anywhere on the text lands on it."""
    with open(path, "w", encoding="ascii", newline="\r\n") as f:
        for _ in range(paragraphs):
            f.write(" ".join([word] * 60) + "\n\n")
    return path


class ToolsJourney(journey.JourneyCase):

    def write_settings(self, lines):
        with open(os.path.join(self.reader.program, "Lectern.ini"), "w", encoding="utf-8", newline="") as f:
            f.write("\r\n".join(["[Lectern_Main]"] + lines) + "\r\n")

    def rich_points(self):
        """Points over the text of the page, from its middle outwards."""
        x, y, w, h = self.reader.wait(lambda s: s.widget("RichEdit") and "rect" in s.widget("RichEdit"),
                                      "the reading box").widget("RichEdit")["rect"]
        return [(x + w // 2 + dx, y + h // 2 + dy) for dy in (0, 23, -31) for dx in (0, 17, -29)]

    def test_double_clicked_word_reaches_the_dictionary_and_the_clipboard(self):
        r = self.reader
        out = os.path.join(r.work, "looked-up.txt")
        dictionary = os.path.join(r.work, "dictionary")
        with open(dictionary, "w") as f:
            # The arguments one a line after their count, written whole.
            f.write("#!/bin/sh\nprintf '%%s\\n' \"$#\" \"$@\" > '%s.tmp'\nmv '%s.tmp' '%s'\n" % (out, out, out))
        os.chmod(dictionary, os.stat(dictionary).st_mode | stat.S_IXUSR)
        self.write_settings(["DictionaryTitle=" + dictionary, "ClipboardForDic=TRUE"])
        r.start(dense_book(os.path.join(self.books, "lanterns.txt"), "lanterns"))
        r.wait_settled()
        r.focus()
        for x, y in self.rich_points():
            r.move(x, y)
            self.desktop.xdotool("click", "--repeat", 2, "--delay", 80, 1)
            try:
                journey.wait_for(lambda: os.path.exists(out), "the dictionary to be started", 5)
                break
            except journey.JourneyError:
                continue  # between two words: the next point
        journey.wait_for(lambda: os.path.exists(out), "the dictionary to be started", 5)
        with open(out, encoding="utf-8") as f:
            self.assertEqual(f.read(), "1\nlanterns\n")
        s = r.wait(lambda st: st.values.get("clipboard", "").strip() == "lanterns", "the word on the clipboard")
        self.assertEqual(s.values["selection"].strip(), "lanterns")
        self.assertFalse(s.boxes())


if __name__ == "__main__":
    unittest.main()
