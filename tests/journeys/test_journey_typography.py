"""A reader of a hyphenated page: finds and keeps places by the book's own
words, and reads the book's italics without their underscores."""

import os
import unittest

import journey

PARAGRAPH = ("The extraordinarily characteristic harpooneers considered the unaccountable "
             "circumstances of the internationally celebrated whaling expedition, and the "
             "incomprehensible philosophers of the Pequod were astonishingly uncommunicative "
             "about their indescribable experiences with the leviathan number {}.")


class TypographyJourney(journey.JourneyCase):

    def setUp(self):
        super().setUp()
        if not os.path.exists("/usr/share/hyphen/hyph_en_US.dic"):
            self.skipTest("no English hyphenation patterns (scripts/deps installs them)")

    def write_book(self, name, paragraphs):
        path = os.path.join(self.books, name)
        with open(path, "w", encoding="ascii", newline="\r\n") as f:
            f.write("\n\n".join(paragraphs) + "\n")
        return path

    def test_hyphenated_words_are_found_and_places_kept(self):
        r = self.reader
        r.start(self.write_book("whalers.txt", [PARAGRAPH.format(i) for i in range(200)]))
        s = r.wait_settled()
        self.assertGreater(int(s.values.get("softHyphens", "0")), 0)
        self.assertTrue(s.values.get("hyphenation", "").endswith("hyph_en_US.dic"), s.values)
        self.assertNotIn("\u00ad", s.top_text)
        # A word the page breaks is found whole, by its own letters.
        self.find("uncommunicative about their indescribable")
        s = r.wait(lambda st: st.values.get("selection") == "uncommunicative about their indescribable",
                   "the match selected")
        self.assertNotIn("\u00ad", s.values["selection"])
        # Pages on, closed and started again: the same line at the top.
        r.focus()
        r.key(*["space"] * 9)
        r.wait(lambda st: st.top_line > 20, "the pages to turn")
        read = r.wait_settled()
        self.assertNotIn("\u00ad", read.top_text)
        r.key("alt+F4")
        self.assertEqual(r.wait_exit(), 0)
        r.start()
        back = r.wait_settled()
        self.assertEqual(back.top_text, read.top_text)
        self.assertEqual(back.top_line, read.top_line)

    def test_books_italics_without_underscores(self):
        r = self.reader
        r.start(self.write_book("italics.txt", [
            "Call me _Ishmael_. The _Pequod_ sailed, snake_case and __init__ stay, a _ stays too.",
            "Second paragraph."]))
        s = r.wait_settled()
        self.assertTrue(s.top_text.startswith("Call me Ishmael. The Pequod"), s.top_text)
        self.find("Ishmael. The Pequod sailed, snake_case and __init__ stay")
        s = r.wait(lambda st: st.values.get("selection") == "Ishmael. The Pequod sailed, snake_case and __init__ stay",
                   "the match selected")
        self.assertEqual(s.values["caret"], str(len("Call me ")))
        self.find("a _ stays too.")
        r.wait(lambda st: st.values.get("selection") == "a _ stays too.", "the lone underscore kept")


if __name__ == "__main__":
    unittest.main()
