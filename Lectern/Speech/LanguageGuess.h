// The language a book is written in, guessed from its text: the script of
// its letters, the letters only some languages use, and how often the most
// common words of each language come up.
#pragma once

#include <QLocale>
#include <QStringView>

class TRichDocument;

// QLocale::AnyLanguage when the text says too little (a few words, no
// common word of any language known here).
QLocale::Language GuessLanguage(QStringView text);

// Samples spread through the document, so a long book costs no more than a
// short one and a licence at its start or end does not outweigh it.
QString LanguageSample(const TRichDocument &document, int sampleCount = 8, int sampleLength = 2000);
