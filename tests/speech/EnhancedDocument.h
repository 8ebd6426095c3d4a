// Rich documents for the reading-aloud tests: lines enhanced the way a
// plain-text load leaves them.
#pragma once

#include <QStringList>

#include "BookConverter.h"
#include "ConvertOptions.h"
#include "EnhancedRichEdit.h"
#include "RichDocument.h"

inline void Enhance(TRichDocument &document, const QStringList &lines, const QString &prefix = QStringLiteral("None"))
{
    TEnhancedRichEdit engine;
    engine.RichBox = &document;
    TBookFormatOptions format;
    format.ParagraphPrefix = prefix;
    ApplyBookFormat(engine, format);
    engine.EnhanceText(lines, prefix, false, false);
}
