"""A reader who closes Lectern anywhere in a book comes back to the same line."""

import unittest

import journey


class PlaceJourney(journey.JourneyCase):

    def read_some_pages(self, pages):
        r = self.reader
        r.focus()
        before = r.wait_settled()
        r.key(*["space"] * pages)
        after = r.wait(lambda s: s.top_line > before.top_line, "the pages to turn")
        return r.wait_settled()

    def close_and_come_back(self, how):
        r = self.reader
        if how == "alt+F4":
            r.focus()
            r.key("alt+F4")
        elif how == "close button":
            r.click_widget("CloseProgramButton")
        else:
            r.terminate()
        self.assertEqual(r.wait_exit(), 0)
        r.start()
        return r.wait_settled()

    def check_place_kept(self, how, piece):
        r = self.reader
        r.start(self.book("book.txt"))
        if piece > 1:
            r.focus()
            for _ in range(piece - 1):
                shown = r.state().values["piece"]
                r.key("F6")
                r.wait(lambda s, shown=shown: s.values["piece"] != shown and not s.loading, "the next piece")
        read = self.read_some_pages(7)
        self.assertEqual(read.values["piece"], str(piece))
        back = self.close_and_come_back(how)
        self.assertEqual(back.values["book"], read.values["book"])
        self.assertEqual(back.values["piece"], read.values["piece"])
        self.assertEqual(back.top_text, read.top_text)
        # The same line above the text ("Top line N"), once the book is known again.
        self.reader.wait(lambda s: s.info == read.info, "the line above the text of before")
        # Closing again without reading on keeps the place, too.
        again = self.close_and_come_back(how)
        self.assertEqual(again.top_text, read.top_text)

    def test_one_piece_book_alt_f4(self):
        self.check_place_kept("alt+F4", 1)

    def test_one_piece_book_close_button(self):
        self.check_place_kept("close button", 1)

    def test_one_piece_book_sigterm(self):
        self.check_place_kept("SIGTERM", 1)

    def test_second_piece_alt_f4(self):
        self.check_place_kept("alt+F4", 2)

    def test_second_piece_sigterm(self):
        self.check_place_kept("SIGTERM", 2)

    def test_pride_and_prejudice_at_line_173(self):
        source = journey.corpus_book("pride-and-prejudice.txt")
        if not source:
            self.skipTest("the shared corpus is not here")
        r = self.reader
        r.start(self.book("pride-and-prejudice.txt", source))
        r.wait_settled()
        r.focus()
        r.key(*["space"] * 12)
        read = r.wait(lambda s: s.top_line >= 165, "twelve pages")
        read = r.wait_settled()
        back = self.close_and_come_back("alt+F4")
        self.assertEqual(back.top_line, read.top_line)
        self.assertEqual(back.top_text, read.top_text)


if __name__ == "__main__":
    unittest.main()
