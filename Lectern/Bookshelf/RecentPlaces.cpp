#include "RecentPlaces.h"

#include <limits>

#include "Program.h"
#include "StoredTextList.h"

namespace {

const QString PlacesSection = QStringLiteral("Lectern_Places");
constexpr int MaxInt = std::numeric_limits<int>::max();

QString PieceKey(int n) { return QString::number(n) + QStringLiteral("_Piece"); }
QString PositionKey(int n) { return QString::number(n) + QStringLiteral("_CaretPos"); }

} // namespace

int TRecentPlaces::IndexOf(const QString &book) const
{
    for (int i = Count() - 1; i >= 0; --i)
        if (Places[size_t(i)].Book == book)
            return i;
    return -1;
}

void TRecentPlaces::Record(const QString &book, int piece, int position)
{
    if (book.isEmpty() || position < 0)
        return;
    Forget(book);
    if (Count() >= MaxPlaces)
        Places.erase(Places.begin(), Places.begin() + (Count() - MaxPlaces + 1));
    Places.push_back({book, std::max(1, piece), position});
}

bool TRecentPlaces::Find(const QString &book, TBookPlace &place) const
{
    const int index = IndexOf(book);
    if (index < 0)
        return false;
    place = Places[size_t(index)];
    return true;
}

void TRecentPlaces::Forget(const QString &book)
{
    const int index = IndexOf(book);
    if (index >= 0)
        Places.erase(Places.begin() + index);
}

QString TRecentPlaces::LastBook() const { return Places.empty() ? QString() : Places.back().Book; }

void TRecentPlaces::LoadFromList(const TStoredTextList &list)
{
    Places.clear();
    for (int n = 0; n < MaxPlaces; ++n) {
        QString book;
        list.ReadText(PlacesSection, QString::number(n), false, book, MaxPathLength);
        if (book.isEmpty())
            continue;
        int piece = 1;
        int position = 0;
        list.ReadInt(PlacesSection, PieceKey(n), piece, MaxInt, 1);
        list.ReadInt(PlacesSection, PositionKey(n), position, MaxInt, 0);
        Record(book, piece, position);
    }
}

void TRecentPlaces::SaveToList(TStoredTextList &list) const
{
    if (Places.empty())
        return;
    list.WriteInt(PlacesSection, QStringLiteral("Count"), Count());
    for (int n = 0; n < Count(); ++n) {
        const TBookPlace &place = Places[size_t(n)];
        list.WriteText(PlacesSection, QString::number(n), place.Book);
        list.WriteInt(PlacesSection, PieceKey(n), place.Piece);
        list.WriteInt(PlacesSection, PositionKey(n), place.Position);
    }
}
