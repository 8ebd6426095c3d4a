#include "ConvertMeasureTabSheet.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QToolTip>

#include <cmath>

#include "Dialogs.h"
#include "MyMath.h"
#include "NumberToken.h"
#include "RichDocument.h"
#include "WidgetUtilities.h"

namespace {

const QString ConverterHint = QStringLiteral(
    "The measurement unit which is to be converted, is the one under the mouse cursor. The measurement unit to which "
    "convertion is performed, is the selected one (click one to select it). All conversions are approximative. "
    "Conversion results might be different in various parts of the world, but these are the most common. The "
    "decimals separator depends on the system's regional settings.");

// Draws the units through the page, which knows the colours.
class TUnitDelegate : public QStyledItemDelegate {
public:
    TUnitDelegate(const TConvertMeasureTabSheet *sheet, QListWidget *list)
        : QStyledItemDelegate(list), Sheet(sheet), List(list)
    {}
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        Sheet->ConvertListBoxDrawItem(List, painter, option, index);
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), Sheet->ItemHeight());
    }

private:
    const TConvertMeasureTabSheet *Sheet;
    QListWidget *List;
};

// A text that is only the start of a number: a sign, a separator.
bool IsNumberStart(const QString &text)
{
    for (QChar c : text)
        if (c != QLatin1Char('-') && c != QLatin1Char('+') && c != QLatin1Char('.') && c != QLatin1Char(','))
            return false;
    return true;
}

QLocale EditLocale()
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale;
}

} // namespace

TConvertMeasureTabSheet::TConvertMeasureTabSheet(QWidget *parent) : QWidget(parent)
{
    Form.setupUi(this);
    ConvertMeasureEdit = Form.ConvertMeasureEdit;
    setStatusTip(ConverterHint);
    QListWidget *lists[MeasureCount] = {Form.LengthListBox, Form.SpeedListBox,  Form.AreaListBox,
                                        Form.VolumeListBox, Form.WeightListBox, Form.TemperatureListBox};
    for (int m = 0; m < MeasureCount; ++m) {
        QListWidget *list = Lists[m] = lists[m];
        for (const TMeasureUnit &unit : MeasureUnits(TMeasure(m)))
            list->addItem(unit.Name);
        list->setItemDelegate(new TUnitDelegate(this, list));
        list->viewport()->setMouseTracking(true);
        list->viewport()->installEventFilter(this);
        SelectUnit(TMeasure(m), QString());
        connect(list, &QListWidget::currentItemChanged, this,
                [this, list](QListWidgetItem *current, QListWidgetItem *previous) {
                    UnitSelected(list, current, previous);
                });
    }
    Form.MiscMemo->installEventFilter(this);
    ArrangeTabsInRows();
    SetColors(BackColor, ForeColor, FocusBackColor, FocusForeColor);
    connect(ConvertMeasureEdit, &QLineEdit::textChanged, this, &TConvertMeasureTabSheet::ConvertMeasureEditChange);
    connect(Form.ConvertMeasurePageControl, &QTabWidget::currentChanged, this,
            [this] { ShowResult(ConvertMeasureValue()); });
    // The result keeps two lines, so that the lists below it stay in place.
    QLabel *result = Form.ConvertMeasureResultLabel;
    QFont bold = result->font();
    bold.setBold(true);
    result->setFont(bold);
    result->setFixedHeight(2 * QFontMetrics(bold).lineSpacing() + result->contentsMargins().top()
                           + result->contentsMargins().bottom());
    ShowResult(0.0);
}

void TConvertMeasureTabSheet::ArrangeTabsInRows()
{
    QTabWidget *pages = Form.ConvertMeasurePageControl;
    pages->tabBar()->hide();
    auto *rows = new QWidget(Form.ConvertMeasurePanel);
    rows->setObjectName(QStringLiteral("ConvertMeasureTabRows"));
    auto *rowsLayout = new QVBoxLayout(rows);
    rowsLayout->setContentsMargins(0, 0, 0, 0);
    rowsLayout->setSpacing(0);
    auto *group = new QButtonGroup(rows);
    const int firstRow = 4; // the units of space; then weight, temperature and the memo
    QHBoxLayout *row = nullptr;
    for (int i = 0; i < pages->count(); ++i) {
        if (i == 0 || i == firstRow) {
            row = new QHBoxLayout;
            row->setSpacing(0);
            rowsLayout->addLayout(row);
        }
        auto *button = new QToolButton(rows);
        button->setText(pages->tabText(i));
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        row->addWidget(button);
        group->addButton(button, i);
    }
    group->button(pages->currentIndex())->setChecked(true);
    connect(group, &QButtonGroup::idClicked, pages, &QTabWidget::setCurrentIndex);
    connect(pages, &QTabWidget::currentChanged, group, [group](int i) {
        if (QAbstractButton *button = group->button(i))
            button->setChecked(true);
    });
    // Under the value and its result: the buttons, the pages, and at the
    // bottom the common conversions, whose height follows the value's
    // digits without moving a unit away from the pointer.
    Form.ConvertMeasureLayout->removeWidget(pages);
    Form.ConvertMeasureLayout->removeWidget(Form.ConvertMeasureDigestLabel);
    Form.ConvertMeasureLayout->addWidget(rows, 2, 0, 1, 2);
    Form.ConvertMeasureLayout->addWidget(pages, 3, 0, 1, 2);
    Form.ConvertMeasureLayout->addWidget(Form.ConvertMeasureDigestLabel, 4, 0, 1, 2);
    Form.ConvertMeasureLayout->setRowStretch(3, 1);
}

void TConvertMeasureTabSheet::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    ConvertMeasureTabSheetShow();
}

void TConvertMeasureTabSheet::ConvertMeasureTabSheetShow() { ConvertMeasureEdit->setFocus(); }

double TConvertMeasureTabSheet::ConvertMeasureValue()
{
    const QString text = ConvertMeasureEdit->text().trimmed();
    if (IsNumberStart(text))
        return 0.0;
    bool ok = false;
    double value = EditLocale().toDouble(text, &ok);
    if (!ok)
        value = QLocale::c().toDouble(text, &ok);
    if (ok && std::isfinite(value))
        return value;
    WarningDialog(QStringLiteral("Invalid number."));
    ConvertMeasureEdit->setFocus();
    ConvertMeasureEdit->setText(QStringLiteral("0"));
    return 0.0;
}

void TConvertMeasureTabSheet::SetConvertMeasureValue(double value)
{
    ConvertMeasureEdit->setText(EditLocale().toString(value, 'g', 15));
}

void TConvertMeasureTabSheet::ConvertMeasureEditChange()
{
    const double value = ConvertMeasureValue();
    MiscConvertMeasure(value);
    ShowResult(value);
}

void TConvertMeasureTabSheet::MiscConvertMeasure(double value)
{
    MemoValue = value;
    // Every pointer move over a number lands here: the memo is written when
    // it can be seen, not at each move.
    if (Form.MiscMemo->isVisible())
        FillMiscMemo();
}

void TConvertMeasureTabSheet::FillMiscMemo()
{
    if (MemoFilled && MemoValue == FilledValue)
        return;
    Form.MiscMemo->setPlainText(ShownText(::MiscConvertMeasure(MemoValue).join(QLatin1Char('\n'))));
    MemoFilled = true;
    FilledValue = MemoValue;
}

TConvertMeasureTabSheet::TShowResult TConvertMeasureTabSheet::ShowNumberAt(const TRichDocument &document, int index,
                                                                           QString *token, QString *digest)
{
    *token = NumberAtCharIndex(document, index, LocaleDecimalSeparator());
    if (token->isEmpty())
        return TShowResult::NoNumber;
    double value = 0.0;
    if (!NumberTokenValue(*token, LocaleDecimalSeparator(), &value))
        return TShowResult::InvalidNumber;
    SetConvertMeasureValue(value);
    *digest = ShownText(ShortConvertMeasure(ConvertMeasureValue()));
    return TShowResult::Shown;
}

QString TConvertMeasureTabSheet::ShownText(const QString &text)
{
    QString shown = text;
    return shown.replace(QChar(ConvertSeparator), QChar(0x25AB));
}

QString TConvertMeasureTabSheet::ResultText() const { return Form.ConvertMeasureResultLabel->text(); }

QString TConvertMeasureTabSheet::DigestText() const { return Form.ConvertMeasureDigestLabel->text(); }

QListWidget *TConvertMeasureTabSheet::ShownList() const
{
    QWidget *page = Form.ConvertMeasurePageControl->currentWidget();
    for (QListWidget *list : Lists)
        if (list->parentWidget() == page)
            return list;
    return nullptr;
}

void TConvertMeasureTabSheet::ShowResult(double value)
{
    QListWidget *list = ShownList();
    QString text;
    if (list) {
        const int from = FromRows[int(MeasureOf(list))];
        if (from >= 0)
            text = ::FullConvertMeasure(MeasureOf(list), from, list->currentRow(), value);
        else
            text = QStringLiteral("Point at the unit of ") + AlignRealToTextPow(6, 2, value)
                + QStringLiteral(" to see it in ") + SelectedUnit(MeasureOf(list)) + QLatin1Char('.');
    }
    Form.ConvertMeasureResultLabel->setText(text);
    const bool empty = ConvertMeasureEdit->text().trimmed().isEmpty();
    Form.ConvertMeasureDigestLabel->setText(empty ? QString() : ShownText(ShortConvertMeasure(value)));
}

void TConvertMeasureTabSheet::UnitSelected(QListWidget *list, QListWidgetItem *current, QListWidgetItem *previous)
{
    // A click selects the unit under the pointer, which was the one to
    // convert from: the unit selected before takes its place.
    int &from = FromRows[int(MeasureOf(list))];
    if (current && from == list->row(current))
        from = previous ? list->row(previous) : -1;
    if (list == ShownList())
        ShowResult(ConvertMeasureValue());
}

QListWidget *TConvertMeasureTabSheet::ListOf(TMeasure measure) const { return Lists[int(measure)]; }

TMeasure TConvertMeasureTabSheet::MeasureOf(QListWidget *list) const
{
    for (int m = 0; m < MeasureCount; ++m)
        if (Lists[m] == list)
            return TMeasure(m);
    return TMeasure::Length;
}

QString TConvertMeasureTabSheet::FullConvertMeasure(QListWidget *list, int index)
{
    return ::FullConvertMeasure(MeasureOf(list), index, list->currentRow(), ConvertMeasureValue());
}

QString TConvertMeasureTabSheet::SelectedUnit(TMeasure measure) const
{
    const QListWidgetItem *item = ListOf(measure)->currentItem();
    return item ? item->text() : QString();
}

void TConvertMeasureTabSheet::SelectUnit(TMeasure measure, const QString &name)
{
    ListOf(measure)->setCurrentRow(MeasureUnitOrDefault(measure, name));
}

void TConvertMeasureTabSheet::SetColors(TColor back, TColor fore, TColor focusBack, TColor focusFore)
{
    BackColor = back;
    ForeColor = fore;
    FocusBackColor = focusBack;
    FocusForeColor = focusFore;
    auto paint = [&](QWidget *w) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, ToQColor(back));
        p.setColor(QPalette::Text, ToQColor(fore));
        w->setPalette(p);
    };
    for (QListWidget *list : Lists) {
        paint(list);
        list->viewport()->update();
    }
    paint(Form.MiscMemo);
}

void TConvertMeasureTabSheet::SetItemHeight(int height)
{
    RowHeight = std::max(1, height);
    for (QListWidget *list : Lists)
        list->doItemsLayout();
}

void TConvertMeasureTabSheet::ConvertListBoxDrawItem(QListWidget *list, QPainter *painter,
                                                     const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    const QRect r = option.rect;
    painter->save();
    painter->fillRect(r, ToQColor(selected ? FocusBackColor : BackColor));
    const QRect text = r.adjusted(3, 2, -3, -2);
    painter->setClipRect(text);
    painter->setFont(option.font);
    painter->setPen(ToQColor(selected ? FocusForeColor : ForeColor));
    painter->drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, index.data().toString());
    painter->setClipping(false);
    painter->setPen(ToQColor(ForeColor));
    painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    painter->restore();
    DrawListBoxFocus(list, painter, option.state, r);
}

bool TConvertMeasureTabSheet::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Form.MiscMemo && event->type() == QEvent::Show)
        FillMiscMemo();
    for (QListWidget *list : Lists) {
        if (watched != list->viewport())
            continue;
        if (event->type() == QEvent::MouseButtonPress)
            ConvertListBoxMouseDown(list);
        else if (event->type() == QEvent::MouseMove)
            ConvertListBoxMouseMove(list, static_cast<QMouseEvent *>(event)->position().toPoint());
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TConvertMeasureTabSheet::ConvertListBoxMouseDown(QListWidget *list)
{
    // The press still selects the unit pressed: it becomes the target unit.
    ConvertMeasureEdit->setFocus();
}

void TConvertMeasureTabSheet::ConvertListBoxMouseMove(QListWidget *list, const QPoint &position)
{
    const QListWidgetItem *item = list->itemAt(position);
    if (!item) {
        QToolTip::hideText();
        return;
    }
    const int row = list->row(item);
    const QString tip = FullConvertMeasure(list, row);
    // The selected unit under the pointer converts to itself: the page goes
    // on showing the unit pointed at before.
    if (row != list->currentRow()) {
        FromRows[int(MeasureOf(list))] = row;
        ShowResult(ConvertMeasureValue());
    }
    const QRect rect = list->visualItemRect(item);
    QToolTip::showText(list->viewport()->mapToGlobal(position), tip, list->viewport(), rect);
}
