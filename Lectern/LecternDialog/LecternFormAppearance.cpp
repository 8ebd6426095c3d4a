// Background images in the main window: the screen picture painted behind
// everything, the rich-box's picture or its transparent look painted under
// the text, the rich-box frame, and the option handlers of the two picture
// groups. Pictures are prepared by TBackImages on rebuilds; painting only
// copies them.
#include "LecternForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>

#include "BackImages.h"
#include "Contrast.h"
#include "Dialogs.h"
#include "FunStatContext.h"
#include "Picture.h"
#include "ProfileColorsTabSheet.h"
#include "ProfileGeneralTabSheet.h"
#include "Program.h"
#include "RichBackImageGroupBox.h"
#include "RichBox.h"
#include "RichDocument.h"
#include "ScreenBackImageGroupBox.h"
#include "Shell.h"

namespace {

QString ImagesFilter(const QString &patterns)
{
    return QStringLiteral("Images (") + patterns + QStringLiteral(")|") + patterns;
}

} // namespace

void TLecternForm::SetUpAppearance()
{
    BackImages = std::make_unique<TBackImages>(GetPictureExtensionsAsFilter());
    ScreenBackImageGroupBox = ProfileGeneralTabSheet->Form.ScreenBackImageGroupBox;
    RichBackImageGroupBox = ProfileGeneralTabSheet->Form.RichBackImageGroupBox;

    // The window and the rich-box paint their whole backgrounds themselves.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    RichEdit->SetBackgroundColor(QColor());
    RichEdit->viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    RichEdit->OnPaintBackground
        = [this](QPainter &painter, const QRect &client) { PaintRichBoxBackground(painter, client); };

    const Ui::ScreenBackImageGroupBox &s = ScreenBackImageGroupBox->Form;
    connect(s.UseScreenBackImageCheckBox, &QCheckBox::toggled, this, &TLecternForm::UseScreenBackImageCheckBoxClick);
    connect(s.StretchScreenBackImageCheckBox, &QCheckBox::toggled, this,
            &TLecternForm::UseScreenBackImageCheckBoxClick);
    for (QComboBox *combo :
         {s.FadeScreenBackImageComboBox, s.GammaScreenBackImageComboBox, s.FadeCenterScreenBackImageComboBox})
        connect(combo, &QComboBox::currentTextChanged, this, &TLecternForm::ScreenBackImageComboBoxChange);
    connect(s.ChangeScreenBackImageButton, &QPushButton::clicked, this, [this] {
        ChangeScreenBackImageButtonMouseDown(ShiftStateFrom(QGuiApplication::keyboardModifiers(), Qt::LeftButton));
    });
    connect(s.RunScreenBackImageButton, &QPushButton::clicked, this, &TLecternForm::RunScreenBackImageButtonClick);

    const Ui::RichBackImageGroupBox &r = RichBackImageGroupBox->Form;
    connect(r.UseRichBackImageCheckBox, &QCheckBox::toggled, this, &TLecternForm::UseRichBackImageCheckBoxClick);
    connect(r.StretchRichBackImageCheckBox, &QCheckBox::toggled, this, &TLecternForm::UseRichBackImageCheckBoxClick);
    for (QComboBox *combo : {r.FadeRichBackImageComboBox, r.GammaRichBackImageComboBox})
        connect(combo, &QComboBox::currentTextChanged, this, &TLecternForm::RichBackImageComboBoxChange);
    connect(r.ChangeRichBackImageButton, &QPushButton::clicked, this, [this] {
        ChangeRichBackImageButtonMouseDown(ShiftStateFrom(QGuiApplication::keyboardModifiers(), Qt::LeftButton));
    });
    connect(r.RunRichBackImageButton, &QPushButton::clicked, this, &TLecternForm::RunRichBackImageButtonClick);
    connect(r.TransparentRichBackCheckBox, &QCheckBox::toggled, this, &TLecternForm::TransparentRichBackCheckBoxClick);
    connect(r.ShowFrameCheckBox, &QCheckBox::toggled, this, &TLecternForm::ShowFrameCheckBoxClick);
}

void TLecternForm::ConvertBackImageTitles(const std::function<QString(const QString &title)> &convert)
{
    ScreenBackImageGroupBox->SetTitle(convert(ScreenBackImageGroupBox->Title()));
    RichBackImageGroupBox->SetTitle(convert(RichBackImageGroupBox->Title()));
}

// ---------------------------------------------------------------- rebuilds

void TLecternForm::IniScreenBackImage()
{
    FUN_BEGIN("TLecternForm::IniScreenBackImage");
    if (!ProfileListLoading) {
        try {
            const QString path = ImageTitleToPath(ScreenBackImageGroupBox->Title(), ProfilePlaces());
            if (!BackImages->BuildScreen(path, size(), ScreenBackImageGroupBox->Options()))
                FUN_ADOPT();
        }
        FUN_CATCH
        ApplyLabelColors(); // on the picture as it is now
    }
    FUN_END_SHOW(QStringLiteral("Failed to load image."));
}

void TLecternForm::IniRichBackImage()
{
    FUN_BEGIN("TLecternForm::IniRichBackImage");
    if (!ProfileListLoading) {
        try {
            const QString path = ImageTitleToPath(RichBackImageGroupBox->Title(), ProfilePlaces());
            if (!BackImages->BuildRich(path, RichEdit->viewport()->size(), RichBackImageGroupBox->Options()))
                FUN_ADOPT();
        }
        FUN_CATCH
    }
    FUN_END_SHOW(QStringLiteral("Failed to load image."));
}

void TLecternForm::RebuildBackImages()
{
    IniScreenBackImage();
    IniRichBackImage();
    RefreshScreen();
}

void TLecternForm::SetScreenBackImageFile(const QString &path)
{
    ScreenBackImageGroupBox->SetTitle(ImagePathToTitle(path, ProfilePlaces()));
    IniScreenBackImage();
    RefreshScreen();
}

void TLecternForm::SetRichBackImageFile(const QString &path)
{
    RichBackImageGroupBox->SetTitle(ImagePathToTitle(path, ProfilePlaces()));
    IniRichBackImage();
    RefreshRichBox();
}

// ---------------------------------------------------------------- painting

void TLecternForm::RefreshScreen()
{
    ApplyLinkColor();
    update();
    RichEdit->viewport()->update();
}

void TLecternForm::RefreshRichBox()
{
    ApplyLinkColor();
    RichEdit->viewport()->update();
    update(RichBoxFrameRect().adjusted(0, 0, 1, 1)); // the frame
}

void TLecternForm::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    if (!BackImages->HasScreen() || !BackImages->Screen().rect().contains(area))
        painter.fillRect(area, palette().color(QPalette::Window));
    BackImages->PaintScreen(painter, area);
    DrawRichBoxFrame(painter);
}

void TLecternForm::ApplyLinkColor()
{
    const QSize client = RichEdit->viewport()->size();
    QColor under = ToQColor(ProfileColorsTabSheet->Color(crRichBoxBack));
    switch (BackImages->RichBackground(RichBackImageGroupBox->TransparentRichBack(),
                                       RichBackImageGroupBox->UseRichBackImage())) {
    case TRichBackground::Color: break;
    case TRichBackground::Centre:
        under = MeanColor(BackImages->Centre(), QRect(RichEdit->viewport()->mapTo(this, QPoint(0, 0)), client));
        break;
    case TRichBackground::Picture: under = MeanColor(BackImages->RichPicture(), QRect(QPoint(0, 0), client)); break;
    }
    if (!under.isValid() || under.alpha() == 0)
        return; // an image not yet built for the box's size
    const QColor link = LegibleColor(QGuiApplication::palette().color(QPalette::Link), under);
    QPalette p = RichEdit->palette();
    if (p.color(QPalette::Active, QPalette::Link) == link)
        return;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        p.setColor(group, QPalette::Link, link);
    RichEdit->setPalette(p);
}

void TLecternForm::PaintRichBoxBackground(QPainter &painter, const QRect &client)
{
    const TRichBackground background = BackImages->RichBackground(RichBackImageGroupBox->TransparentRichBack(),
                                                                  RichBackImageGroupBox->UseRichBackImage());
    const QColor color = ToQColor(ProfileColorsTabSheet->Color(crRichBoxBack));
    if (background == TRichBackground::Color)
        painter.fillRect(client, color);
    else
        BackImages->PaintRichBox(painter, background, client.size(), RichEdit->viewport()->mapTo(this, QPoint(0, 0)),
                                 color);
}

// One pixel outside the rich-box on all four sides.
QRect TLecternForm::RichBoxFrameRect() const
{
    const QRect box = RichEdit->geometry();
    return QRect(box.x() - 1, box.y() - 1, box.width() + 1, box.height() + 1);
}

void TLecternForm::DrawRichBoxFrame(QPainter &painter)
{
    if (!RichBackImageGroupBox->ShowFrame() || !RichEdit->isVisible())
        return;
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(RichBoxFrameRect());
}

// ---------------------------------------------------------------- handlers

void TLecternForm::UseScreenBackImageCheckBoxClick()
{
    IniScreenBackImage();
    RefreshScreen();
    FocusRichBox();
}

void TLecternForm::ScreenBackImageComboBoxChange()
{
    IniScreenBackImage();
    RefreshScreen();
}

void TLecternForm::UseRichBackImageCheckBoxClick()
{
    IniRichBackImage();
    RefreshRichBox();
    FocusRichBox();
}

void TLecternForm::RichBackImageComboBoxChange()
{
    IniRichBackImage();
    RefreshRichBox();
}

void TLecternForm::TransparentRichBackCheckBoxClick()
{
    RefreshRichBox();
    FocusRichBox();
}

void TLecternForm::ShowFrameCheckBoxClick()
{
    RefreshRichBox();
    FocusRichBox();
}

QString TLecternForm::BackImageDialogStart(const QString &title, TShiftState shift) const
{
    if (HasOnlyModifier(shift, ssCtrl))
        return ProfilePlaces().ImageDirectory + QLatin1Char('*');
    if (HasOnlyModifier(shift, ssShift))
        return CurrentBookPath.isEmpty() ? QString() : DirectoryOfFile(CurrentBookPath) + QLatin1Char('*');
    return ImageTitleToPath(title, ProfilePlaces());
}

void TLecternForm::ChangeScreenBackImageButtonMouseDown(TShiftState shift)
{
    FUN_BEGIN("TLecternForm::ChangeScreenBackImageButtonMouseDown");
    try {
        const QString start = BackImageDialogStart(ScreenBackImageGroupBox->Title(), shift);
        const QString file = OpenFileDialog(start, ImagesFilter(BackImages->Patterns()));
        if (!file.isEmpty())
            SetScreenBackImageFile(file);
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to change image."));
    FocusRichBox();
}

void TLecternForm::ChangeRichBackImageButtonMouseDown(TShiftState shift)
{
    FUN_BEGIN("TLecternForm::ChangeRichBackImageButtonMouseDown");
    try {
        const QString start = BackImageDialogStart(RichBackImageGroupBox->Title(), shift);
        const QString file = OpenFileDialog(start, ImagesFilter(BackImages->Patterns()));
        if (!file.isEmpty())
            SetRichBackImageFile(file);
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to change image."));
    FocusRichBox();
}

void TLecternForm::RunScreenBackImageButtonClick()
{
    FUN_BEGIN("TLecternForm::RunScreenBackImageButtonClick");
    try {
        if (!RunFile(ImageTitleToPath(ScreenBackImageGroupBox->Title(), ProfilePlaces()), QString(), QString(), false,
                     false))
            FUN_ADOPT();
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to run image."));
    FocusRichBox();
}

void TLecternForm::RunRichBackImageButtonClick()
{
    FUN_BEGIN("TLecternForm::RunRichBackImageButtonClick");
    try {
        if (!RunFile(ImageTitleToPath(RichBackImageGroupBox->Title(), ProfilePlaces()), QString(), QString(), false,
                     false))
            FUN_ADOPT();
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to run image."));
    FocusRichBox();
}
