// The sidebar's "Convert" page: the value to convert, its result, one list of
// units per quantity, the "Misc" memo and the common conversions of the
// value. Pointing at a unit shows, as a tool tip and as the page's result,
// the value in that unit converted to the unit selected in the list.
#pragma once

#include <QWidget>

#include <cstdint>

#include "ConvertMeasure.h"
#include "ui_ConvertMeasureTabSheet.h"

class QListWidget;
class QListWidgetItem;
class TRichDocument;

using TColor = uint32_t; // 0x00BBGGRR

class TConvertMeasureTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TConvertMeasureTabSheet(QWidget *parent = nullptr);
    Ui::ConvertMeasureTabSheet Form;

    // The value edit, which takes the focus when the sidebar opens on this
    // page.
    QLineEdit *ConvertMeasureEdit = nullptr;

    // The value to convert: the number in the edit, written the locale's way
    // or with a decimal point; empty (or a lone sign or separator, while one
    // is typed) is 0. Any other text shows "Invalid number.", puts 0 into the
    // edit and gives 0.
    double ConvertMeasureValue();
    // Writes a value into the edit (15 significant digits, the locale's
    // decimal separator); the memo follows.
    void SetConvertMeasureValue(double value);
    // The fixed conversions of the value in the memo (written when the memo
    // is shown).
    void MiscConvertMeasure(double value);

    // What the number under a character of the rich-box came to: none, a
    // token that is no number, or a value now in the edit with `digest` for
    // the hint label.
    enum class TShowResult { NoNumber, InvalidNumber, Shown };
    TShowResult ShowNumberAt(const TRichDocument &document, int index, QString *token, QString *digest);

    // The result under the value: for the list shown, the value converted
    // from the unit under the pointer (or the one pointed at last; after a
    // click on it, the unit selected before) to the selected unit; before any
    // unit of the list was pointed at, how to get one. Empty on the "Misc"
    // page, whose memo is its result.
    QString ResultText() const;
    // The bottom line of the page: the digest of common conversions that the
    // hint label shows for a number of the text; empty while the edit is.
    QString DigestText() const;

    QListWidget *ListOf(TMeasure measure) const;
    // The tool tip of item `index` of a list: the value converted from that
    // unit to the list's selected one.
    QString FullConvertMeasure(QListWidget *list, int index);
    // The selected unit's name, and the unit to select for a stored name
    // (the list's default when it names none of its units).
    QString SelectedUnit(TMeasure measure) const;
    void SelectUnit(TMeasure measure, const QString &name);

    // The lists' colours: the window's back and font colours, and the
    // browser's focus colours for the selected unit. The memo takes the
    // back and font colours.
    void SetColors(TColor back, TColor fore, TColor focusBack, TColor focusFore);
    // Height of a unit's row: the window gives the file browser's.
    void SetItemHeight(int height);
    int ItemHeight() const { return RowHeight; }

    // A text of the converter as the window shows it: the separator
    // character 127, which fonts draw as a box, is drawn as a small box on
    // purpose.
    static QString ShownText(const QString &text);

    // Draws a unit as the list shows it.
    void ConvertListBoxDrawItem(QListWidget *list, QPainter *painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The pages' tabs in two rows of buttons: the seven of them do not fit
    // the sidebar's width in one.
    void ArrangeTabsInRows();
    void ConvertMeasureTabSheetShow();
    void ConvertMeasureEditChange();
    void ConvertListBoxMouseDown(QListWidget *list);
    void ConvertListBoxMouseMove(QListWidget *list, const QPoint &position);
    TMeasure MeasureOf(QListWidget *list) const;
    // The list of the page shown; null on the "Misc" page.
    QListWidget *ShownList() const;
    void ShowResult(double value);
    void UnitSelected(QListWidget *list, QListWidgetItem *current, QListWidgetItem *previous);

    QListWidget *Lists[MeasureCount] = {};
    // Per list, the unit the result converts from; -1: none yet.
    int FromRows[MeasureCount] = {-1, -1, -1, -1, -1, -1};
    int RowHeight = 16;
    TColor BackColor = 0xFFFFFF;
    TColor ForeColor = 0x000000;
    TColor FocusBackColor = 0x196EB9;
    TColor FocusForeColor = 0xFFFFFF;
    void FillMiscMemo();
    double MemoValue = 0.0; // the value the memo is to show
    bool MemoFilled = false;
    double FilledValue = 0.0; // the value it shows
};
