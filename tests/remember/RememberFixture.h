// Main windows that start up on a settings directory of their own, with
// books written for the test, for the tests of what the reader remembers.
#pragma once

#include <QtTest>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

#include "BookGroupBox.h"
#include "BookmarkButtons.h"
#include "BookshelfGroupBox.h"
#include "Dialogs.h"
#include "LecternForm.h"
#include "ProgramOpenTabSheet.h"
#include "ReportRecorder.h"
#include "RichBox.h"
#include "RichEditOps.h"

struct TRememberFixture {
    TRememberFixture()
    {
        TLecternForm::FirstActivation = false;
        SettingsDir = Dir.filePath(QStringLiteral("settings/"));
        BooksDir = Dir.filePath(QStringLiteral("Books/"));
        QDir().mkpath(SettingsDir);
        QDir().mkpath(BooksDir);
    }

    // A window as the program starts it: settings and default profile read.
    std::unique_ptr<TLecternForm> Start()
    {
        auto form = std::make_unique<TLecternForm>();
        form->IsApplicationActive = [] { return true; };
        form->resize(1000, 800);
        form->show();
        form->RichEdit->show();
        form->Container_MainPanel->show(); // the buttons are clicked like a reader's
        form->StartUp(SettingsDir);
        return form;
    }

    // A plain-text book of `paragraphs` paragraphs under BooksDir.
    QString WriteBook(const QString &name, int paragraphs = 400)
    {
        QByteArray text;
        for (int i = 0; i < paragraphs; ++i)
            text += "Paragraph " + QByteArray::number(i)
                + " tells how the river ran past the mill and the miller counted the sacks.\n\n";
        return WriteFile(BooksDir + name, text);
    }

    static QString WriteFile(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return QString();
        return path;
    }

    static QByteArray ReadFile(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QByteArray Ini() const { return ReadFile(SettingsDir + QStringLiteral("Lectern.ini")); }

    static TBookmarkButtons *Marks(TLecternForm &form) { return form.BookGroupBox->Form.BookmarkButtons; }
    static Ui::BookshelfGroupBox &Shelf(TLecternForm &form)
    {
        return form.ProgramOpenTabSheet->Form.BookshelfGroupBox->Form;
    }
    static void RightClick(TLecternForm &form, int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mousePress(Marks(form)->Button(k), Qt::RightButton, modifiers);
        QTest::mouseRelease(Marks(form)->Button(k), Qt::RightButton, modifiers);
    }
    static void LeftClick(TLecternForm &form, int k) { QTest::mouseClick(Marks(form)->Button(k), Qt::LeftButton); }
    static int Top(TLecternForm &form) { return GetFirstVisibleLine(form.RichEdit); }
    // The reader goes to a line: the window sees a key of the reader's.
    static void ReadTo(TLecternForm &form, int line)
    {
        SetTopLine(form.RichEdit, line);
        QTest::keyClick(form.RichEdit, Qt::Key_Shift);
    }
    // Puts the open book on the shelf, as "&Put" does.
    static void Put(TLecternForm &form) { QTest::mouseClick(Shelf(form).PutBookshelfButton, Qt::LeftButton); }

    // Picks the menu item of `book` in the bookshelf's menu now shown.
    static bool PickFromShelfMenu(TLecternForm &form, const QString &book)
    {
        for (QMenu *menu : form.findChildren<QMenu *>(QStringLiteral("BookshelfMenu"))) {
            if (!menu->isVisible())
                continue;
            for (QAction *action : menu->actions()) {
                if (action->text() == book) {
                    menu->hide();
                    action->trigger();
                    QCoreApplication::processEvents(); // the pick runs after the menu
                    return true;
                }
            }
        }
        return false;
    }

    QTemporaryDir Dir;
    QString SettingsDir;
    QString BooksDir;
    TScopedRecordingDialogs Dialogs;
    TReportRecorder Reports;
};
