// Records the error reports that operations show, for the book-file tests.
#pragma once

#include "FunStatContext.h"

#include <QStringList>

class TReportRecorder : public TErrorReportView {
public:
    TReportRecorder() { SetErrorReportView(this); }
    ~TReportRecorder() override { SetErrorReportView(nullptr); }
    bool ShowReport(const QString &, const QString &message, bool *, const QString &reportText) override
    {
        Messages << message;
        Reports << reportText;
        return true;
    }
    int RecursionCount() const override { return 0; }
    QStringList Messages;
    QStringList Reports;
};
