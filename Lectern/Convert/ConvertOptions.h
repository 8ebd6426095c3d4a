// The command line of lectern-convert and the reading options it carries.
#pragma once

#include "RichDocument.h"

#include <QString>
#include <QStringList>

// The options a plain-text book is enhanced with: the defaults of the
// default profile.
struct TBookFormatOptions {
    bool DetectTextLayout = true; // PoorlyWritten is decided from the lines
    bool CheckHyphens = true;
    bool SmartChapters = true;
    bool WholeBookPieces = true; // pieces show whole lines and take the whole book's decisions
    bool MarkupEmphasis = true; // _italic_ and *bold* shown so, without the markers
    // Soft hyphens in the document, in the chosen language (a choice of
    // HyphenationLanguageChoices()).
    bool Hyphenate = true;
    QString HyphenationLanguage = QStringLiteral("Book's language");
    bool PoorlyWritten = true;
    bool IgnoreEmptyLines = false;
    QString ParagraphPrefix = QStringLiteral("None");
    QString FontName = QStringLiteral("Times New Roman");
    int FontSize = 16;
    bool BoldFont = false;
    int CharSpacing = 0;
    bool JustifiedText = true;
    int LineSpacing = 120;
    int FirstLineIndent = 0;
    int SpaceAfter = 5;
    TColor RichBoxForeColor = 0x000000;
    TColor EmphaColor = 0x820000;
    TColor SecondEmphaColor = 0x5A00B4;
};

struct TConvertOptions {
    QString Book;
    QString Out;
    TBookFormatOptions Format;
    bool InPieces = false; // --piece or --piece-size given
    int Piece = 1;
    int PieceSize = 50000;
    QString Encoding = QStringLiteral("Automatic"); // one of EncodingChoices()
    bool PrintChapters = false; // the chapters menu to standard output; OUT may be left out
    bool SpeakSentences = false; // print the sentences read aloud instead of writing OUT
};

// Reads the arguments (without the program name). False with a message in
// `error` for anything it does not understand.
bool ParseConvertArguments(const QStringList &arguments, TConvertOptions &options, QString &error);
QString ConvertUsageText();
