#include "FileWait.h"

#include <QFileInfo>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// Shared between the caller and the thread, which may outlive the call.
struct TAnswer {
    std::mutex Mutex;
    std::condition_variable Answered;
    bool Done = false;
    bool Value = false;
};

} // namespace

bool AnswerWithin(const std::function<bool()> &check, int waitMs)
{
    auto answer = std::make_shared<TAnswer>();
    std::thread([answer, check] {
        const bool value = check();
        const std::lock_guard<std::mutex> lock(answer->Mutex);
        answer->Value = value;
        answer->Done = true;
        answer->Answered.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(answer->Mutex);
    answer->Answered.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return answer->Done; });
    return answer->Done && answer->Value;
}

bool FileExistsWithin(const QString &path, int waitMs)
{
    return AnswerWithin([path] { return QFileInfo(path).isFile(); }, waitMs);
}
