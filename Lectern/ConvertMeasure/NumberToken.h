// The number under the pointer: a run of digits with thousands marks and a
// decimal separator, taken from the display line around a character of the
// rich-box's text.
#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

class TRichDocument;

// "." when the locale writes 1.1 as "1.1", else ",".
QChar LocaleDecimalSeparator();

// The number token around offset p of a line: digits and the marks ". , ' `"
// between digits, walking back from p - 1 and forward from p. The marks that
// are not the decimal separator are dropped ("1'000" and "1,000" give "1000"
// with "." as separator). Empty when p is outside 1 .. line length or no
// digit is found. A minus sign never belongs to the token.
QString NumberAtLineOffset(QStringView line, int p, QChar decimalSeparator);

// The same around a character of the document (positions count CR LF): the
// display line of the laid-out paragraph holding it, or the whole paragraph
// while it has no layout. Only that paragraph is looked at.
QString NumberAtCharIndex(const TRichDocument &document, int index, QChar decimalSeparator);

// The value of a token in the locale's writing: its decimal separator is
// turned into "." before it is read, so "3,5" reads 3.5 where "," is the
// separator. False (recorded under "GetRealFromText") when it is no number.
bool NumberTokenValue(const QString &token, QChar decimalSeparator, double *value);
