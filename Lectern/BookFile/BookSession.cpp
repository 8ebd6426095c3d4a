#include "BookSession.h"

#include "MyMath.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

TPiecesControls PiecesControlsFor(int itemCount, int selectedIndex, bool openInPieces)
{
    TPiecesControls c;
    c.PiecesLabel = itemCount < 2 ? QStringLiteral("1 piece") : QString::number(itemCount) + QStringLiteral(" pieces");
    c.ComboEnabled = itemCount > 1 && openInPieces;
    c.NextEnabled = c.ComboEnabled && selectedIndex < itemCount - 1;
    c.PreviousEnabled = c.ComboEnabled && selectedIndex > 0;
    c.AllowEditingEnabled = itemCount < 2;
    return c;
}

TPieceStep NextPieceStep(int currentPiece, int itemCount)
{
    TPieceStep step;
    if (currentPiece >= 1 && currentPiece < itemCount) {
        step.Go = true;
        step.Piece = currentPiece + 1;
        step.Position = 0;
    }
    return step;
}

TPieceStep PreviousPieceStep(int currentPiece, int itemCount)
{
    TPieceStep step;
    if (currentPiece > 1 && currentPiece <= itemCount) {
        step.Go = true;
        step.Piece = currentPiece - 1;
        step.Position = -1;
    }
    return step;
}

QString ExpandBookPath(const QString &name)
{
    if (name.isEmpty())
        return QString();
    return QDir::cleanPath(QFileInfo(name).absoluteFilePath());
}

QString BookOpenedInText(double seconds)
{
    return QStringLiteral("Book opened in ") + FormatIntegerText(static_cast<int64_t>(std::trunc(seconds)))
        + QStringLiteral(" seconds");
}

QString CurrentFileInfoText(const TCurrentFileInfo &info, bool loadTimeFlag)
{
    if (info.BookPath.isEmpty())
        return QStringLiteral("No book opened");
    const QFileInfo file(info.BookPath);
    QString text
        = QLatin1Char('"') + file.fileName() + QStringLiteral("\" in \"") + file.dir().dirName() + QLatin1Char('"');
    if (loadTimeFlag) {
        if (!info.LoadTimeText.isEmpty())
            text += QStringLiteral(" (") + info.LoadTimeText + QLatin1Char(')');
    } else {
        if (info.BookLineCount > 0)
            text += QStringLiteral("\nTop line ") + FormatIntegerText(info.FirstBookLine + 1) + QStringLiteral(" of ")
                + FormatIntegerText(info.BookLineCount) + QStringLiteral("; piece ");
        else
            text += QStringLiteral("\nTop line ") + FormatIntegerText(info.FirstVisibleLine + 1) + QStringLiteral(" (")
                + FormatIntegerText(info.LineCount) + QStringLiteral(" lines); piece ");
        text += QString::number(info.CurrentPiece)
            + QStringLiteral(" (") + QString::number(info.PieceCount) + QStringLiteral(" pieces)");
        if (!info.Encoding.isEmpty())
            text += QStringLiteral("; ") + info.Encoding;
        if (!info.Layout.isEmpty())
            text += QStringLiteral("; ") + info.Layout;
    }
    return text;
}

void TLoadTiming::Start()
{
    Load.Restart();
    Pace.Restart();
}

void TLoadTiming::Stop()
{
    Load.Stop();
    Pace.Stop();
}

QString TLoadTiming::ProgressText(int characters)
{
    if (!Pace.IsPeriod(1.0))
        return QString();
    return FormatIntegerText(characters) + QStringLiteral(" characters; ")
        + FormatIntegerText(static_cast<int64_t>(std::trunc(Load.Passed()))) + QStringLiteral(" seconds");
}
