// The rich-box as the main window sees it for now: a read-only text box
// that shows a book as plain lines. The window uses only the members below,
// so the real rich-box can take its place without touching the window's
// logic.
#pragma once

#include <QStringList>
#include <QTextEdit>

class TRichBoxStandIn : public QTextEdit {
    Q_OBJECT
public:
    explicit TRichBoxStandIn(QWidget *parent = nullptr);

    // Replaces the text with the lines, one paragraph each, and scrolls to
    // the top. The box is then not modified.
    void SetPlainLines(const QStringList &lines);

    bool IsModified() const;
    void SetModified(bool modified);

    // Display lines (after word wrap), counted from 0.
    int FirstVisibleLine() const;
    int LineCount() const;
};
