// Telling a text book from other files by a sample of their bytes: UTF-16
// without a byte order mark, and files that are no text at all (pictures,
// archives, programs, random bytes) whatever their name.
#pragma once

#include "BookText.h"

// UTF-16 recognised by its byte pattern in a file without a byte order
// mark: in one byte order the sample has the NUL high bytes of ASCII
// characters (line ends, spaces, digits, Latin letters) and hardly anything
// a text never holds (control characters, lone surrogates, unassigned or
// private-use characters); undecided otherwise. Each chunk's Offset in the
// file tells where its characters start.
TBookEncoding Utf16FromPattern(const TEncodingSample &sample);

// The file starts like a known binary format (PNG, JPEG, GIF, PDF, ZIP and
// so EPUB and DOCX, gzip, ELF, ...).
bool HasBinarySignature(const QByteArray &fileStart);

// Whether the sample looks like a text book: no binary signature at its
// start and, read in the encoding DetectBookEncoding gives it, hardly any
// NUL bytes (UTF-16 aside), control characters other than TAB, LF, VT, FF,
// CR, SUB and ESC, or bytes its code page does not define. An empty sample
// looks like text.
bool LooksLikeTextBook(const TEncodingSample &sample);
