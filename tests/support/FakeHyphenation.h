// Break opportunities without any language's patterns, for tests of what a
// document does with its soft hyphens: after every third letter of a word
// of six letters or more, none in its last two.
#pragma once

#include <QStringView>
#include <QVector>

inline void EveryThirdLetter(QStringView text, QVector<int> &breaks)
{
    for (int i = 0; i < text.size();) {
        while (i < text.size() && !text.at(i).isLetter())
            ++i;
        const int start = i;
        while (i < text.size() && text.at(i).isLetter())
            ++i;
        if (i - start < 6)
            continue;
        for (int b = start + 3; b <= i - 3; b += 3)
            breaks.append(b);
    }
}
