"""The reader as a native Wayland client (weston): the keys that open the
sidebar on one of its controls, find, the place kept across a restart, and
a second start handing its book over."""

import glob
import os
import unittest

import journey


class WaylandJourney(journey.JourneyCase):
    desktop_kind = journey.WaylandDesktop
    tools = ("Xvfb", "weston", "xdotool")

    def setUp(self):
        if not glob.glob("/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so"):
            self.skipTest("Qt's Wayland platform plugin is not installed")
        super().setUp()

    def sidebar_visible(self, s):
        return (s.widget("Container_MainPanel") or {}).get("visible")

    def test_go_to_line_find_and_the_place_kept(self):
        r = self.reader
        book = self.book("book.txt", lines=3000)
        r.start(book)
        r.wait_settled()
        r.focus()
        rich = r.state().widget("RichEdit")["rect"]
        r.move(rich[0] + rich[2] // 2, rich[1] + rich[3] // 2)
        # Alt+G: the sidebar opens on the line box, though the pointer cannot
        # be moved onto it, and a move of the pointer over the text keeps it.
        r.key("alt+g")
        r.wait(lambda s: s.data.get("focus") == "GotoLineEdit" and self.sidebar_visible(s), "the line box")
        r.move(rich[0] + rich[2] // 2 + 30, rich[1] + rich[3] // 2 + 10)
        r.type("1200")
        r.key("Return")
        s = r.wait(lambda st: "Top line 1,200 of" in st.info, "line 1,200")
        self.assertFalse(self.sidebar_visible(s))
        # Alt+F and a search; Esc closes the sidebar, not the reader.
        r.key("alt+f")
        r.wait(lambda st: st.data.get("focus") == "FindTextEdit" and self.sidebar_visible(st), "the find box")
        r.key("Escape")
        s = r.wait(lambda st: not self.sidebar_visible(st), "the sidebar to close")
        self.assertFalse(s.main().get("minimized"))
        r.key("alt+f")
        r.wait(lambda st: st.data.get("focus") == "FindTextEdit", "the find box")
        r.type("Paragraph 0300.")
        r.key("Return")
        found = r.wait(lambda st: st.values.get("selection") == "Paragraph 0300." and not st.loading, "the match")
        found = r.wait_settled()
        r.key("alt+F4")
        self.assertEqual(r.wait_exit(), 0)
        r.start()
        back = r.wait_settled()
        self.assertEqual(back.values["book"], book)
        self.assertEqual(back.top_text, found.top_text)

    def test_open_with_while_the_reader_runs(self):
        r = self.reader
        first = self.book("first.txt", lines=300)
        second = self.book("second.txt", lines=300)
        r.start(first)
        r.wait_settled()
        self.assertEqual(r.start_again(second), 0)
        r.wait(lambda st: st.values["book"] == second and not st.loading, "the second book")


if __name__ == "__main__":
    unittest.main()
