// The widget utilities: integers from edits with their warning, the
// clipboard, list-box selection and dropped files.
#include <QtTest>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>

#include "Dialogs.h"
#include "FunStatContext.h"
#include "WidgetUtilities.h"

class TestUtilitiesWidgets : public QObject {
    Q_OBJECT
private slots:
    void intFromEdit();
    void clipboard();
    void listBoxSelection();
    void droppedFiles();
};

void TestUtilitiesWidgets::intFromEdit()
{
    TScopedRecordingDialogs dialogs;
    QLineEdit edit;
    int changes = 0;
    connect(&edit, &QLineEdit::textChanged, this, [&changes] { ++changes; });

    edit.setText(QStringLiteral("30"));
    changes = 0;
    QCOMPARE(GetIntFromEdit(&edit, 20, 100, 45), 30);
    QCOMPARE(dialogs.Boxes.size(), 0);

    // Not an integer: the warning with the limits, the default written back.
    edit.setText(QStringLiteral("2.5"));
    changes = 0;
    QCOMPARE(GetIntFromEdit(&edit, 20, 100, 45), 45);
    QCOMPARE(dialogs.Boxes.size(), 1);
    QCOMPARE(dialogs.Boxes[0].Kind, TDialogKind::Warning);
    QCOMPARE(dialogs.Boxes[0].Text,
             QStringLiteral("Integer value outside limits.\nIt will be set to default.\n"
                            "    * Minimum = 20\n    * Maximum = 100\n    * Default = 45"));
    QCOMPARE(edit.text(), QStringLiteral("45"));
    QCOMPARE(changes, 1); // the change handler ran for the default
    QVERIFY(FunStatContext.Description.contains(QStringLiteral("2.5")));

    // Out of range: the same warning, negative limits written plainly.
    edit.setText(QStringLiteral("-700"));
    QCOMPARE(GetIntFromEdit(&edit, -50, 50, 0), 0);
    QCOMPARE(dialogs.Boxes.size(), 2);
    QVERIFY(dialogs.Boxes[1].Text.contains(QStringLiteral("    * Minimum = -50\n")));
    QCOMPARE(edit.text(), QStringLiteral("0"));

    // Empty: the default, silently when it lies within the limits, with the
    // warning when it does not.
    edit.clear();
    QCOMPARE(GetIntFromEdit(&edit, 20, 100, 45), 45);
    QCOMPARE(dialogs.Boxes.size(), 2);
    QCOMPARE(edit.text(), QString());
    edit.clear();
    QCOMPARE(GetIntFromEdit(&edit), 0);
    QCOMPARE(dialogs.Boxes.size(), 2);
    QCOMPARE(GetIntFromEdit(&edit, 1, 10, 0), 0);
    QCOMPARE(dialogs.Boxes.size(), 3);
    QCOMPARE(GetIntFromEdit(nullptr, 1, 10, 7), 7);
}

void TestUtilitiesWidgets::clipboard()
{
    TScopedRecordingDialogs dialogs;
    QClipboard *clip = QGuiApplication::clipboard();
    clip->setText(QStringLiteral("before"));
    QVERIFY(!CopyTextToClipboard(QString()));
    QCOMPARE(dialogs.Texts(), QStringList{QStringLiteral("There is no text to copy to clipboard.")});
    QCOMPARE(clip->text(), QStringLiteral("before"));

    QVERIFY(CopyTextToClipboard(QStringLiteral(" and after"), QString(), true, true));
    QCOMPARE(clip->text(), QStringLiteral("before and after"));
    QCOMPARE(dialogs.Beeps, 1);
    QVERIFY(CopyTextToClipboard(QStringLiteral("new")));
    QCOMPARE(clip->text(), QStringLiteral("new"));
    QCOMPARE(dialogs.Boxes.size(), 1);
}

void TestUtilitiesWidgets::listBoxSelection()
{
    QListWidget list;
    list.resize(200, 300);
    list.addItems({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    const QRect second = list.visualItemRect(list.item(1));
    QCOMPARE(SelectItemAtPoint(&list, second.center().x(), second.center().y()), 1);
    QCOMPARE(list.currentRow(), 1);
    // Below the last item: no item, the selection stays.
    QCOMPARE(SelectItemAtPoint(&list, 10, 290), -1);
    QCOMPARE(list.currentRow(), 1);
    RefreshListBoxSelection(&list);
    QCOMPARE(list.currentRow(), 1);
    QVERIFY(GetFontHeight(list.font(), &list) > 0);
    QCOMPARE(GetFontHeight(list.font(), nullptr), 0);
    QVERIFY(IsWindows2000OrLater());
    FocusControl(nullptr); // nothing to focus, nothing happens
}

void TestUtilitiesWidgets::droppedFiles()
{
    TScopedRecordingDialogs dialogs;
    const QList<QUrl> urls
        = {QUrl(QStringLiteral("https://example.org/book.txt")), QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt")),
           QUrl::fromLocalFile(QStringLiteral("/tmp/b.txt"))};
    QStringList names;
    ProcessDroppedFiles(urls, true, [&names](const QString &name) { names.append(name); });
    QCOMPARE(names, QStringList{QStringLiteral("/tmp/a.txt")});
    names.clear();
    ProcessDroppedFiles(urls, false, [&names](const QString &name) { names.append(name); });
    QCOMPARE(names, (QStringList{QStringLiteral("/tmp/a.txt"), QStringLiteral("/tmp/b.txt")}));
    // A callback that fails: one error report, no exception out of the call.
    ProcessDroppedFiles(urls, true, [](const QString &) { throw std::runtime_error("boom"); });
    ProcessDroppedFiles(urls, true, nullptr);
    QCOMPARE(FunStatContext.Status, int(Perfect));
}

QTEST_MAIN(TestUtilitiesWidgets)
#include "test_utilities_widgets.moc"
