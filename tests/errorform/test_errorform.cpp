#include "AboutForm.h"
#include "ErrorForm.h"
#include "Program.h"
#include "WidgetDialogs.h"

#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// Runs action once widget is the active modal window (the modal loop is then
// running); gives up after a few seconds so a fault cannot hang the test.
void WhenModal(std::function<QWidget *()> widget, std::function<void()> action)
{
    auto *timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, widget, action, tries] {
        QWidget *w = widget();
        if ((w && QApplication::activeModalWidget() == w && w->isVisible()) || ++*tries > 500) {
            timer->stop();
            timer->deleteLater();
            if (w && w->isVisible())
                action();
        }
    });
    timer->start(10);
}

QWidget *TheErrorForm() { return ErrorForm; }

// An object whose event handler throws.
class TThrower : public QObject {
public:
    bool Generic = false;
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User) {
            if (Generic)
                throw 42;
            throw std::runtime_error("kaboom");
        }
        return QObject::event(e);
    }
};

} // namespace

class TestErrorForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void reportTextAndAnswers();
    void recursiveReportsAreCountedAndDropped();
    void logButtonAppendsFramedReport();
    void exceptionInEventHandlerIsReported();
    void widgetMessageBoxes();
    void queryPutAsideIsNeitherYesNorNo_data();
    void queryPutAsideIsNeitherYesNorNo();
    void nameFilters_data();
    void nameFilters();
    void widgetSaveDialog();
    void helpOpensAtContext();
    void aboutTexts();

private:
    struct TShown {
        QString Caption, Memo, Label;
        int Recursion = -1;
    };
    TShown Shown() const
    {
        return {ErrorForm->windowTitle(), ErrorForm->MainMemo->toPlainText(), ErrorForm->RecursionLabel->text(),
                ErrorForm->RecursionCount()};
    }
    std::unique_ptr<TErrorForm> Form;
    QTemporaryDir Dir;
};

void TestErrorForm::initTestCase()
{
    QVERIFY(Dir.isValid());
    QVERIFY(ErrorReportView() == nullptr);
    Form = std::make_unique<TErrorForm>();
    QCOMPARE(ErrorForm, Form.get());
    QVERIFY(ErrorReportView() == Form.get());
    QVERIFY(TLecternApplication::ExceptionHandler() != nullptr);
    QCOMPARE(Form->windowTitle(), QStringLiteral("Error"));
    QCOMPARE(Form->RecursionLabel->text(), QStringLiteral("Recursion"));
    QCOMPARE(Form->size(), QSize(340, 265));
    Form->SetLogPath(Dir.filePath(QStringLiteral("Errors.log")));
}

void TestErrorForm::cleanupTestCase()
{
    Form.reset();
    QVERIFY(ErrorForm == nullptr);
    QVERIFY(ErrorReportView() == nullptr);
}

void TestErrorForm::reportTextAndAnswers()
{
    TFunStatContext c;
    c.Raise("/x/Book.cpp", QStringLiteral("TBook::Load"), 12, Error, QStringLiteral("Failed to read."));
    c.SetShow("/x/Form.cpp", QString(), 30);

    TShown shown;
    WhenModal(TheErrorForm, [&] {
        shown = Shown();
        QTest::mouseClick(ErrorForm->OkayNoErrorsButton, Qt::LeftButton);
    });
    bool flag = false;
    QVERIFY(c.Show(QString(), &flag));
    QVERIFY(flag);
    QCOMPARE(shown.Caption, QStringLiteral("Error"));
    QCOMPARE(shown.Label, QStringLiteral("Recursive attempts = None"));
    QCOMPARE(shown.Recursion, 1);
    const QStringList lines = shown.Memo.split(QLatin1Char('\n'));
    QCOMPARE(lines.at(0), QStringLiteral("DESCRIPTION"));
    QCOMPARE(lines.at(1), QStringLiteral("Failed to perform."));
    QCOMPARE(lines.at(2), QString());
    QCOMPARE(lines.at(3), QStringLiteral("RAISE CONTEXT"));
    QVERIFY(lines.contains(QStringLiteral("* Function: \"TBook::Load\"")));
    QVERIFY(lines.contains(QStringLiteral("* File: \"Form.cpp\"")));
    QVERIFY(lines.contains(QStringLiteral("* Recursive attempts: 0")));
    QVERIFY(Form->MemoText().startsWith(QStringLiteral("DESCRIPTION\r\nFailed to perform.\r\n\r\nRAISE CONTEXT\r\n")));
    QCOMPARE(Form->RecursionCount(), 0);

    // Okay: true, no flag; Cancel and Esc: false.
    WhenModal(TheErrorForm, [] { QTest::mouseClick(ErrorForm->OkayButton, Qt::LeftButton); });
    flag = true;
    QVERIFY(c.Show(QStringLiteral("Failed to save."), &flag));
    QVERIFY(!flag);
    QVERIFY(Form->MemoText().startsWith(QStringLiteral("DESCRIPTION\r\nFailed to save.\r\n")));

    WhenModal(TheErrorForm, [] { QTest::mouseClick(ErrorForm->CancelButton, Qt::LeftButton); });
    flag = true;
    QVERIFY(!c.Show(QStringLiteral("x"), &flag));
    QVERIFY(!flag);

    WhenModal(TheErrorForm, [] { QTest::keyClick(ErrorForm, Qt::Key_Escape); });
    QVERIFY(!c.Show(QStringLiteral("x")));

    c.Status = Panic;
    WhenModal(TheErrorForm, [&] {
        shown = Shown();
        ErrorForm->close();
    });
    QVERIFY(!c.Show(QStringLiteral("x")));
    QCOMPARE(shown.Caption, QStringLiteral("Panic"));
}

void TestErrorForm::recursiveReportsAreCountedAndDropped()
{
    TFunStatContext first, second;
    first.Raise("a.cpp", QStringLiteral("First"), 1, Error, QStringLiteral("first failure"));
    second.Raise("b.cpp", QStringLiteral("Second"), 2, Panic, QStringLiteral("second failure"));

    TShown afterOne, afterTwo;
    bool nestedResult = false;
    bool nestedFlag = true;
    WhenModal(TheErrorForm, [&] {
        // These arrive while the dialog's own loop runs, as from a timer.
        nestedResult = second.Show(QStringLiteral("second"), &nestedFlag);
        afterOne = Shown();
        second.Show(QStringLiteral("third"));
        afterTwo = Shown();
        QTest::mouseClick(ErrorForm->OkayButton, Qt::LeftButton);
    });
    QVERIFY(first.Show(QStringLiteral("first")));
    QVERIFY(nestedResult);
    QVERIFY(nestedFlag); // untouched
    QCOMPARE(afterOne.Label, QStringLiteral("Recursive attempts = 1"));
    QCOMPARE(afterOne.Caption, QStringLiteral("Panic"));
    QCOMPARE(afterOne.Recursion, 2);
    QCOMPARE(afterTwo.Label, QStringLiteral("Recursive attempts = 2"));
    QVERIFY(afterTwo.Memo.startsWith(QStringLiteral("DESCRIPTION\nfirst\n")));
    QVERIFY(afterTwo.Memo.contains(QStringLiteral("first failure")));
    QVERIFY(!afterTwo.Memo.contains(QStringLiteral("second failure")));
    QCOMPARE(Form->RecursionCount(), 0);

    // After closing, the next report is a first one again.
    TShown next;
    WhenModal(TheErrorForm, [&] {
        next = Shown();
        ErrorForm->reject();
    });
    second.Show(QStringLiteral("again"));
    QCOMPARE(next.Label, QStringLiteral("Recursive attempts = None"));
    QVERIFY(next.Memo.contains(QStringLiteral("second failure")));
}

void TestErrorForm::logButtonAppendsFramedReport()
{
    TScopedRecordingDialogs dialogs;
    const QString log = Form->LogPath();
    QFile::remove(log);
    TFunStatContext c;
    c.Raise("a.cpp", QStringLiteral("Op"), 1, Error, QStringLiteral("d"));

    bool stillOpen = false;
    WhenModal(TheErrorForm, [&] {
        QTest::mouseClick(ErrorForm->LogButton, Qt::LeftButton);
        QTest::mouseClick(ErrorForm->LogButton, Qt::LeftButton);
        stillOpen = ErrorForm->isVisible();
        ErrorForm->reject();
    });
    c.Show(QStringLiteral("Failed to log."));
    QVERIFY(stillOpen);
    QCOMPARE(dialogs.Beeps, 2);
    QCOMPARE(dialogs.WarningBeeps, 0);

    QFile f(log);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const QByteArray entry = "**********" + Form->MemoText().toUtf8() + "\r\n**********\r\n";
    QVERIFY(entry.startsWith("**********DESCRIPTION\r\nFailed to log.\r\n\r\nRAISE CONTEXT\r\n"));
    QCOMPARE(bytes, entry + entry);

    // A log that cannot be written: no beep, no box, the dialog stays.
    Form->SetLogPath(Dir.filePath(QStringLiteral("missing/dir/Errors.log")));
    WhenModal(TheErrorForm, [&] {
        QTest::mouseClick(ErrorForm->LogButton, Qt::LeftButton);
        stillOpen = ErrorForm->isVisible();
        ErrorForm->reject();
    });
    c.Show(QStringLiteral("x"));
    Form->SetLogPath(log);
    QVERIFY(stillOpen);
    QCOMPARE(dialogs.Beeps, 2);
    QCOMPARE(dialogs.Boxes.size(), 0);
}

void TestErrorForm::exceptionInEventHandlerIsReported()
{
    TThrower thrower;
    TShown shown;
    WhenModal(TheErrorForm, [&] {
        shown = Shown();
        ErrorForm->reject();
    });
    QEvent event(QEvent::User);
    QVERIFY(!QCoreApplication::sendEvent(&thrower, &event));
    QCOMPARE(shown.Caption, QStringLiteral("Error"));
    QVERIFY(shown.Memo.startsWith(QStringLiteral("DESCRIPTION\nUnhandled error.\nkaboom\n\nRAISE CONTEXT\n")));
    QVERIFY(shown.Memo.contains(QStringLiteral("* Function: \"TFunStatContext::OnApplicationException\"")));
    QVERIFY(shown.Memo.contains(QStringLiteral("* Description: \"Unhandled error.\nkaboom\"")));
    QCOMPARE(FunStatContext.Status, int(Perfect));

    // Something that is no standard exception, posted through the event loop.
    thrower.Generic = true;
    WhenModal(TheErrorForm, [&] {
        shown = Shown();
        ErrorForm->reject();
    });
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QTRY_VERIFY(shown.Memo.contains(QStringLiteral("Unhandled generic exception.")));
    QCOMPARE(FunStatContext.Status, int(Perfect));
}

void TestErrorForm::widgetMessageBoxes()
{
    TDialogService *previous = DialogService();
    InstallWidgetDialogService();
    auto box = [] { return qobject_cast<QWidget *>(QApplication::activeModalWidget()); };
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    auto answer = [&](QMessageBox::StandardButton button) {
        WhenModal(box, [&, button] {
            auto *mb = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!mb)
                return;
            caption = mb->windowTitle();
            icon = mb->icon();
            mb->button(button)->click();
        });
    };
    answer(QMessageBox::Yes);
    QVERIFY(QueryDialog(QStringLiteral("Text has been edited. Save it?")));
    QCOMPARE(caption, QStringLiteral("Query"));
    QCOMPARE(icon, QMessageBox::Question);
    answer(QMessageBox::No);
    QVERIFY(!QueryDialog(QStringLiteral("Again?")));
    answer(QMessageBox::Ok);
    WarningDialog(QStringLiteral("Careful."));
    QCOMPARE(caption, QStringLiteral("Warning"));
    QCOMPARE(icon, QMessageBox::Warning);
    answer(QMessageBox::Ok);
    ShowPlainErrorBox(QStringLiteral("The error-dialog form is not created. You must create it."));
    QCOMPARE(caption, QStringLiteral("Error"));
    QCOMPARE(icon, QMessageBox::NoIcon);
    SetDialogService(previous);
}

void TestErrorForm::queryPutAsideIsNeitherYesNorNo_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Esc") << false;
    QTest::newRow("the box's close button") << true;
}

// A question dismissed without an answer must not count as No: "Save it?"
// answered No throws the reader's edits away.
void TestErrorForm::queryPutAsideIsNeitherYesNorNo()
{
    QFETCH(bool, closeBox);
    TDialogService *previous = DialogService();
    InstallWidgetDialogService();
    QStringList buttons;
    WhenModal([] { return QApplication::activeModalWidget(); },
              [&] {
                  auto *mb = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                  if (!mb)
                      return;
                  for (QAbstractButton *b : mb->buttons())
                      if (b->isVisible())
                          buttons << b->text().remove(QLatin1Char('&'));
                  if (closeBox)
                      mb->close();
                  else
                      QTest::keyClick(mb, Qt::Key_Escape);
              });
    const int answer = ShowDialogBox(QStringLiteral("Query"), QStringLiteral("Text has been edited. Save it?"),
                                     TDialogKind::Query);
    SetDialogService(previous);
    QCOMPARE(answer, DialogResultOther);
    QCOMPARE(buttons, (QStringList{QStringLiteral("Yes"), QStringLiteral("No")}));
}

void TestErrorForm::nameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("books") << QStringLiteral("Text files (*.txt; *.rtf)|*.txt; *.rtf")
                           << QStringList{QStringLiteral("Text files (*.txt *.rtf)")};
    QTest::newRow("two pairs") << QStringLiteral("Books|*.txt;*.rtf|All files|*")
                               << QStringList{QStringLiteral("Books (*.txt *.rtf)"), QStringLiteral("All files (*)")};
    QTest::newRow("no pattern") << QStringLiteral("Books") << QStringList();
}

void TestErrorForm::nameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(QtNameFilters(filter), expected);
}

// The save dialog proposes the name in its directory, returns the full name
// chosen, asks nothing about a file that exists (the caller does), and
// gives an empty name when cancelled.
void TestErrorForm::widgetSaveDialog()
{
    TDialogService *previous = DialogService();
    InstallWidgetDialogService();
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("old.txt"));
    QFile file(existing);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    auto dialog = [] { return qobject_cast<QWidget *>(QApplication::activeModalWidget()); };
    QString shownDirectory;
    QStringList shownFilters;
    WhenModal(dialog, [&] {
        auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!d)
            return;
        shownDirectory = d->directory().absolutePath();
        shownFilters = d->nameFilters();
        d->selectFile(existing);
        QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
    });
    QCOMPARE(
        SaveFileDialog(dir.filePath(QStringLiteral("book")), QStringLiteral("Text files (*.txt; *.rtf)|*.txt; *.rtf")),
        existing);
    QCOMPARE(shownDirectory, QDir(dir.path()).absolutePath());
    QCOMPARE(shownFilters, QStringList{QStringLiteral("Text files (*.txt *.rtf)")});
    WhenModal(dialog, [] {
        if (auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
            d->reject();
    });
    QVERIFY(SaveFileDialog(existing, QString()).isEmpty());
    SetDialogService(previous);
}

void TestErrorForm::helpOpensAtContext()
{
    TScopedRecordingDialogs dialogs;
    const QString path = Dir.filePath(QStringLiteral("Help.html"));
    QVERIFY(!ShowHelpFile(path, 100));
    QCOMPARE(dialogs.Count(TDialogKind::Warning), 1);
    QVERIFY(dialogs.Boxes[0].Text.contains(path));
    QCOMPARE(HelpFilePath(), GetProgramDirectory() + QStringLiteral("Help.html"));

    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QByteArray html = "<html><body><h1>Help</h1>";
    for (int i = 0; i < 200; ++i)
        html += "<p>Line " + QByteArray::number(i) + "</p>";
    html += "<h2><a name=\"10000\"></a>Tips</h2><p>Press Space.</p>";
    for (int i = 0; i < 200; ++i)
        html += "<p>More " + QByteArray::number(i) + "</p>";
    html += "</body></html>";
    f.write(html);
    f.close();

    QVERIFY(ShowHelpFile(path, 10000));
    QTextBrowser *browser = HelpBrowser();
    QVERIFY(browser);
    QCOMPARE(browser->source().fragment(), QStringLiteral("10000"));
    QVERIFY(browser->window()->isVisible());
    QTRY_VERIFY(browser->verticalScrollBar()->value() > 0);

    QVERIFY(ShowHelpFile(path, 0));
    QCOMPARE(browser->source().fragment(), QString());
    QTRY_COMPARE(browser->verticalScrollBar()->value(), 0);
    browser->window()->close();
}

void TestErrorForm::aboutTexts()
{
    SetAboutTexts(QStringLiteral("Lectern"), QStringLiteral("Version 2.5.4, released on 06.01.2006"));
    TAboutForm about;
    QCOMPARE(AboutForm, &about);
    QCOMPARE(about.VersionLabel->text(), QStringLiteral("Version 2.5.4, released on 06.01.2006"));
    SetAboutTexts(QStringLiteral("Lectern"), QStringLiteral("v"));
    QCOMPARE(about.VersionLabel->text(), QStringLiteral("v"));
    QCOMPARE(TAboutForm::SiteUrl().host(), QStringLiteral("www.example.com"));
}

int main(int argc, char **argv)
{
    TLecternApplication app(argc, argv);
    TestErrorForm test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_errorform.moc"
