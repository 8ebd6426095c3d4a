#include "BookSearch.h"

#include <vector>

namespace {

bool IsBreak(QChar c)
{
    const char16_t u = c.unicode();
    return u == '\r' || u == '\n' || u == 0x2029 || u == 0x2028;
}

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

// The text with every line end (and the blanks around it) as one space and
// every line-end hyphen between letters dropped with its line end; `map`
// gives, for each character kept, where it was.
struct TSearchText {
    QString Text;
    std::vector<int> Map;

    TSearchText(QStringView text, int from, int to)
    {
        Text.reserve(to - from);
        Map.reserve(size_t(to - from));
        int i = from;
        while (i < to) {
            const QChar c = text.at(i);
            if (!IsBreak(c)) {
                Text.append(c);
                Map.push_back(i++);
                continue;
            }
            // The blanks before the line end go with it.
            while (!Text.isEmpty() && IsBlank(Text.back())) {
                Text.chop(1);
                Map.pop_back();
            }
            const int breakAt = i;
            while (i < to && (IsBreak(text.at(i)) || IsBlank(text.at(i))))
                ++i;
            const bool hyphen = Text.size() >= 2 && Text.back() == QLatin1Char('-') && Text.at(Text.size() - 2).isLetter()
                && i < to && text.at(i).isLower();
            if (hyphen) {
                Text.chop(1);
                Map.pop_back();
            } else {
                Text.append(QLatin1Char(' '));
                Map.push_back(breakAt);
            }
        }
    }

    TTextMatch Original(int start, int length) const
    {
        if (start < 0)
            return {};
        const int first = Map[size_t(start)];
        const int last = Map[size_t(start + length - 1)];
        return {first, last + 1 - first};
    }
};

QString Simplified(QStringView term) { return term.toString().simplified(); }

} // namespace

TTextMatch FindAcrossLines(QStringView text, QStringView term, int from, int to)
{
    if (to < 0 || to > text.size())
        to = int(text.size());
    from = std::max(0, from);
    const QString wanted = Simplified(term);
    if (wanted.isEmpty() || from >= to)
        return {};
    const TSearchText search(text, from, to);
    const int at = int(search.Text.indexOf(wanted, 0, Qt::CaseInsensitive));
    return search.Original(at, int(wanted.size()));
}

QVector<TTextMatch> FindAllAcrossLines(QStringView text, QStringView term, int limit, int *total)
{
    QVector<TTextMatch> matches;
    int count = 0;
    const QString wanted = Simplified(term);
    if (!wanted.isEmpty()) {
        const TSearchText search(text, 0, int(text.size()));
        for (qsizetype at = search.Text.indexOf(wanted, 0, Qt::CaseInsensitive); at >= 0;
             at = search.Text.indexOf(wanted, at + wanted.size(), Qt::CaseInsensitive)) {
            if (count++ < limit)
                matches.append(search.Original(int(at), int(wanted.size())));
        }
    }
    if (total)
        *total = count;
    return matches;
}

QString MatchContext(QStringView text, const TTextMatch &match, int around)
{
    if (!match.Found())
        return QString();
    int start = std::max(0, match.Start - around);
    int end = std::min(int(text.size()), match.Start + match.Length + around);
    // Whole words at both ends.
    while (start > 0 && start < match.Start && !text.at(start - 1).isSpace())
        ++start;
    while (end < text.size() && end > match.Start + match.Length && !text.at(end).isSpace())
        --end;
    QString context = text.mid(start, end - start).toString();
    for (QChar &c : context)
        if (IsBreak(c) || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
    context = context.simplified();
    if (start > 0)
        context.prepend(QStringLiteral("…"));
    if (end < text.size())
        context.append(QStringLiteral("…"));
    return context;
}
