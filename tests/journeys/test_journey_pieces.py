"""A book in pieces reads as one book: the page goes on from piece to piece
without a cut word or a repeated line, find goes through the whole book and
round, and the lines and chapters are those of the whole book."""

import os
import re
import unittest

import journey


def paragraph_number(text):
    m = re.search(r"Paragraph (\d{4})\.", text)
    return int(m.group(1)) if m else None


class PiecesJourney(journey.JourneyCase):

    def open_book(self, lines=3000):
        r = self.reader
        r.start(self.book("book.txt", lines=lines))
        r.wait(lambda s: " of " in s.info, "the scan of the whole book")
        s = r.wait_settled()
        self.assertGreater(int(s.text("PiecesComboBox") and s.widget("PiecesComboBox")["count"]), 2)
        return s

    def test_the_page_goes_on_into_the_next_piece_and_back(self):
        r = self.reader
        self.open_book()
        r.focus()
        r.key("ctrl+End")
        end = r.wait_settled()
        self.assertEqual(end.values["piece"], "1")
        self.assertTrue(end.values["textEnd"].endswith(" *****"), end.values["textEnd"])
        self.assertIn("***** End of Piece 1 / ", end.values["textEnd"])
        r.key("space")
        s = r.wait(lambda st: st.values["piece"] == "2" and not st.loading, "the next piece")
        s = r.wait_settled()
        # The next piece starts with the paragraph after the last one shown:
        # nothing repeated, nothing cut.
        self.assertEqual(s.top_line, 1)
        first = paragraph_number(s.top_text)
        self.assertIsNotNone(first, s.top_text)
        with open(os.path.join(self.books, "book.txt"), encoding="ascii") as f:
            paragraphs = [p.replace("\n", " ") for p in f.read().replace("\r\n", "\n").split("\n\n")]
        previous = paragraphs[first - 2].strip()
        shown = end.values["textEnd"].split("***** End of Piece")[0].strip()
        self.assertTrue(previous.endswith(shown[-60:]), (previous[-80:], shown[-80:]))
        # Page Up at the top goes back to the end of piece 1.
        r.key("Prior")
        back = r.wait(lambda st: st.values["piece"] == "1" and not st.loading, "the previous piece")
        back = r.wait_settled()
        self.assertEqual(back.values["textEnd"], end.values["textEnd"])

    def test_find_goes_through_the_book_and_round(self):
        r = self.reader
        self.open_book()
        # In a later piece.
        self.find("Paragraph 0250.")
        s = r.wait(lambda st: st.values.get("selection") == "Paragraph 0250." and st.values["piece"] != "1"
                   and not st.loading, "the match in a later piece")
        s = r.wait_settled()
        match_piece = s.values["piece"]
        self.assertNotEqual(s.top_line, 1)  # lines before the match are in view
        # Round from the beginning, and said so.
        self.find("Paragraph 0003.")
        s = r.wait(lambda st: st.values["piece"] == "1" and st.values.get("selection") == "Paragraph 0003."
                   and not st.loading, "the match back in piece 1")
        s = r.wait(lambda st: st.text("HintLabel") == "Searching from the beginning", "the hint of going round")
        # A word the book does not have.
        self.find("zebra")
        s = r.wait(lambda st: st.text("HintLabel") == "Not found: zebra", "the hint of no match")
        self.assertEqual(s.values["piece"], "1")
        # Every match in a list.
        self.find("Paragraph 01")
        r.focus()
        r.key("alt+f")
        r.wait(lambda st: st.data.get("focus") == "FindTextEdit", "the find box")
        r.key("shift+Return")
        s = r.wait(lambda st: any(name == "MatchesMenu" for name, _ in st.menus()), "the list of matches")
        items = [items for name, items in s.menus() if name == "MatchesMenu"][0]
        self.assertEqual(len(items), 100)
        self.assertTrue(all("Paragraph 01" in item for item in items), items[:3])
        self.assertTrue(match_piece)

    def test_lines_of_the_whole_book(self):
        r = self.reader
        s = self.open_book()
        m = re.search(r"Top line 1 of ([\d,]+);", s.info)
        self.assertIsNotNone(m, s.info)
        total = int(m.group(1).replace(",", ""))
        self.assertEqual(total, 3000)
        r.focus()
        r.key("alt+g")
        r.wait(lambda st: st.data.get("focus") == "GotoLineEdit", "the line box")
        r.key("ctrl+a")
        r.type("2500")
        r.key("Return")
        s = r.wait(lambda st: "Top line 2,500 of 3,000" in st.info, "line 2,500")
        self.assertNotEqual(s.values["piece"], "1")

    def test_moby_dick_chapters_of_the_whole_book(self):
        source = journey.corpus_book("moby-dick.txt")
        if not source:
            self.skipTest("the shared corpus is not here")
        r = self.reader
        r.start(self.book("moby-dick.txt", source))
        s = r.wait(lambda st: " of " in st.info and st.text("ChaptersButton") != "&Chapters (2)", "the whole book's chapters")
        count = int(re.search(r"\((\d+)\)", s.text("ChaptersButton")).group(1))
        self.assertGreaterEqual(count, 135)
        # Past the last Queequeg, find goes round to the first.
        r.key("alt+g")
        r.wait(lambda st: st.data.get("focus") == "GotoLineEdit", "the line box")
        r.type("22000")
        r.key("Return")
        r.wait(lambda st: "Top line 22,000 of" in st.info, "line 22,000")
        self.find("Queequeg")
        r.wait(lambda st: st.values.get("selection", "").lower() == "queequeg" and not st.loading
               and st.text("HintLabel") == "Searching from the beginning", "Queequeg, found round the book")


if __name__ == "__main__":
    unittest.main()
