#include "Dialogs.h"
#include "FunStatContext.h"
#include "TimeStamp.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// Records what would be shown instead of showing it.
class TRecordingView : public TErrorReportView {
public:
    struct TReport {
        QString Status, Message, Text;
    };
    QList<TReport> Reports;
    bool ShowReport(const QString &statusText, const QString &message, bool *noErrors,
                    const QString &reportText) override
    {
        Reports.append({statusText, message, reportText});
        if (noErrors)
            *noErrors = false;
        return true;
    }
    int RecursionCount() const override { return 0; }
};

int g_statusInside = -1;

// A library routine: hands its failure up through FunStatContext.
void LibraryRoutine(bool fail)
{
    FUN_BEGIN("TLibrary::Routine");
    try {
        g_statusInside = FunStatContext.Status;
        if (fail)
            FUN_RAISE(QStringLiteral("Failed to get type."), QStringLiteral("a.txt"), QString(), 2);
    }
    FUN_CATCH
    FUN_END;
}

// An operation the user started: shows its failure and leaves Perfect.
void UserOperation(bool fail, bool throwIt)
{
    FUN_BEGIN("TForm::Operation");
    try {
        LibraryRoutine(fail);
        FUN_ADOPT();
        if (throwIt)
            LECTERN_THROW(QStringLiteral("bad state"));
    }
    FUN_CATCH
    FUN_END_SHOW("Failed to save.");
}

} // namespace

class TestFunStatContext : public QObject {
    Q_OBJECT
private slots:
    void reportListsOptionalLinesOnlyWhenSet();
    void statusTexts();
    void assignKeepsShowFields();
    void caughtExceptionNamesThrowSite();
    void showWithoutDialogUsesPlainBox();
    void logIsEmptiedPastTenThousandBytes();
    void operationProtocolHandsFailuresUp();
    void applicationExceptionIsShownAndCleared();
    void timeStampParts();
};

void TestFunStatContext::reportListsOptionalLinesOnlyWhenSet()
{
    TFunStatContext c;
    c.Raise("/src/a/File.cpp", QStringLiteral("TX::Op"), 42, Error, QStringLiteral("Failed to get type."));
    QStringList lines = c.ReportText().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.at(0), QString());
    QCOMPARE(lines.at(1), QStringLiteral("RAISE CONTEXT"));
    QCOMPARE(lines.at(2), QStringLiteral("* Status: Error"));
    QCOMPARE(lines.at(3), QStringLiteral("* File: \"File.cpp\""));
    QCOMPARE(lines.at(4), QStringLiteral("* Function: \"TX::Op\""));
    QCOMPARE(lines.at(5), QStringLiteral("* Line: 42"));
    QCOMPARE(lines.at(6), QStringLiteral("* Description: \"Failed to get type.\""));
    QCOMPARE(lines.at(7), QString());
    QCOMPARE(lines.at(8), QStringLiteral("SHOW CONTEXT"));
    QCOMPARE(lines.last(), QStringLiteral("* UserReal: 0"));
    QVERIFY(lines.contains(QStringLiteral("* UserText: ")));

    c.Raise("f.cpp", QStringLiteral("F"), 1, Catastrophe, QStringLiteral("d"), QStringLiteral("p1"),
            QStringLiteral("p2"), 2);
    lines = c.ReportText().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.at(2),
             QStringLiteral("* Status: Catastrophe: CATASTROPHIC FAILURE!!! It is highly recommended to "
                            "terminate the program immediately!"));
    QCOMPARE(lines.at(7), QStringLiteral("* Parameter 1: \"p1\""));
    QCOMPARE(lines.at(8), QStringLiteral("* Parameter 2: \"p2\""));
    QCOMPARE(lines.at(9), QStringLiteral("* System error code: 2"));
    QVERIFY(lines.at(10).startsWith(QStringLiteral("* System error description: \"")));
    QVERIFY(!lines.at(10).endsWith(QStringLiteral(".\"")));
}

void TestFunStatContext::statusTexts()
{
    QCOMPARE(TFunStatContext::StatusText(3), QStringLiteral("Begin function error"));
    QCOMPARE(TFunStatContext::StatusText(6), QStringLiteral("Unknown function status"));
    QCOMPARE(TFunStatContext::StatusText(-1), QStringLiteral("Unknown function status"));
}

void TestFunStatContext::assignKeepsShowFields()
{
    TFunStatContext target, source;
    target.SetShow("show.cpp", QStringLiteral("Shower"), 7);
    source.Raise("raise.cpp", QStringLiteral("Raiser"), 9, Error, QStringLiteral("x"));
    source.SetShow("other.cpp", QStringLiteral("Other"), 11);
    source.UserInt = 5;
    target.Assign(source);
    QCOMPARE(target.Status, int(Error));
    QCOMPARE(target.RaiseFunction, QStringLiteral("Raiser"));
    QCOMPARE(target.UserInt, 5);
    QCOMPARE(target.ShowFunction, QStringLiteral("Shower"));
    QCOMPARE(target.ShowLine, 7);
}

void TestFunStatContext::caughtExceptionNamesThrowSite()
{
    TFunStatContext c;
    try {
        LECTERN_THROW(QStringLiteral("boom"));
    } catch (const std::exception &e) {
        c.RaiseException(__FILE__, QStringLiteral("T::F"), __LINE__, &e);
    }
    QCOMPARE(c.Description, QStringLiteral("Unhandled exception: boom"));
    QCOMPARE(c.Parameter1, QStringLiteral("test_funstatcontext.cpp"));
    QVERIFY(c.Parameter2.toInt() > 0);

    std::runtime_error plain("plain");
    c.RaiseException(__FILE__, QStringLiteral("T::F"), __LINE__, &plain);
    QCOMPARE(c.Parameter1, QString());
    QCOMPARE(c.Parameter2, QStringLiteral("0"));
    QVERIFY(c.ReportText().contains(QStringLiteral("* Parameter 2: \"0\"")));
    QVERIFY(!c.ReportText().contains(QStringLiteral("* Parameter 1:")));

    c.RaiseException(__FILE__, QStringLiteral("T::F"), __LINE__, nullptr);
    QCOMPARE(c.Description, QStringLiteral("Unhandled generic exception."));
}

void TestFunStatContext::showWithoutDialogUsesPlainBox()
{
    TScopedRecordingDialogs dialogs;
    SetErrorReportView(nullptr);
    TFunStatContext c;
    bool flag = true;
    QCOMPARE(c.Show(QStringLiteral("Failed."), &flag), false);
    QCOMPARE(flag, false);
    QCOMPARE(dialogs.Boxes.size(), 1);
    QCOMPARE(dialogs.Boxes[0].Caption, QStringLiteral("Error"));
    QCOMPARE(dialogs.Boxes[0].Text, QStringLiteral("The error-dialog form is not created. You must create it."));
}

void TestFunStatContext::logIsEmptiedPastTenThousandBytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Errors.log"));
    auto fill = [&](int size) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(size, 'x'));
    };
    const QString entry = QStringLiteral("DESCRIPTION\r\nmsg");
    const QByteArray framed = "**********DESCRIPTION\r\nmsg\r\n**********\r\n";

    fill(10001);
    QVERIFY(AppendReportToLog(path, entry));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), framed);
    f.close();

    fill(10000);
    QVERIFY(AppendReportToLog(path, entry));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.size(), qint64(10000 + framed.size()));
}

void TestFunStatContext::operationProtocolHandsFailuresUp()
{
    TRecordingView view;
    SetErrorReportView(&view);

    LibraryRoutine(false);
    QCOMPARE(g_statusInside, int(BeginFunctionError));
    QCOMPARE(FunStatContext.Status, int(Perfect));
    LibraryRoutine(true);
    QCOMPARE(FunStatContext.Status, int(Error));
    QCOMPARE(FunStatContext.RaiseFunction, QStringLiteral("TLibrary::Routine"));
    QCOMPARE(FunStatContext.Parameter1, QStringLiteral("a.txt"));
    QCOMPARE(FunStatContext.SystemErrorCode, 2);

    UserOperation(false, false);
    QCOMPARE(view.Reports.size(), 0);
    QCOMPARE(FunStatContext.Status, int(Perfect));

    // The callee's failure is adopted and shown once with the caller's sentence.
    UserOperation(true, false);
    QCOMPARE(view.Reports.size(), 1);
    QCOMPARE(view.Reports[0].Status, QStringLiteral("Error"));
    QCOMPARE(view.Reports[0].Message, QStringLiteral("Failed to save."));
    const QStringList lines = view.Reports[0].Text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.at(4), QStringLiteral("* Function: \"TLibrary::Routine\""));
    const int show = int(lines.indexOf(QStringLiteral("SHOW CONTEXT")));
    QVERIFY(show > 0);
    QCOMPARE(lines.at(show + 1), QStringLiteral("* File: \"test_funstatcontext.cpp\""));
    QCOMPARE(lines.at(show + 2), QStringLiteral("* Function: \"\""));
    QCOMPARE(FunStatContext.Status, int(Perfect));

    UserOperation(false, true);
    QCOMPARE(view.Reports.size(), 2);
    QVERIFY(view.Reports[1].Text.contains(QStringLiteral("* Function: \"TForm::Operation\"")));
    QVERIFY(view.Reports[1].Text.contains(QStringLiteral("* Description: \"Unhandled exception: bad state\"")));
    QVERIFY(view.Reports[1].Text.contains(QStringLiteral("* Parameter 1: \"test_funstatcontext.cpp\"")));
    QCOMPARE(FunStatContext.Status, int(Perfect));

    SetErrorReportView(nullptr);
}

void TestFunStatContext::applicationExceptionIsShownAndCleared()
{
    TRecordingView view;
    SetErrorReportView(&view);
    FunStatContext.OnApplicationException(QStringLiteral("kaboom"));
    SetErrorReportView(nullptr);
    QCOMPARE(view.Reports.size(), 1);
    QCOMPARE(view.Reports[0].Message, QStringLiteral("Unhandled error.\r\nkaboom"));
    QVERIFY(view.Reports[0].Text.contains(QStringLiteral("* Description: \"Unhandled error.\r\nkaboom\"")));
    QVERIFY(view.Reports[0].Text.contains(QStringLiteral("* Function: \"TFunStatContext::OnApplicationException\"")));
    QCOMPARE(FunStatContext.Status, int(Perfect));
    QCOMPARE(FunStatContext.Description, QString());
}

void TestFunStatContext::timeStampParts()
{
    // 1 March of a leap year is day 61; noon is half of 864 hundreds of seconds.
    const QDateTime noon(QDate(2024, 3, 1), QTime(12, 0, 0));
    const QString text = TimeStampText(QStringLiteral(" | "), noon);
    QVERIFY2(text.contains(QStringLiteral(" (61) | ")), qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral(" (432)")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("12:00:00")) || text.contains(QStringLiteral("12:00")), qPrintable(text));

    const QString first = TimeStampText(QStringLiteral("#"), QDateTime(QDate(2023, 1, 1), QTime(0, 0, 0)));
    QVERIFY2(first.contains(QStringLiteral(" (1)#")), qPrintable(first));
    QVERIFY2(first.endsWith(QStringLiteral(" (0)")), qPrintable(first));
    const QString last = TimeStampText(QStringLiteral("#"), QDateTime(QDate(2023, 12, 31), QTime(23, 59, 59, 999)));
    QVERIFY2(last.contains(QStringLiteral(" (365)#")), qPrintable(last));
    QVERIFY2(last.endsWith(QStringLiteral(" (863)")), qPrintable(last));

    QVERIFY(ClockText(noon).contains(QLatin1Char(':')));
    // Hours and minutes only: the clock does not tick every second.
    QCOMPARE(ClockText(noon.addSecs(17)), ClockText(noon));
}

QTEST_GUILESS_MAIN(TestFunStatContext)
#include "test_funstatcontext.moc"
