// Small helpers shared by the engine tests.
#pragma once

#include "EnhancedRichEdit.h"

#include <QStringList>

// Lines written with "|" between them ("a|b||c" is a, b, empty, c).
inline QStringList L(const char *text) { return QString::fromUtf8(text).split(QLatin1Char('|')); }

// An engine with distinct emphasis colours, so quote runs show.
inline void SetTestBase(TEnhancedRichEdit &engine, int size = 16)
{
    engine.SetBaseFormat(false, false, 120, 5, 0, 3, 0x0000AA, 0x820000, 0x000000, 0, size,
                         QStringLiteral("Times New Roman"), false);
}

inline QStringList Enhance(TEnhancedRichEdit &engine, TRecordingParagraphSink &sink, const QStringList &lines,
                           bool ignoreEmptyLines = false, bool poorlyWritten = false,
                           const QString &prefix = QStringLiteral("None"))
{
    sink = TRecordingParagraphSink();
    engine.EnhanceText(lines, prefix, ignoreEmptyLines, poorlyWritten, sink);
    return sink.Texts();
}

inline QStringList Enhance(const QStringList &lines, bool ignoreEmptyLines = false, bool poorlyWritten = false,
                           const QString &prefix = QStringLiteral("None"))
{
    TEnhancedRichEdit engine;
    TRecordingParagraphSink sink;
    return Enhance(engine, sink, lines, ignoreEmptyLines, poorlyWritten, prefix);
}
