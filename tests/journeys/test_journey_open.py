"""A book that is refused leaves the open book as it was; a file that is not
text is asked about first; UTF-16 without a byte order mark reads."""

import os
import random
import re
import unittest

import journey


class OpenJourney(journey.JourneyCase):

    def open_first_book(self):
        r = self.reader
        r.start(self.book("book.txt", lines=3000))
        r.wait_settled()
        r.focus()
        r.key("space", "space", "space")
        r.wait(lambda s: s.top_line > 1, "the pages to turn")
        return r.wait_settled()

    def assert_kept(self, before):
        s = self.reader.wait_settled()
        self.assertEqual(s.values["book"], before.values["book"])
        self.assertEqual(s.top_text, before.top_text)
        self.assertEqual(s.info, before.info)
        self.assertEqual(s.text("PiecesComboBox"), before.text("PiecesComboBox"))
        self.assertNotIn("(0 pieces)", s.info)

    def refuse(self, path, message):
        r = self.reader
        before = self.open_first_book()
        self.open_with_f5(path)
        r.wait_box(message)
        r.answer_box("OK")
        r.wait(lambda s: not s.boxes(), "the box to go")
        self.assert_kept(before)

    def test_empty_file_keeps_the_open_book(self):
        path = os.path.join(self.books, "empty.txt")
        open(path, "wb").close()
        self.refuse(path, "File is empty.")

    def test_pipe_keeps_the_open_book(self):
        path = os.path.join(self.books, "pipe.txt")
        os.mkfifo(path)
        self.refuse(path, "The book is not a valid text file, or it doesn't exist.")

    def test_book_over_the_limit_keeps_the_open_book(self):
        path = os.path.join(self.books, "huge.txt")
        with open(path, "wb") as f:
            f.truncate(20000001)
        self.refuse(path, "You can't open books bigger than 20,000,000 characters.")

    def not_text(self, data, answer):
        r = self.reader
        path = os.path.join(self.books, "odd.txt")
        with open(path, "wb") as f:
            f.write(data)
        before = self.open_first_book()
        self.open_with_f5(path)
        r.wait_box("This file does not look like a text book. Open it anyway?")
        r.answer_box(answer)
        if answer == "No":
            r.wait(lambda s: not s.boxes(), "the question to go")
            self.assert_kept(before)
        else:
            r.wait(lambda s: s.values["book"] == path and not s.loading, "the file to be shown")

    def test_picture_named_txt_asks_and_no_keeps_the_book(self):
        noise = random.Random(7)
        png = b"\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR" + bytes(noise.randrange(256) for _ in range(30000))
        self.not_text(png, "No")

    def test_random_bytes_ask_and_yes_opens_them(self):
        noise = random.Random(8)
        self.not_text(bytes(noise.randrange(256) for _ in range(300000)), "Yes")

    def test_one_piece_question_names_the_buttons_it_offers(self):
        r = self.reader
        with open(os.path.join(r.program, "Lectern.ini"), "w", encoding="utf-8", newline="") as f:
            f.write("[Lectern_Main]\r\nOpenInPieces=FALSE\r\n")
        before = self.open_first_book()
        self.open_with_f5(self.book("big.txt", lines=12000))
        s = r.wait_box("in one piece a book bigger than 500,000 characters")
        _, text, buttons = s.boxes()[0]
        quoted = set(re.findall(r'"([^"]+)"', text)) - {"Open in pieces"}
        self.assertTrue(quoted, text)
        shown = {b.replace("&", "") for b in buttons}
        self.assertLessEqual(quoted, shown, (text, buttons))
        # The answer the question advises leaves the open book as it was.
        r.answer_box("No")
        r.wait(lambda st: not st.boxes(), "the question to go")
        self.assert_kept(before)

    def test_utf16_without_byte_order_mark_reads(self):
        r = self.reader
        text = "\r\n\r\n".join("Paragraph %d of a book written in UTF-16 by an old editor." % i for i in range(400))
        path = os.path.join(self.books, "wide.txt")
        with open(path, "wb") as f:
            f.write(text.encode("utf-16-be"))
        r.start(path)
        s = r.wait_settled()
        self.assertEqual(s.top_text, "Paragraph 0 of a book written in UTF-16 by an old editor.")
        self.assertIn("UTF-16", s.info)


if __name__ == "__main__":
    unittest.main()
