"""The tools beside the text: a double-clicked word reaches the dictionary
program as its argument and the clipboard; a number of the text, right
clicked, shows its conversions on the sidebar's "Convert" page, and the units
pointed at and clicked there show theirs."""

import os
import re
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

    def converter_page(self):
        r = self.reader
        r.start(dense_book(os.path.join(self.books, "forty.txt"), "40"))
        r.wait_settled()
        r.focus()
        for x, y in self.rich_points():
            r.move(x, y)
            self.desktop.xdotool("click", 3)
            try:
                return r.wait(lambda st: (st.widget("ConvertMeasureResultLabel") or {}).get("visible")
                              and st.text("ConvertMeasureEdit") == "40", "the converter with 40", 5)
            except journey.JourneyError:
                continue
        return r.wait(lambda st: (st.widget("ConvertMeasureResultLabel") or {}).get("visible")
                      and st.text("ConvertMeasureEdit") == "40", "the converter with 40", 5)

    def test_right_clicked_number_and_pointed_units_show_their_results(self):
        r = self.reader
        s = self.converter_page()
        # The number's conversions, as the hint label shows them, on the page.
        digest = s.text("ConvertMeasureDigestLabel")
        self.assertTrue(s.widget("ConvertMeasureDigestLabel").get("visible"))
        self.assertTrue(digest.startswith("Convert 40.00 "), digest)
        self.assertIn("Miles -> Kilometers = 64.36", digest)
        self.assertEqual(s.text("ConvertMeasureResultLabel"), "Point at the unit of 40.00 to see it in Meters.")
        self.assertEqual(s.text("ConvertMeasurePageControl"), "Length")

        # A unit pointed at: 40 of it in the selected unit (meters).
        x, y, w, h = s.widget("LengthListBox")["rect"]
        r.move(x + w // 2, y + h // 3)
        pointed = r.wait(lambda st: re.match(r"^40\.00 (.+) = \S+ Meters$", st.text("ConvertMeasureResultLabel")),
                         "the pointed unit's result")
        unit = re.match(r"^40\.00 (.+) = ", pointed.text("ConvertMeasureResultLabel")).group(1)
        self.assertTrue((pointed.widget("Container_MainPanel") or {}).get("visible"))

        # Clicked, it is the unit converted to: the page shows 40 meters in it.
        self.desktop.xdotool("click", 1)
        clicked = r.wait(lambda st: st.text("ConvertMeasureResultLabel").startswith("40.00 Meters = ")
                         and st.text("ConvertMeasureResultLabel").endswith(" " + unit),
                         "the result in the clicked unit")
        self.assertFalse(clicked.boxes())


if __name__ == "__main__":
    unittest.main()
