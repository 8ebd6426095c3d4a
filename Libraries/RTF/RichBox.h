// TRichBox: the reading box. A QTextEdit that shows a TRichDocument with the
// behaviour of a rich-edit control: positions counting CR LF, display lines
// counted from 0, a zoom that scales the whole rendering while the text still
// wraps to the box, inner margins, links, and hooks through which the owner
// sees the input first and paints a background under the text.
//
// Scroll values are kept in document units (unzoomed pixels): the vertical
// scroll bar's value is the document y shown at the top of the box.
#pragma once

#include "RichBoxLines.h"
#include "RichDocument.h"

#include <QTextEdit>

#include <functional>
#include <memory>

class QMarginsF;
class QPrinter;

class TRichBox : public QTextEdit {
    Q_OBJECT
public:
    explicit TRichBox(QWidget *parent = nullptr);
    ~TRichBox() override;

    TRichDocument *RichDocument() const;

    // --- Input hooks: called before the box acts; return true to swallow the
    // event. Positions are in the box's client (viewport) coordinates.
    std::function<bool(QKeyEvent *event)> OnKeyPress;
    std::function<bool(QMouseEvent *event, bool doubleClick)> OnMousePress;
    std::function<bool(QMouseEvent *event)> OnMouseMove;
    std::function<bool(QWheelEvent *event)> OnWheel;
    // Paints under the text, after the background colour (client coordinates).
    std::function<void(QPainter &painter, const QRect &clientRect)> OnPaintBackground;

    // --- Look ---
    void SetZoomPercent(int percent); // 10..500; 0 or less: 100
    int ZoomPercent() const;
    double ZoomFactor() const;
    void SetLeftMarginPixels(int pixels);
    void SetRightMarginPixels(int pixels);
    int LeftMarginPixels() const;
    int RightMarginPixels() const;
    // An invalid colour paints no background of the box's own (the owner's
    // OnPaintBackground, or what lies behind the box, shows through).
    void SetBackgroundColor(const QColor &color);
    QColor BackgroundColor() const;
    void SetUrlDetection(bool on);
    bool UrlDetection() const;
    void SetAdvancedTypography(bool on);

    // --- Lines and scrolling (positions count CR LF) ---
    int LineCount(); // lines laid out so far, one per block still waiting
    int LineCountExact(); // lays the whole text out
    bool IsLayoutComplete() const;
    int FirstVisibleLine();
    int LineAtY(qreal documentY); // the display line at a document height
    int LineIndex(int line); // first position of a line; -1 past the last; -1: the caret's line
    int LineFromChar(int position); // negative: the caret's line
    int CharFromPos(const QPoint &clientPoint);
    int ScrollY() const; // top of the box in zoomed pixels
    void SetScrollY(int y);
    void ScrollLines(int lines);
    void ScrollCaretIntoView();
    void ScrollToBottom();
    // Top-left of the caret in client coordinates; false when it cannot be placed.
    bool CaretPosition(QPoint *point);
    // Moves the caret (empty selection) without scrolling.
    void PlaceCaret(int position);
    // Document y of a line's top (lays out up to the line); -1 past the last.
    qreal LineTop(int line);

    // --- Links: those of the document (RTF hyperlinks) and web addresses
    // found in the text (CR LF positions) ---
    struct TLink {
        int Start = 0;
        int End = 0;
        QString Text;
        QString Href; // the target of a link of the document; empty for an address found
    };
    // The link under a client point, if any.
    bool LinkAt(const QPoint &clientPoint, TLink *link);

    // --- Content ---
    // The RTF reader and writer are installed by the RTF codec library; until
    // then LoadRtf and SaveRtf fail with a message.
    using TRtfReader = std::function<bool(TRichDocument &document, const QByteArray &rtf, QString *error)>;
    using TRtfWriter = std::function<bool(const TRichDocument &document, QByteArray *rtf, QString *error)>;
    static void SetRtfCodec(TRtfReader reader, TRtfWriter writer);
    bool LoadRtf(const QByteArray &rtf, QString *error = nullptr);
    bool SaveRtf(QByteArray *rtf, QString *error = nullptr) const;
    void LoadPlainText(const QString &text); // paragraphs split at CR LF, CR or LF
    QString PlainText() const; // each paragraph ended by CR LF

    // Paginates the whole content onto the printer with the same formats,
    // inside the margins (millimetres from the paper's edges). `pages`
    // receives the number of pages of the document.
    bool Print(QPrinter *printer, const QMarginsF &marginsMm, QString *error = nullptr, int *pages = nullptr) const;

    // The book position the program has just put in the top line: the line
    // holding it stays at the top while the lines are laid out anew (a new
    // width, the paragraphs on screen choosing their breaks), until the box
    // scrolls.
    void KeepAtTop(int position);

signals:
    // A left press on a web address found in the text.
    void LinkClicked(int start, int end, const QString &text);
    // A left press on a link of the document: its target ("#name" for a
    // bookmark of the document).
    void AnchorClicked(const QString &href);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;
    void timerEvent(QTimerEvent *event) override;

private:
    friend class TRichScrollBar;
    void AttachDocument(QTextDocument *document);
    void OnContentsChange(int from, int removed, int added);
    void OnUserCursorChanged();
    void PushCursor();
    void UpdateWrapWidth();
    void RelayoutFromTop(const std::function<void()> &call);
    void ShowAtTop(int qtPosition);
    void KeepCursorInBook();
    bool DeletesIntoEndMarker(QKeyEvent *event) const;
    // The (Qt) position at the top of the box; 0 when scrolled to the top.
    int TopPosition() const;
    // The (Qt) position that is to stay at the top: the one kept, while the
    // box has not scrolled since, or the one at the top.
    int KeptTopPosition() const;
    // Shows a position kept by KeptTopPosition() in the top line again.
    void RestoreTop(int qtPosition);
    void FixScrollRange();
    qreal DocumentHeight() const;
    QPointF ToDocument(const QPointF &clientPoint) const;
    QPointF ToClient(const QPointF &documentPoint) const;
    std::unique_ptr<QMouseEvent> MappedEvent(const QMouseEvent *event) const;
    int VisibleDocumentHeight() const;
    QTextBlock BlockAtY(qreal y) const;
    static void LayOutDownTo(QTextDocument *doc, qreal y);
    int HitTest(const QPointF &documentPoint, bool exact) const;
    void MovePage(bool down, bool keepAnchor);
    void CollectLinks(const QTextBlock &block, QVector<QPair<int, int>> *ranges) const;
    // The shown paragraphs choose their line breaks; the top line stays.
    void LimitShownHyphenation();

    TRichDocument *Rich;
    TLineIndex Lines;
    int Zoom = 100;
    int LeftMargin = 0;
    int RightMargin = 0;
    QColor Background = Qt::white;
    bool Urls = false;
    bool CursorPending = false;
    bool FixingScroll = false;
    bool CaretOn = true;
    int BlinkTimer = 0;
    int KeptPosition = -1; // a book position
    int KeptScroll = -1; // the scroll value it was kept at
};
