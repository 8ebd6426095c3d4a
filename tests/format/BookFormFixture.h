// A shown main window with a book enhanced into its rich-box, the way a
// plain-text load leaves it, for the format and navigation tests.
#pragma once

#include <QScrollBar>
#include <QStringList>
#include <QtTest>

#include "BookConverter.h"
#include "ConvertOptions.h"
#include "Dialogs.h"
#include "EnhancedRichEdit.h"
#include "LecternForm.h"
#include "RichBox.h"
#include "RichEditOps.h"

struct TBookFormFixture {
    TBookFormFixture()
    {
        TLecternForm::FirstActivation = false; // no start-up loading
        Form.IsApplicationActive = [] { return true; };
        Form.SidebarSuppress = false; // the first request after start-up counts here
        Form.resize(1000, 800);
        Form.show();
        Form.RichEdit->show();
        Exposed = QTest::qWaitForWindowExposed(&Form);
    }

    void Load(const QStringList &lines)
    {
        ApplyBookFormat(*Form.Engine, Form.CurrentFormatOptions());
        Form.Engine->EnhanceText(lines, QStringLiteral("None"), false, true);
        Form.SetRichEditModified(false);
        Form.RichEdit->LineCountExact();
        SetTopLine(Form.RichEdit, 0);
    }

    // `count` paragraphs of a few display lines each.
    static QStringList Paragraphs(int count)
    {
        QStringList lines;
        for (int i = 0; i < count; ++i) {
            lines << QStringLiteral("Paragraph %1 tells how the river ran past the mill and the miller counted the "
                                    "sacks of flour, one by one, until the evening bell rang over the valley.")
                         .arg(i);
            lines << QString();
        }
        return lines;
    }

    int Top() { return GetFirstVisibleLine(Form.RichEdit); }
    bool AtEnd() const
    {
        QScrollBar *bar = Form.RichEdit->verticalScrollBar();
        return bar->maximum() > 0 && bar->value() == bar->maximum();
    }

    TScopedRecordingDialogs Dialogs;
    TLecternForm Form;
    bool Exposed = false;
};
