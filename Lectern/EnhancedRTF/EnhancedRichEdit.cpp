#include "EnhancedRichEdit.h"

#include "ChapterHeadings.h"
#include "EmphasisMarkup.h"
#include "FunStatContext.h"
#include "LineRules.h"
#include "QuoteEmphasis.h"
#include "TextLayout.h"

#include <QLatin1String>

using namespace LineRules;

namespace {

constexpr int Twips(double value)
{
    return static_cast<int>(value); // truncation toward zero
}

} // namespace

TEnhancedRichEdit::TEnhancedRichEdit()
{
    SetBaseFormat(false, false, 120, 5, 0, 0, 0, 0, 0, 0, 16, QStringLiteral("Times New Roman"), false);
}

TEnhancedRichEdit::~TEnhancedRichEdit() = default;

void TEnhancedRichEdit::DestroyChaptersMenu() { Menu.reset(); }

void TEnhancedRichEdit::SetBaseFormat(bool underline, bool italic, int lineSpacing, int spaceAfter, int firstLineIndent,
                                      int alignment, TColor secondEmphasisColor, TColor emphasisColor, TColor foreColor,
                                      int charSpacing, int size, const QString &fontName, bool bold)
{
    const int32_t base[AttributeCount] = {
        underline ? 1 : 0,
        italic ? 1 : 0,
        bold ? 1 : 0,
        0, // font name: kept in FontNames
        size,
        charSpacing,
        static_cast<int32_t>(ColorNone),
        static_cast<int32_t>(foreColor),
        static_cast<int32_t>(emphasisColor),
        static_cast<int32_t>(secondEmphasisColor),
        alignment,
        0, // left indent
        0, // right indent
        firstLineIndent,
        spaceAfter,
        lineSpacing,
    };
    const QString name = fontName.isEmpty() ? QStringLiteral("Times New Roman") : fontName;
    for (int a = 0; a < AttributeCount; ++a) {
        for (int level = 0; level < StackLevels; ++level) {
            Values[a][level] = base[a];
            Modes[a][level] = 0;
        }
        Levels[a] = 0;
    }
    for (QString &level : FontNames)
        level = name;
}

TCharFormat TEnhancedRichEdit::MakeCharFormat(bool wholeText, uint32_t mask) const
{
    TCharFormat record;
    if (wholeText)
        mask = CFM_ALL_TEXT;
    if (!ExtendedRecords())
        mask &= ~(CFM_SPACING | CFM_BACKCOLOR); // the basic record has neither
    record.Mask = mask;
    if (mask == 0)
        return record;
    // The heading flag underlines the heading paragraph only; a whole-text
    // format never takes it over from the last emitted paragraph.
    if (Current(atUnderline) || (Heading && !wholeText))
        record.Effects |= CFE_UNDERLINE;
    if (Current(atItalic))
        record.Effects |= CFE_ITALIC;
    if (Current(atBold))
        record.Effects |= CFE_BOLD;
    record.FaceName = CurrentFontName().left(31);
    record.HeightTwips = Current(atSize) * 20;
    if (ExtendedRecords()) {
        record.SpacingTwips = Twips(Current(atCharSpacing) * 5.76);
        record.BackColor = static_cast<TColor>(Current(atBackColor));
    }
    record.TextColor = static_cast<TColor>(Current(atForeColor));
    return record;
}

TParaFormat TEnhancedRichEdit::MakeParaFormat(bool wholeText, uint32_t mask) const
{
    TParaFormat record;
    if (wholeText)
        mask = PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_ALIGNMENT | PFM_SPACEAFTER | PFM_LINESPACING;
    if (!ExtendedRecords())
        mask &= PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_ALIGNMENT;
    if (mask == 0)
        return record;
    switch (Current(atAlignment)) {
    case 3: record.Alignment = PFA_JUSTIFY; break;
    case 2: record.Alignment = PFA_CENTER; break;
    case 1: record.Alignment = PFA_RIGHT; break;
    default: record.Alignment = PFA_LEFT; break;
    }
    const int firstLine = Current(atFirstLineIndent);
    const int left = Current(atLeftIndent);
    record.Offset = Twips(-firstLine * 57.6);
    record.StartIndent = Twips((firstLine + left) * 57.6);
    record.RightIndent = Twips(Current(atRightIndent) * 57.6);
    if (ExtendedRecords()) {
        record.SpaceAfter = Twips(Current(atSpaceAfter) * 57.6);
        record.LineSpacing = Current(atLineSpacing) / 5;
        record.LineSpacingRule = 5;
        if (wholeText) {
            record.TabStops.reserve(32);
            for (int i = 0; i < 32; ++i)
                record.TabStops.append(Twips(record.StartIndent + i * 57.6 * 15));
            mask |= PFM_TABSTOPS;
        }
    }
    record.Mask = mask;
    return record;
}

void TEnhancedRichEdit::ApplyCharFormat(bool wholeText, uint32_t mask)
{
    const TCharFormat record = MakeCharFormat(wholeText, mask);
    if (record.Mask == 0)
        return;
    if (wholeText && ActiveSink)
        ActiveSink->WholeTextFormat(&record, nullptr);
    else if (RichBox)
        RichBox->SetCharFormat(record, wholeText);
}

void TEnhancedRichEdit::ApplyParaFormat(bool wholeText, uint32_t mask)
{
    const TParaFormat record = MakeParaFormat(wholeText, mask);
    if (record.Mask == 0)
        return;
    if (wholeText && ActiveSink)
        ActiveSink->WholeTextFormat(nullptr, &record);
    else if (RichBox)
        RichBox->SetParaFormat(record, wholeText);
}

QString TEnhancedRichEdit::TranslatePrefix(const QString &prefixOption)
{
    if (prefixOption == QLatin1String("None"))
        return QString();
    if (prefixOption == QLatin1String("Tab"))
        return QStringLiteral("\t");
    if (prefixOption == QLatin1String("Blanks"))
        return QStringLiteral("  ");
    return prefixOption;
}

bool TEnhancedRichEdit::JoinLine(QString &paragraph, QStringView line)
{
    if (paragraph.isEmpty()) {
        paragraph.append(line);
        return false;
    }
    if (line.isEmpty())
        return false;
    const qsizetype n = paragraph.size();
    if (n >= 2 && paragraph.at(n - 1) == QLatin1Char('-') && IsLowerLetter(paragraph.at(n - 2).unicode())
        && IsLowerLetter(line.at(0).unicode())) {
        // A word broken at the line end.
        paragraph.chop(1);
        paragraph.append(line);
        return true;
    }
    paragraph.append(QLatin1Char(' '));
    paragraph.append(line);
    return false;
}

void TEnhancedRichEdit::Join(QString &paragraph, QStringView line)
{
    if (Wrap.UsesWidth()) {
        if (paragraph.isEmpty())
            Quotes.Clear();
        Quotes.Add(line);
    }
    if (Choices.CheckHyphens && !line.isEmpty() && paragraph.size() >= 2 && paragraph.back() == QLatin1Char('-')
        && IsLowerLetter(paragraph.at(paragraph.size() - 2).unicode()) && IsLowerLetter(line.front().unicode())
        && (SharedHyphenWords ? *SharedHyphenWords : HyphenWords).KeepsHyphen(paragraph, line)) {
        paragraph.append(line); // a compound the book writes with its hyphen
        ++HyphensKept;
        return;
    }
    if (JoinLine(paragraph, line))
        ++HyphensDropped;
}

bool TEnhancedRichEdit::IsHeadingText(QStringView text) const
{
    return Choices.SmartChapters ? ChapterHeadings::IsHeading(text) : IsChapterHeading(text);
}

bool TEnhancedRichEdit::IsIndentedLine(QStringView rawLine)
{
    if (rawLine.isEmpty())
        return false;
    if (rawLine.at(0) == QLatin1Char('\t'))
        return true;
    return rawLine.size() >= 2 && rawLine.at(0) == QLatin1Char(' ')
        && (rawLine.at(1) == QLatin1Char(' ') || rawLine.at(1) == QLatin1Char('\t'));
}

bool TEnhancedRichEdit::IsChapterHeading(QStringView text)
{
    if (text.isEmpty())
        return false;
    const char16_t first = text.at(0).unicode();
    if (first == '#' || first == SectionSign)
        return true;
    QLatin1String word;
    switch (first) {
    case 'C': word = QLatin1String("Chapter "); break;
    case 'P': word = QLatin1String("Part "); break;
    case 'S': word = QLatin1String("Section "); break;
    case 'B': word = QLatin1String("Book "); break;
    default: return false;
    }
    return text.size() >= word.size() && text.left(word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

bool TEnhancedRichEdit::IsSeparatorLine(QStringView text)
{
    const qsizetype n = text.size();
    if (n == 0)
        return false;
    const char16_t first = text.at(0).unicode();
    if (first != '*' && first != MiddleDot && first != '-' && first != '=')
        return false;
    if (n == 1)
        return true;
    if (text.at(1).unicode() != first)
        return false;
    return n == 2 || text.at(2).unicode() == first;
}

bool TEnhancedRichEdit::Quote(char16_t c) const
{
    return Choices.DetectTextLayout ? IsAnyQuotation(c) : IsQuotation(c);
}

bool TEnhancedRichEdit::SentenceEnd(char16_t c) const
{
    return Choices.DetectTextLayout ? IsAnySentenceEnd(c) : IsSentenceEnd(c);
}

// The paragraph end that the shape of the lines tells, in a stretch read
// by its wrap width or as verse; a stretch read by the rules leaves it to
// them.
bool TEnhancedRichEdit::WrapEndsParagraph(QStringView paragraph, char16_t start, bool indented) const
{
    if (!WalkedLines || BoundaryLine < 0 || BoundaryLine + 1 >= WalkedLines->size())
        return false;
    switch (Wrap.Reading(BoundaryLine)) {
    case TWrapLayout::ByWidth:
        return Wrap.EndsParagraph(BoundaryLine, WalkedLines->at(BoundaryLine), WalkedLines->at(BoundaryLine + 1),
                                  Quotes.Speech(paragraph));
    case TWrapLayout::ByVerseLines:
    case TWrapLayout::BySpeakers: {
        // A stage direction in brackets stands alone.
        const QStringView line = Trimmed(WalkedLines->at(BoundaryLine));
        if (start == '[' || (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))))
            return true;
        if (Wrap.Reading(BoundaryLine) == TWrapLayout::BySpeakers)
            return WrapRules::IsSpeakerName(Trimmed(WalkedLines->at(BoundaryLine + 1)));
        return !indented && (QChar(start).isUpper() || Quote(start));
    }
    default: return false;
    }
}

bool TEnhancedRichEdit::ContinuesParagraph(QStringView paragraph, QStringView next, bool indented)
{
    Skip = IgnoreEmptyLines && !paragraph.isEmpty() && next.isEmpty();
    if (paragraph.isEmpty() || next.isEmpty())
        return false;
    const char16_t first = paragraph.front().unicode();
    const char16_t last = paragraph.back().unicode();
    const char16_t start = next.front().unicode();
    const bool byRules = !WalkedLines || Wrap.Reading(BoundaryLine) == TWrapLayout::ByRules;
    if ((indented || (PoorlyWritten && byRules)) && (IsUpperLetter(start) || Quote(start)) && SentenceEnd(last))
        return false;
    if (!byRules && WrapEndsParagraph(paragraph, start, indented))
        return false;
    // A dash at the start of a line read by the width breaks off a sentence
    // the line before left unfinished, not a paragraph.
    if (!byRules && Wrap.Reading(BoundaryLine) == TWrapLayout::ByWidth && !SentenceEnd(last) && last != ':'
        && WrapRules::IsDashedGoOn(next) && !IsSeparatorLine(next))
        return true;
    if (start == '*' || start == '-' || start == '=' || start == MiddleDot)
        return false;
    if (first == '^' || start == '^')
        return false;
    if (first == '#' || first == SectionSign || start == '#' || start == SectionSign)
        return false;
    if (IsHeadingText(paragraph) || IsHeadingText(next))
        return false;
    if (IsSeparatorLine(paragraph) || IsSeparatorLine(next))
        return false;
    if (last == ':' && IsUpperLetter(start) && !(WalkedLines && Wrap.IsVerse(BoundaryLine)))
        return false;
    return true;
}

void TEnhancedRichEdit::EnhanceText(const QStringList &lines, const QString &prefixOption, bool ignoreEmptyLines,
                                    bool poorlyWritten)
{
    TRichDocumentSink sink(RichBox);
    EnhanceText(lines, prefixOption, ignoreEmptyLines, poorlyWritten, sink);
}

void TEnhancedRichEdit::EnhanceText(const QStringList &lines, const QString &prefixOption, bool ignoreEmptyLines,
                                    bool poorlyWritten, TParagraphSink &sink)
{
    StartRun(lines, prefixOption, ignoreEmptyLines, poorlyWritten, sink);
    EnhanceSome({});
    EndEnhance();
}

void TEnhancedRichEdit::BeginEnhance(const QStringList &lines, const QString &prefixOption, bool ignoreEmptyLines,
                                     bool poorlyWritten)
{
    OwnSink = std::make_unique<TRichDocumentSink>(RichBox);
    StartRun(lines, prefixOption, ignoreEmptyLines, poorlyWritten, *OwnSink);
}

void TEnhancedRichEdit::StartRun(const QStringList &lines, const QString &prefixOption, bool ignoreEmptyLines,
                                 bool poorlyWritten, TParagraphSink &sink)
{
    FUN_BEGIN("TEnhancedRichEdit::EnhanceText");
    Cancelled = false;
    CommandsUsed = false;
    ChapterCount = 0;
    CommandMode = QChar();
    CommandName.clear();
    CommandValue.clear();
    ActiveSink = &sink;
    RunStatus.Reset(Perfect);
    WalkedLines = &lines;
    WalkAt = 0;
    WalkParagraph.resize(0);
    WalkParagraph.reserve(4096);
    Skip = false;
    try {
        ParagraphPrefix = TranslatePrefix(prefixOption);
        PoorlyWritten = poorlyWritten;
        IgnoreEmptyLines = ignoreEmptyLines;
        LayoutDetected = Choices.DetectTextLayout;
        if (LayoutDetected)
            PoorlyWritten = SharedPoorlyWritten ? *SharedPoorlyWritten : CountTextLayout(lines).IsPoorlyWritten();
        Wrap.Clear();
        if (LayoutDetected && !Choices.NoWrapReading)
            Wrap.Build(lines, PoorlyWritten);
        WrapWidth = Wrap.DominantWidth();
        HyphensDropped = 0;
        HyphensKept = 0;
        HyphenWords.Clear();
        if (Choices.CheckHyphens && !SharedHyphenWords)
            HyphenWords.Build(lines);
        LinePositions.clear();
        NotedLines.clear();
        if (RecordLinePositions)
            LinePositions.assign(size_t(lines.size()), -1);
        Chapters.Clear();
        Menu.reset();
        if (MenuFactory)
            Menu = MenuFactory(MenuOwner);
        if (!Menu)
            Menu = std::make_unique<TChaptersMenu>(MenuOwner);
        Menu->OnItemClick = [this](int position) {
            if (ItemClick)
                ItemClick(position);
        };
        Position = 0;
        sink.BeginRun();
    }
    FUN_CATCH
    if (FUN_FAILED())
        RunStatus.Assign(Fsc_);
    FUN_END;
}

bool TEnhancedRichEdit::EnhanceSome(const std::function<bool()> &enough)
{
    if (!ActiveSink || !WalkedLines)
        return true;
    if (RunStatus.Status > Warning)
        return true; // the run broke: only its end steps are left
    FUN_BEGIN("TEnhancedRichEdit::EnhanceText");
    bool done = true;
    try {
        done = WalkLines(enough);
    }
    FUN_CATCH
    if (FUN_FAILED()) {
        RunStatus.Assign(Fsc_);
        done = true;
    }
    FUN_END;
    return done;
}

void TEnhancedRichEdit::ShowSoFar()
{
    if (ActiveSink)
        ActiveSink->Show();
}

void TEnhancedRichEdit::EndEnhance()
{
    if (!ActiveSink)
        return;
    FUN_BEGIN("TEnhancedRichEdit::EnhanceText");
    if (RunStatus.Status > Warning)
        Fsc_.Assign(RunStatus);
    TParagraphSink &sink = *ActiveSink;
    WalkedLines = nullptr;
    BoundaryLine = -1;
    // Lines that added no text take the position of what follows them.
    int following = Position;
    for (auto it = LinePositions.rbegin(); it != LinePositions.rend(); ++it) {
        if (*it < 0)
            *it = following;
        else
            following = *it;
    }
    // The end steps run in every case: the paragraphs so far stay (unless
    // the run was stopped), the caret goes to the start.
    try {
        sink.EndRun(Cancelled);
    }
    FUN_CATCH
    if (Choices.SmartChapters && !SharedChapters) {
        try {
            FillSmartChaptersMenu();
        }
        FUN_CATCH
    }
    if (Menu && Menu->Count() == 0)
        Menu.reset();
    Heading = false; // no paragraph is being emitted any more
    ActiveSink = nullptr;
    OwnSink.reset();
    WalkParagraph = QString();
    RunStatus.Reset(Perfect);
    FUN_END;
}

// Walks on from WalkAt until the lines are done, the run is stopped or
// `enough` (asked after each paragraph) says so; true when the walk is over.
bool TEnhancedRichEdit::WalkLines(const std::function<bool()> &enough)
{
    const QStringList &lines = *WalkedLines;
    const int count = lines.size();
    QString &paragraph = WalkParagraph;
    int &f = WalkAt;
    while (f < count && !Cancelled) {
        if (enough && paragraph.isEmpty() && enough())
            return false;
        // The accumulator is built from trimmed pieces, so it only needs
        // trimming when a caller handed in something else.
        if (!paragraph.isEmpty() && (IsBlank(paragraph.front().unicode()) || IsBlank(paragraph.back().unicode())))
            paragraph = Trimmed(paragraph).toString();
        NoteLine(f, paragraph);
        Join(paragraph, Trimmed(lines.at(f)));

        QStringView next;
        bool indented = false;
        if (f + 1 < count) {
            indented = IsIndentedLine(lines.at(f + 1));
            next = Trimmed(lines.at(f + 1));
        }
        BoundaryLine = f;
        if (ContinuesParagraph(paragraph, next, indented)) {
            NoteLine(f + 1, paragraph);
            Join(paragraph, next);
            next = QStringView();
            indented = false;
            if (f + 2 < count) {
                indented = IsIndentedLine(lines.at(f + 2));
                next = Trimmed(lines.at(f + 2));
            }
            BoundaryLine = f + 1;
            if (ContinuesParagraph(paragraph, next, indented)) {
                f += 2; // the next pass joins line f + 2
                continue;
            }
            EmitParagraph(paragraph);
            paragraph.resize(0);
            f += Skip ? 3 : 2;
        } else {
            EmitParagraph(paragraph);
            paragraph.resize(0);
            f += Skip ? 2 : 1;
        }
    }
    return true;
}

void TEnhancedRichEdit::NoteLine(int line, const QString &paragraph)
{
    if (RecordLinePositions)
        NotedLines.emplace_back(line, paragraph.isEmpty() ? 0 : int(paragraph.size()) + 1);
}

// The noted lines now that their paragraph has its place: `length` is what
// it put into the rich-box, `prefixLength` of it before the book's text.
void TEnhancedRichEdit::PlaceNotedLines(int start, int prefixLength, int length)
{
    for (const auto &[line, offset] : NotedLines) {
        if (line < 0 || size_t(line) >= LinePositions.size())
            continue;
        // Emphasis markers before the line's start take no place.
        const int at = prefixLength + offset;
        const int taken = int(std::lower_bound(MarkersTaken.begin(), MarkersTaken.end(), at) - MarkersTaken.begin());
        LinePositions[size_t(line)] = start + std::min(at - taken, length);
    }
    NotedLines.clear();
}

void TEnhancedRichEdit::EmitParagraph(const QString &paragraph)
{
    if (paragraph.isEmpty()) {
        PlaceNotedLines(Position, 0, 0);
        RunBuffer.resize(0);
        ActiveSink->Paragraph(QString(), nullptr, nullptr, RunBuffer);
        Position += 2;
        return;
    }
    if (paragraph.front() == QLatin1Char('^')) {
        NotedLines.clear(); // a command puts no text: its lines take what follows
        ExecuteCommandLine(paragraph);
        return;
    }
    const int start = Position;
    OutText.resize(0);
    if (Choices.SmartChapters) {
        // Every heading counts; the menu is made once the whole book is known.
        const THeadingInfo heading = ChapterHeadings::Parse(paragraph);
        Heading = heading.Level > 0;
        if (!Heading)
            OutText.append(ParagraphPrefix);
        OutText.append(paragraph);
        TChapterCollector &chapters = SharedChapters ? *SharedChapters : Chapters;
        if (Heading)
            chapters.AddHeading(start + (SharedChapters ? SharedChaptersBase : 0), paragraph, heading.Level,
                                heading.HasTitle);
        else
            chapters.AddText(paragraph);
    } else if (ChapterCount < MaxChapters && IsChapterHeading(paragraph)) {
        OutText.append(paragraph);
        if (Menu)
            Menu->AddItem(paragraph.size() > 50 ? paragraph.left(50) : paragraph, start, HelpContext);
        ++ChapterCount;
        Heading = true;
    } else {
        OutText.append(ParagraphPrefix);
        OutText.append(paragraph);
        Heading = false;
    }
    const int prefixLength = int(OutText.size() - paragraph.size());
    RunBuffer.resize(0);
    TakeEmphasisMarkup();
    const int length = OutText.size();
    if (RecordLinePositions)
        PlaceNotedLines(start, prefixLength, length);

    // Formats only for a paragraph that differs from the base.
    uint32_t charMask = 0;
    if (CurrentFontName().compare(BaseFontName(), Qt::CaseInsensitive) != 0)
        charMask |= CFM_FACE;
    if (Current(atUnderline) != Base(atUnderline) || Heading)
        charMask |= CFM_UNDERLINE;
    if (Current(atItalic) != Base(atItalic))
        charMask |= CFM_ITALIC;
    if (Current(atBold) != Base(atBold))
        charMask |= CFM_BOLD;
    if (Current(atSize) != Base(atSize))
        charMask |= CFM_SIZE;
    if (Current(atCharSpacing) != Base(atCharSpacing))
        charMask |= CFM_SPACING;
    if (Current(atBackColor) != Base(atBackColor) && static_cast<TColor>(Current(atBackColor)) != ColorNone)
        charMask |= CFM_BACKCOLOR;
    if (Current(atForeColor) != Base(atForeColor))
        charMask |= CFM_COLOR;
    uint32_t paraMask = 0;
    if (Current(atLeftIndent) != Base(atLeftIndent) || Current(atFirstLineIndent) != Base(atFirstLineIndent))
        paraMask |= PFM_STARTINDENT | PFM_OFFSET;
    if (Current(atAlignment) != Base(atAlignment))
        paraMask |= PFM_ALIGNMENT;
    if (Current(atRightIndent) != Base(atRightIndent))
        paraMask |= PFM_RIGHTINDENT;
    if (Current(atSpaceAfter) != Base(atSpaceAfter))
        paraMask |= PFM_SPACEAFTER;
    if (Current(atLineSpacing) != Base(atLineSpacing))
        paraMask |= PFM_LINESPACING;

    const TCharFormat *charFormat = nullptr;
    const TParaFormat *paraFormat = nullptr;
    if (charMask != 0) {
        CharRecord = MakeCharFormat(false, charMask);
        if (CharRecord.Mask != 0)
            charFormat = &CharRecord;
    }
    if (paraMask != 0) {
        ParaRecord = MakeParaFormat(false, paraMask);
        if (ParaRecord.Mask != 0)
            paraFormat = &ParaRecord;
    }
    AddQuoteRuns(OutText);
    ActiveSink->Paragraph(OutText, charFormat, paraFormat, RunBuffer);

    if (!CommandName.isEmpty())
        EndOneParagraphLevels();
    Cancelled = Progress ? Progress(start) : false;
    CommandMode = QChar();
    CommandName.clear();
    CommandValue.clear();
    Position += length + 2;
}

void TEnhancedRichEdit::FillSmartChaptersMenu()
{
    if (!Menu || Cancelled) {
        Chapters.Clear();
        return;
    }
    Chapters.MarkContents();
    Chapters.FillMenu(*Menu, HelpContext);
    ChapterCount = Menu->Count();
    Chapters.Clear();
}

// The paragraph's _italic_ and *bold* spans as runs, their markers taken
// out of the text.
void TEnhancedRichEdit::TakeEmphasisMarkup()
{
    MarkersTaken.resize(0);
    if (!Choices.MarkupEmphasis || !EmphasisMarkup::HasMarkers(OutText))
        return;
    QVector<EmphasisMarkup::TSpan> spans;
    const QString shown = EmphasisMarkup::TakeMarkers(OutText, spans, &MarkersTaken);
    if (spans.isEmpty())
        return;
    OutText = shown;
    TFormatRun run;
    for (const EmphasisMarkup::TSpan &span : std::as_const(spans)) {
        run.Start = span.Start;
        run.Length = span.Length;
        run.Format.Mask = span.Bold ? CFM_BOLD : CFM_ITALIC;
        run.Format.Effects = span.Bold ? CFE_BOLD : CFE_ITALIC;
        RunBuffer.append(run);
    }
}

void TEnhancedRichEdit::AddQuoteRuns(QStringView text)
{
    const TColor emphasis = static_cast<TColor>(Current(atEmphasisColor));
    const TColor second = static_cast<TColor>(Current(atSecondEmphasisColor));
    const bool doublePass = emphasis != static_cast<TColor>(Base(atForeColor));
    const bool singlePass = second != emphasis;
    if (!doublePass && !singlePass)
        return;
    if (!QuoteEmphasis::HasQuotes(text))
        return;
    QVector<QuoteEmphasis::TRange> ranges;
    TFormatRun run;
    run.Format.Mask = CFM_COLOR;
    if (doublePass) {
        QuoteEmphasis::FindDoubleQuoted(text, false, ranges);
        run.Format.TextColor = emphasis;
        for (const QuoteEmphasis::TRange &range : ranges) {
            run.Start = range.Start;
            run.Length = range.Length;
            RunBuffer.append(run);
        }
    }
    if (singlePass) {
        ranges.resize(0);
        QuoteEmphasis::FindSingleQuoted(text, false, ranges);
        run.Format.TextColor = second;
        for (const QuoteEmphasis::TRange &range : ranges) {
            run.Start = range.Start;
            run.Length = range.Length;
            RunBuffer.append(run);
        }
    }
}

QStringList RebuildParagraphs(const QStringList &lines)
{
    TEnhancedRichEdit engine;
    TRecordingParagraphSink sink;
    engine.EnhanceText(lines, QStringLiteral("None"), false, false, sink);
    return sink.Texts();
}
