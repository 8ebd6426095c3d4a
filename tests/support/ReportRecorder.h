// Records the error reports that operations show instead of opening the
// error dialog, for tests of operations that report their failures.
#pragma once

#include "FunStatContext.h"

#include <QStringList>

class TReportRecorder : public TErrorReportView {
public:
    TReportRecorder() : Previous(ErrorReportView()) { SetErrorReportView(this); }
    ~TReportRecorder() override { SetErrorReportView(Previous); }
    TReportRecorder(const TReportRecorder &) = delete;
    TReportRecorder &operator=(const TReportRecorder &) = delete;
    bool ShowReport(const QString &, const QString &message, bool *noErrors, const QString &reportText) override
    {
        Messages << message;
        Reports << reportText;
        if (noErrors)
            *noErrors = false;
        return true;
    }
    int RecursionCount() const override { return 0; }
    QStringList Messages;
    QStringList Reports;

private:
    TErrorReportView *Previous;
};
