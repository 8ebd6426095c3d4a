"""The menus of the sidebar's buttons open where the reader looks: beside the
button when the sidebar shows it, at the page when a shortcut (Alt+C for the
chapters, Alt+O for the bookshelf) opens them with the sidebar hidden."""

import os
import unittest

import journey


def chaptered_book(path, chapters=8):
    words = "the river ran on through the valley and the reader followed it".split()
    with open(path, "w", encoding="ascii", newline="\r\n") as f:
        for n in range(1, chapters + 1):
            f.write("CHAPTER %d\n\n" % n)
            for p in range(12):
                f.write(" ".join(words[(p + i) % len(words)] for i in range(50)) + ".\n\n")
    return path


class MenusJourney(journey.JourneyCase):

    def open_menu(self, *keys):
        r = self.reader
        r.key(*keys)
        s = r.wait(lambda st: any(w.get("class") == "QMenu" and w.get("items") for w in st.windows), "a menu")
        menu = next(w for w in s.windows if w.get("class") == "QMenu" and w.get("items"))
        return s, menu["geometry"]

    def close_menu(self):
        r = self.reader
        r.key("Escape")
        r.wait(lambda st: not any(w.get("class") == "QMenu" for w in st.windows), "the menu to close")

    def assert_at_page(self, s, menu):
        x, y, w, h = s.widget("RichEdit")["rect"]
        self.assertGreater(x, 0)
        self.assertTrue(x <= menu[0] < x + w and y <= menu[1] < y + h, (menu, (x, y, w, h)))

    def assert_beside(self, s, button, menu):
        bx, by, bw, bh = s.widget(button)["rect"]
        self.assertTrue(bx + bw - 2 <= menu[0] <= bx + bw + 8, (menu, (bx, by, bw, bh)))
        self.assertTrue(abs(menu[1] - by) <= 8, (menu, (bx, by, bw, bh)))

    def check_menu(self, button, key):
        r = self.reader
        r.focus()
        s, menu = self.open_menu(key)
        self.assertFalse((s.widget("Container_MainPanel") or {}).get("visible"))
        self.assert_at_page(s, menu)
        self.close_menu()
        r.show_sidebar()
        s, menu = self.open_menu(key)
        self.assertTrue(s.widget(button).get("visible"))
        self.assert_beside(s, button, menu)
        self.close_menu()

    def test_chapters_menu_beside_its_button_or_at_the_page(self):
        r = self.reader
        r.start(chaptered_book(os.path.join(self.books, "river.txt")))
        r.wait(lambda st: (st.widget("ChaptersButton") or {}).get("enabled"), "the chapters to be found")
        self.check_menu("ChaptersButton", "alt+c")

    def test_bookshelf_menu_beside_its_button_or_at_the_page(self):
        r = self.reader
        books = [self.book("shelved%d.txt" % n, lines=200) for n in range(2)]
        lines = ["[Lectern_Main]", "AutoLoadLast=TRUE", "[Lectern_Bookshelf_Main]", "Count=2"]
        lines += ["%d=%s" % (n, b) for n, b in enumerate(books)]
        with open(os.path.join(r.program, "Lectern.ini"), "w", encoding="utf-8", newline="") as f:
            f.write("\r\n".join(lines) + "\r\n")
        r.start()
        r.wait_settled()
        self.check_menu("OpenBookshelfButton", "alt+o")


if __name__ == "__main__":
    unittest.main()
