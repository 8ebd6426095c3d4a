"""Every colour scheme reads on the default pictures: chosen on the
"Colors" page, the book's text, the labels over the screen and the
disabled "Text is poorly written" keep their contrast in the window as the
screen shows it."""

import subprocess
import unittest

import journey


def linear(c):
    c /= 255.0
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


def luminance(rgb):
    r, g, b = rgb
    return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b)


def contrast(a, b):
    la, lb = luminance(a), luminance(b)
    return (max(la, lb) + 0.05) / (min(la, lb) + 0.05)


class Screen:
    """The X screen as pixels (ImageMagick's import, as a binary PPM)."""

    def __init__(self, desktop):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=desktop.env,
                              capture_output=True, check=True, timeout=30).stdout
        fields, at = [], 0
        while len(fields) < 4:  # magic, width, height, maximum
            while data[at:at + 1].isspace():
                at += 1
            end = at
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[at:end])
            at = end
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[at + 1:]

    def area(self, x, y, w, h):
        out = []
        for row in range(max(y, 0), min(y + h, self.height)):
            start = (row * self.width + max(x, 0)) * 3
            line = self.pixels[start:start + (min(x + w, self.width) - max(x, 0)) * 3]
            out.extend(tuple(line[i:i + 3]) for i in range(0, len(line), 3))
        return out

    def text_contrast(self, rect):
        """The contrast of the text in an area against what lies under it:
        the mean of the two hundredth of its pixels that lie farthest in
        luminance from the area's median pixel (the cores of the letters)
        against that median pixel."""
        pixels = sorted(self.area(*rect), key=luminance)
        ground = pixels[len(pixels) // 2]
        level = luminance(ground)
        pixels.sort(key=lambda p: -abs(luminance(p) - level))
        core = pixels[:max(len(pixels) // 200, 4)]
        ink = tuple(sum(p[c] for p in core) / len(core) for c in range(3))
        return contrast(ink, ground)


class SchemesJourney(journey.JourneyCase):

    tools = journey.JourneyCase.tools + ("import",)

    def choose(self, button):
        r = self.reader
        r.click_tab("Container_OptionsPageControl", "Profile")
        r.click_tab("ProfilePageControl", "Colors")
        r.click_widget(button)

    def close_sidebar(self):
        r = self.reader
        rich = r.state().widget("RichEdit")["rect"]
        r.move(rich[0] + rich[2] // 2, rich[1] + rich[3] // 2)
        return r.wait(lambda s: not s.widget("Container_MainPanel")["visible"], "the sidebar to close")

    def test_every_scheme_reads_on_the_default_pictures(self):
        r = self.reader
        r.start(self.book("book.txt", lines=600))
        r.wait_settled()
        # Low light and Low strain darken the pictures under their pale text;
        # High light gives the bright page back.
        for button, fade in (("SetLowLightColorsButton", "90"), ("SetLowStrainColorsButton", "90"),
                             ("SetHighLightColorsButton", "0")):
            self.choose(button)
            r.wait(lambda s: s.text("FadeRichBackImageComboBox") == fade, "the rich-box picture's fade %s" % fade)
            s = self.close_sidebar()
            screen = Screen(self.desktop)
            for name in ("RichEdit", "CurrentFileInfoLabel", "HintLabel", "ClockLabel"):
                x, y, w, h = s.widget(name)["rect"]
                if name == "RichEdit":
                    w -= 20  # the text, not the scroll bar
                value = screen.text_contrast((x, y, w, h))
                self.assertGreaterEqual(value, 4.5, "%s after %s" % (name, button))

    def test_disabled_caption_reads_in_low_light(self):
        r = self.reader
        r.start(self.book("book.txt", lines=600))
        r.wait_settled()
        self.choose("SetLowLightColorsButton")
        r.click_tab("ProfilePageControl", "General")
        s = r.wait(lambda st: (st.widget("PoorlyWrittenCheckBox") or {}).get("visible"), "the General page")
        box = s.widget("PoorlyWrittenCheckBox")
        self.assertFalse(box["enabled"])  # the reader decides how the text is written
        x, y, w, h = box["rect"]
        caption = (x + 20, y, w - 20, h)  # the words, not the box beside them
        # Dimmed to 3:1 in colour; the thin strokes of small type measure a
        # little below their colour. Lost in the panel, it measured 1.0.
        self.assertGreaterEqual(Screen(self.desktop).text_contrast(caption), 2.5)


if __name__ == "__main__":
    unittest.main()
