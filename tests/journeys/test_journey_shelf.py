"""The bookshelf is the reader's: books go on it when the reader puts them
there, stay off it when removed, and survive a damaged settings file; every
book read keeps its place."""

import os
import unittest

import journey


class ShelfJourney(journey.JourneyCase):

    def write_settings(self, text):
        with open(os.path.join(self.reader.program, "Lectern.ini"), "w", encoding="utf-8", newline="") as f:
            f.write(text)

    def shelf_caption(self, s=None):
        return (s or self.reader.state()).text("OpenBookshelfButton")

    def read_pages(self, pages):
        r = self.reader
        r.focus()
        before = r.wait_settled().top_line
        r.key(*["space"] * pages)
        r.wait(lambda s: s.top_line > before, "the pages to turn")
        return r.wait_settled()

    def twelve_books(self, count_line):
        lines = ["[Lectern_Main]", "AutoLoadLast=TRUE", "[Lectern_Bookshelf_Main]", count_line]
        positions = ["[Lectern_Bookshelf_CaretPos]"]
        pieces = ["[Lectern_Bookshelf_Pieces]"]
        books = []
        for n in range(12):
            book = self.book("book%02d.txt" % n, lines=200)
            books.append(book)
            lines.append("%d=%s" % (n, book))
            positions += ["%d=%d" % (n, 100 * n), "%d_2=%d" % (n, 50 + n)]
            pieces += ["%d=1" % n, "%d_2=1" % n]
        return books, "\r\n".join(lines + positions + pieces) + "\r\n"

    def test_a_bad_count_keeps_the_twelve_books(self):
        r = self.reader
        books, text = self.twelve_books("Count=99999")
        self.write_settings(text)
        r.start()
        s = r.wait_settled()
        self.assertEqual(self.shelf_caption(s), "&Open (12)")
        self.assertEqual(s.values["book"], books[-1])
        r.key("alt+F4")
        self.assertEqual(r.wait_exit(), 0)
        shelf = r.shelf()
        self.assertEqual([b for b, _, _ in shelf], books)
        ini = r.settings()
        self.assertEqual(ini.get("Lectern_Bookshelf_CaretPos", "3_2"), "53")

    def test_a_damaged_file_is_kept_aside_and_its_shelf_survives(self):
        r = self.reader
        books, text = self.twelve_books("Count=12")
        # Cut short in the middle of a line, as a crash while writing leaves it.
        pieces = text.index("[Lectern_Bookshelf_Pieces]")
        self.write_settings(text[: text.index("5_2=1", pieces) + 3])
        r.start()
        s = r.wait_settled()
        self.assertEqual(self.shelf_caption(s), "&Open (12)")
        r.key("alt+F4")
        self.assertEqual(r.wait_exit(), 0)
        self.assertTrue(os.path.exists(r.settings_path() + ".bad"))
        self.assertEqual(len(r.shelf()), 12)

    def test_first_start_puts_nothing_on_the_shelf(self):
        r = self.reader
        r.start()
        s = r.wait_settled()
        self.assertTrue(s.values["book"].endswith("Welcome.txt"))
        self.assertEqual(self.shelf_caption(s), "&Open (0)")
        r.focus()
        r.key("alt+F4")
        self.assertEqual(r.wait_exit(), 0)
        self.assertEqual(r.shelf(), [])

    def test_shelf_is_the_readers_and_places_are_kept_for_every_book(self):
        r = self.reader
        first = self.book("first.txt", lines=3000)
        second = self.book("second.txt", lines=3000)
        r.start(first)
        s = r.wait_settled()
        self.assertEqual(self.shelf_caption(s), "&Open (0)")
        r.click_widget("PutBookshelfButton")
        r.wait(lambda st: self.shelf_caption(st) == "&Open (1)", "the book on the shelf")
        # Ctrl with a right click on "Auto" takes it off again, for good.
        r.show_sidebar()
        x, y = r.widget_centre("BookmarkAutoButton")
        r.move(x, y)
        self.desktop.xdotool("keydown", "ctrl")
        self.desktop.xdotool("click", 3)
        self.desktop.xdotool("keyup", "ctrl")
        r.wait(lambda st: self.shelf_caption(st) == "&Open (0)", "the book off the shelf")
        first_place = self.read_pages(6)
        self.open_with_f5(second)
        r.wait(lambda st: st.values["book"] == second and not st.loading, "the second book")
        self.assertEqual(self.shelf_caption(), "&Open (0)")
        second_place = self.read_pages(4)
        r.key("alt+F4")
        self.assertEqual(r.wait_exit(), 0)

        # The book read last opens at its place, and the shelf stays empty.
        r.start()
        s = r.wait_settled()
        self.assertEqual(s.values["book"], second)
        self.assertEqual(s.top_text, second_place.top_text)
        self.assertEqual(self.shelf_caption(s), "&Open (0)")
        self.open_with_f5(first)
        s = r.wait(lambda st: st.values["book"] == first and not st.loading, "the first book")
        s = r.wait_settled()
        self.assertEqual(s.top_text, first_place.top_text)
        r.key("alt+F4")
        self.assertEqual(r.wait_exit(), 0)
        self.assertEqual(r.shelf(), [])


if __name__ == "__main__":
    unittest.main()
