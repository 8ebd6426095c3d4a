"""The reader's edits are never lost: not by a change of the look, not by a
question put aside, and the end marker never becomes part of the book."""

import os
import unittest

import journey


class EditsJourney(journey.JourneyCase):

    def start_editing(self, lines=400):
        r = self.reader
        path = self.book("book.txt", lines=lines)
        r.start(path)
        r.wait_settled()
        r.click_widget("AllowEditingCheckBox")
        r.wait(lambda s: (s.widget("AllowEditingCheckBox") or {}).get("checked"), "editing allowed")
        r.wait(lambda s: s.values.get("readOnly") == "0", "the text to be editable")
        return path

    def type_into_text(self, text, at_end=False):
        r = self.reader
        rich = r.state().widget("RichEdit")["rect"]
        # A click on the text gives it the keyboard and leaves the sidebar.
        r.click(rich[0] + rich[2] // 2, rich[1] + 40)
        r.wait(lambda s: s.data.get("focus") == "RichEdit", "the text to have the keyboard")
        if at_end:
            r.key("ctrl+End")
        r.type(text)
        r.wait(lambda s: s.text("ModifiedLabel") == "Text is MODIFIED", "the text to be marked as edited")

    def change_font_size(self):
        r = self.reader
        r.click_tab("Container_OptionsPageControl", "Profile")
        r.click_tab("ProfilePageControl", "Format")
        before = r.state().text("FontSizeComboBox")
        r.click_widget("FontSizeComboBox")
        r.key("Down", "Return")
        r.wait(lambda s: s.text("FontSizeComboBox") != before, "another font size")

    def test_font_size_change_keeps_the_edit_and_close_asks(self):
        r = self.reader
        self.start_editing()
        self.type_into_text("QUIXOTIC ")
        self.change_font_size()
        s = r.wait_settled()
        self.assertEqual(s.text("ModifiedLabel"), "Text is MODIFIED")
        r.focus()
        r.key("alt+F4")
        r.wait_box("Text has been edited. Save it?")
        # Esc puts the question aside: the book and its edit stay.
        r.answer_box("Esc")
        s = r.wait(lambda st: not st.boxes(), "the question to go")
        self.assertTrue(r.running())
        self.assertEqual(s.text("ModifiedLabel"), "Text is MODIFIED")
        r.key("alt+F4")
        r.wait_box("Text has been edited. Save it?")
        r.answer_box("No")
        self.assertEqual(r.wait_exit(), 0)

    def test_question_put_aside_keeps_the_book_open(self):
        r = self.reader
        self.start_editing()
        self.type_into_text("QUIXOTIC ")
        other = self.book("other.txt", lines=100)
        self.open_with_f5(other)
        r.wait_box("Text has been edited. Save it?")
        r.answer_box("Esc")
        s = r.wait(lambda st: not st.boxes(), "the question to go")
        self.assertTrue(s.values["book"].endswith("book.txt"))
        self.assertEqual(s.text("ModifiedLabel"), "Text is MODIFIED")

    def test_end_marker_is_never_saved(self):
        r = self.reader
        path = self.start_editing(lines=60)
        self.type_into_text(" LASTWORD", at_end=True)
        s = r.wait(lambda st: "LASTWORD" in st.values["textEnd"], "the whole word typed")
        self.assertTrue(s.values["textEnd"].endswith("***** End of Book *****"), s.values["textEnd"])
        # Ctrl+End stops before the marker: the word is the book's last.
        self.assertIn("LASTWORD\r\n***** End of Book *****", s.values["textEnd"])
        saved = os.path.join(self.books, "saved.txt")
        r.key("alt+s")
        r.shown_dialog("QFileDialog")
        r.key("ctrl+a")
        r.type(saved)
        r.key("Return")
        # The questions before a plain-text save, then the message.
        for _ in range(4):
            s = r.wait(lambda st: st.boxes(), "a question or the message")
            caption, text, _buttons = s.boxes()[0]
            if text == "The book was saved.":
                r.answer_box("OK")
                break
            r.answer_box("Yes")
            r.wait(lambda st, t=text: not any(b[1] == t for b in st.boxes()), "the question to go")
        with open(saved, "rb") as f:
            data = f.read()
        self.assertNotIn(b"End of Book", data)
        self.assertTrue(data.endswith(b"LASTWORD\r\n"), data[-80:])
        r.wait(lambda st: st.text("ModifiedLabel") == "Text is NOT modified", "the book to be saved")
        self.open_with_f5(saved)
        s = r.wait(lambda st: st.values["book"] == saved and not st.loading and not st.boxes(), "the saved book")
        self.assertEqual(s.values["textEnd"].count("***** End of Book *****"), 1)


if __name__ == "__main__":
    unittest.main()
