// The window side of the opening benchmark.
#pragma once

#include <QList>
#include <QMap>
#include <QString>

struct TWindowCase {
    QString Name;
    QString Path;
    bool InPieces = false;
    bool WellWritten = false; // "Text is poorly written" unchecked
};

// Child mode: opens one book in the window and prints its figures.
int RunWindowCase(int argc, char **argv);

struct TWindowFigures {
    double FirstScreenMs = 0;
    double FullLayoutMs = 0;
};

// Runs every case in a child process of `program`, prints its figures and
// returns the times by case name (a case that failed to report is missing).
QMap<QString, TWindowFigures> RunWindowCases(const QString &program, const QList<TWindowCase> &cases);
int PieceCountForBench(qint64 size);
