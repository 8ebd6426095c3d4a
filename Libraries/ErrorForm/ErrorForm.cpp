#include "ErrorForm.h"

#include "Dialogs.h"
#include "Program.h"
#include "ui_ErrorForm.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

TErrorForm *ErrorForm = nullptr;

QFont DialogFont(int pointSize)
{
    QFont font;
    // Liberation Sans has Arial's metrics, so captions fit the same way.
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(pointSize);
    return font;
}

TErrorForm::TErrorForm(QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      Ui(std::make_unique<::Ui::TErrorForm>())
{
    Ui->setupUi(this);
    setFont(DialogFont(9));
    setFixedSize(340, 265);
    setSizeGripEnabled(false);

    MainMemo = Ui->MainMemo;
    OkayButton = Ui->OkayButton;
    OkayNoErrorsButton = Ui->OkayNoErrorsButton;
    CancelButton = Ui->CancelButton;
    TerminateButton = Ui->TerminateButton;
    LogButton = Ui->LogButton;
    HelpButton = Ui->HelpButton;
    RecursionLabel = Ui->RecursionLabel;
    OkayButton->setAutoDefault(true);

    connect(OkayButton, &QPushButton::clicked, this, &TErrorForm::OkayButtonClick);
    connect(OkayNoErrorsButton, &QPushButton::clicked, this, &TErrorForm::OkayNoErrorsButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(TerminateButton, &QPushButton::clicked, this, &TErrorForm::TerminateButtonClick);
    connect(LogButton, &QPushButton::clicked, this, &TErrorForm::LogButtonClick);
    connect(HelpButton, &QPushButton::clicked, this, &TErrorForm::HelpButtonClick);

    if (!ErrorForm)
        ErrorForm = this;
    SetErrorReportView(this);
    TLecternApplication::SetExceptionHandler(&ReportApplicationException);
}

TErrorForm::~TErrorForm()
{
    if (ErrorReportView() == this)
        SetErrorReportView(nullptr);
    if (ErrorForm == this)
        ErrorForm = nullptr;
}

bool TErrorForm::ShowReport(const QString &statusText, const QString &message, bool *noErrors,
                            const QString &reportText)
{
    try {
        setWindowTitle(statusText);
        if (Recursion > 0) {
            // A report is on screen and this one came from inside its modal
            // loop: count it and drop it.
            ++Recursion;
            RecursionLabel->setText(QStringLiteral("Recursive attempts = ") + QString::number(Recursion - 1));
            return true;
        }
        Recursion = 1;
        RecursionLabel->setText(QStringLiteral("Recursive attempts = None"));
        Memo = QStringLiteral("DESCRIPTION\r\n") + (message.isEmpty() ? QStringLiteral("Failed to perform.") : message)
            + QStringLiteral("\r\n") + reportText;
        QString shown = Memo;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        MainMemo->setPlainText(shown);

        int result = QDialog::Rejected;
        if (!isVisible()) {
            CenterOnMainWindow();
            // The counter must return to 0 however the dialog ends, or every
            // later report would be dropped as recursive.
            struct TResetCounter {
                int &Counter;
                ~TResetCounter() { Counter = 0; }
            } reset{Recursion};
            result = exec();
        } else {
            Recursion = 0;
        }
        if (noErrors)
            *noErrors = result == ResultOkayNoErrors;
        return result == ResultOkay || result == ResultOkayNoErrors;
    } catch (...) {
        Recursion = 0;
        return false;
    }
}

void TErrorForm::CenterOnMainWindow()
{
    QWidget *main = parentWidget() ? parentWidget()->window() : QApplication::activeWindow();
    if (!main || main == this) {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w != this && w->isVisible() && !w->isMinimized() && qobject_cast<QDialog *>(w) == nullptr) {
                main = w;
                break;
            }
        }
    }
    if (main && main != this) {
        move(main->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    } else if (QScreen *screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
}

void TErrorForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    OkayButton->setFocus(Qt::ActiveWindowFocusReason);
}

QString TErrorForm::LogPath() const
{
    if (!LogPathOverride.isEmpty())
        return LogPathOverride;
    return GetSettingsDirectory() + QStringLiteral("Errors.log");
}

bool TErrorForm::AppendToLog()
{
    ClearLastError();
    return AppendReportToLog(LogPath(), Memo);
}

void TErrorForm::OkayButtonClick() { done(ResultOkay); }

void TErrorForm::OkayNoErrorsButtonClick() { done(ResultOkayNoErrors); }

void TErrorForm::TerminateButtonClick() { TerminateProgramNow(); }

void TErrorForm::LogButtonClick()
{
    // A failed write is silent; the dialog stays open either way.
    if (AppendToLog())
        BeepDefault();
}

void TErrorForm::HelpButtonClick() { ShowHelp(0); }
