"""A second start while the reader runs hands its book over: "Open with" in a
file manager, or the program started from a terminal, opens the book in the
running reader, which comes to the front."""

import os
import signal
import unittest

import journey


class InstancesJourney(journey.JourneyCase):

    def test_second_start_opens_its_book_in_the_running_reader(self):
        r = self.reader
        first = self.book("first.txt", lines=600)
        second = self.book("second.txt", lines=600)
        r.start(first)
        r.wait_settled()
        r.focus()
        r.key(*["space"] * 4)
        place = r.wait_settled()
        self.assertEqual(r.start_again(second), 0)
        s = r.wait(lambda st: st.values["book"] == second and not st.loading, "the second book in the reader")
        self.assertTrue(r.running())
        # The first book's place was kept as at any opening.
        r.key("alt+F4")
        self.assertEqual(r.wait_exit(), 0)
        ini = r.settings()
        places = dict(ini["Lectern_Places"]) if ini.has_section("Lectern_Places") else {}
        keys = [k for k, v in places.items() if v == first]
        self.assertTrue(keys, places)
        self.assertNotEqual(places[keys[0] + "_CaretPos"], "0")
        self.assertNotEqual(place.top_line, 1)

    def test_second_start_without_a_book_brings_the_reader_forward(self):
        r = self.reader
        book = self.book("book.txt", lines=300)
        r.start(book)
        r.wait_settled()
        r.focus()
        r.key("Escape")  # the reader hides
        r.wait(lambda st: (st.main() or {}).get("minimized") or not (st.main() or {}).get("active"),
               "the reader to be hidden")
        self.assertEqual(r.start_again(), 0)
        s = r.wait(lambda st: (st.main() or {}).get("active") and not (st.main() or {}).get("minimized"),
                   "the reader in front")
        self.assertEqual(s.values["book"], book)

    def test_socket_of_a_crashed_reader_is_replaced(self):
        r = self.reader
        book = self.book("book.txt", lines=300)
        other = self.book("other.txt", lines=300)
        r.start(book)
        r.wait_settled()
        r.process.send_signal(signal.SIGKILL)
        r.process.wait()
        self.assertTrue(any(name.endswith(".socket") for name in os.listdir(r.runtime)))
        r.start(book)
        r.wait_settled()
        self.assertEqual(r.start_again(other), 0)
        r.wait(lambda st: st.values["book"] == other and not st.loading, "the book handed over")


if __name__ == "__main__":
    unittest.main()
