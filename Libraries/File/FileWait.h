// Questions to the file system that must not hold up the window: a disk that
// is slow to wake or a network share that is gone can keep a stat waiting
// for seconds. The question is asked on a thread of its own and waited for a
// while; without an answer by then it counts as "no", and the thread ends on
// its own whenever the file system answers.
#pragma once

#include <QString>

#include <functional>

// The answer of `check`, run on a thread of its own, or false when it has not
// answered within `waitMs` milliseconds.
bool AnswerWithin(const std::function<bool()> &check, int waitMs);

// Whether `path` names an existing file, asked as above.
bool FileExistsWithin(const QString &path, int waitMs);
