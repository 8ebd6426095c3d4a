// The window side of the opening benchmark.
#pragma once

#include <QList>
#include <QString>

struct TWindowCase {
    QString Name;
    QString Path;
    bool InPieces = false;
};

// Child mode: opens one book in the window and prints its figures.
int RunWindowCase(int argc, char **argv);
// Runs every case in a child process of `program` and prints the figures.
void RunWindowCases(const QString &program, const QList<TWindowCase> &cases);
int PieceCountForBench(qint64 size);
