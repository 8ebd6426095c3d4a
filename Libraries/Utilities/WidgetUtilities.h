// The utilities that work on widgets: integers read from edits with limits,
// keyboard focus, font heights, list-box selection and focus drawing, the
// clipboard and files dropped on a window.
#pragma once

#include <QList>
#include <QString>
#include <QStyle>
#include <QUrl>

#include <cstdint>
#include <functional>

class QComboBox;
class QFont;
class QLineEdit;
class QAbstractItemView;
class QPainter;
class QRect;
class QWidget;

// The integer in the edit. Empty text gives `def`. A text that is not an
// integer (recorded under "GetIntFromEdit") or a value outside [min, max]
// shows the warning "Integer value outside limits..." with the limits and the
// default, gives the edit the focus and writes the default into it (its
// change handlers run); the result is then the default.
int32_t GetIntFromEdit(QLineEdit *edit, int32_t min, int32_t max, int32_t def);
int32_t GetIntFromEdit(QLineEdit *edit);
// The warning text GetIntFromEdit shows.
QString IntegerOutsideLimitsText(int32_t min, int32_t max, int32_t def);

// Gives the keyboard focus to the control; null or unable controls are left alone.
void FocusControl(QWidget *control);

// The height in pixels of the font's characters as the control draws them
// (0 without a control).
int GetFontHeight(const QFont &font, QWidget *control);

// The index of the item at the client point, which becomes the selected
// item; -1 when there is none (the selection is then repainted).
int SelectItemAtPoint(QAbstractItemView *list, int x, int y);
// Sets the selected index to -1 and back, which repaints the selection.
void RefreshListBoxSelection(QAbstractItemView *list);
// Draws the dotted focus frame around an item that is both selected and
// focused.
void DrawListBoxFocus(QWidget *list, QPainter *painter, QStyle::State state, const QRect &rect);

// Puts the text on the clipboard (after the clipboard's own text when
// `append`), beeping when asked. Empty text shows "There is no text to copy
// to clipboard." and leaves the clipboard alone. A failure is shown at once
// with `failureMessage` ("Failed to copy text to clipboard." when empty).
bool CopyTextToClipboard(const QString &text, const QString &failureMessage = QString(), bool beep = false,
                         bool append = false);

// Hands the local files among the dropped URLs to the callback, only the
// first of them when `onlyFirst`. Failures are shown with "Failed to drop files.".
void ProcessDroppedFiles(const QList<QUrl> &urls, bool onlyFirst, const std::function<void(const QString &)> &callback);

// Selects the item whose text equals `text` without regard to letter case;
// with none, the box selects nothing (an editable box then shows no text).
// Returns the selected index.
int SelectComboBoxItem(QComboBox *combo, const QString &text);

// Every system this program runs on has the features the old test guarded.
inline bool IsWindows2000OrLater() { return true; }
