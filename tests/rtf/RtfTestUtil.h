// Small helpers shared by the RTF tests.
#pragma once

#include "Rtf.h"
#include "RtfSink.h"

#include <QRegularExpression>
#include <QString>

// Reads RTF into a recording sink (the reading is expected to succeed).
inline TRtfRecordingSink Record(const QByteArray &rtf)
{
    TRtfRecordingSink sink;
    QString error;
    ReadRtf(rtf, sink, &error);
    return sink;
}

inline QString TextOf(const QByteArray &rtf) { return Record(rtf).PlainText(); }

// The text events only, in order.
inline QVector<TRtfRecordingSink::TEvent> TextEvents(const TRtfRecordingSink &sink)
{
    QVector<TRtfRecordingSink::TEvent> result;
    for (const auto &event : sink.Events)
        if (event.Kind == TRtfRecordingSink::TKind::Text)
            result.append(event);
    return result;
}

// The format of the first text event containing `text`.
inline TRtfTextFormat FormatOf(const TRtfRecordingSink &sink, const QString &text)
{
    for (const auto &event : sink.Events)
        if (event.Kind == TRtfRecordingSink::TKind::Text && event.Text.contains(text))
            return event.Format;
    return TRtfTextFormat();
}

// Paragraph formats in order.
inline QVector<TParaFormat> Paragraphs(const TRtfRecordingSink &sink)
{
    QVector<TParaFormat> result;
    for (const auto &event : sink.Events)
        if (event.Kind == TRtfRecordingSink::TKind::Paragraph)
            result.append(event.Para);
    return result;
}

inline QString NormalizeSpace(QString text)
{
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return text.replace(space, QStringLiteral(" ")).trimmed();
}
