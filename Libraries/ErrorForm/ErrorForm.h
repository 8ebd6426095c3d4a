// The error dialog: shows one failure report at a time, counts and drops
// reports that arrive while it is open, appends the shown report to
// Errors.log, opens the help, or ends the program at once.
#pragma once

#include "FunStatContext.h"
#include "HelpWindow.h"
#include "LecternApplication.h"
#include "WidgetDialogs.h"

#include <QDialog>

#include <memory>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace Ui {
class TErrorForm;
}

class TErrorForm : public QDialog, public TErrorReportView {
    Q_OBJECT
public:
    // Dialog results of the two okay buttons (Cancel, Esc and closing give
    // QDialog::Rejected).
    enum { ResultOkay = 1, ResultOkayNoErrors = 6 };

    // Becomes the report view of FunStatContext and routes the exceptions
    // that escape event handlers to FunStatContext.OnApplicationException.
    explicit TErrorForm(QWidget *parent = nullptr);
    ~TErrorForm() override;

    bool ShowReport(const QString &statusText, const QString &message, bool *noErrors,
                    const QString &reportText) override;
    int RecursionCount() const override { return Recursion; }

    // Appends the shown report to the log; returns success.
    bool AppendToLog();
    // The log file: Errors.log in the settings directory unless set.
    QString LogPath() const;
    void SetLogPath(const QString &path) { LogPathOverride = path; }
    // The report as shown, with CR LF line breaks.
    QString MemoText() const { return Memo; }

    QPlainTextEdit *MainMemo = nullptr;
    QPushButton *OkayButton = nullptr;
    QPushButton *OkayNoErrorsButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QPushButton *TerminateButton = nullptr;
    QPushButton *LogButton = nullptr;
    QPushButton *HelpButton = nullptr;
    QLabel *RecursionLabel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void OkayButtonClick();
    void OkayNoErrorsButtonClick();
    void TerminateButtonClick();
    void LogButtonClick();
    void HelpButtonClick();

private:
    void CenterOnMainWindow();

    std::unique_ptr<Ui::TErrorForm> Ui;
    int Recursion = 0;
    QString Memo;
    QString LogPathOverride;
};

extern TErrorForm *ErrorForm;

// The dialog's font: 9-point Arial, or a metric twin where Arial is missing.
QFont DialogFont(int pointSize = 9);
