// The four message boxes and the beeps. Every box goes through one
// replaceable service, so tests can answer them and the command-line tools
// can print them instead.
#pragma once

#include <QString>
#include <QStringList>

enum class TDialogKind { Plain, Message, Warning, Error, Query };

// Answers of ShowDialogBox: OK or Yes, No, anything else.
constexpr int DialogResultOk = 1;
constexpr int DialogResultNo = 7;
constexpr int DialogResultOther = 2;

class TDialogService {
public:
    virtual ~TDialogService() = default;
    // Returns 1 (OK/Yes), 7 (No), 2 (anything else), or 0 when the box could
    // not be shown.
    virtual int ShowBox(const QString &caption, const QString &text, TDialogKind kind) = 0;
    virtual void Beep(bool warning) = 0;
};

// Installs a service; nullptr restores the console service (prints to
// stderr, answers queries with No). Returns the previous one.
TDialogService *SetDialogService(TDialogService *service);
TDialogService *DialogService();

int ShowDialogBox(const QString &caption, const QString &text, TDialogKind kind);
void MessageDialog(const QString &text);
void WarningDialog(const QString &text);
void ErrorDialog(const QString &text);
bool QueryDialog(const QString &text);
void BeepDefault();
void BeepWarning();

// A service for tests: records every box and answers queries from a queue
// (Yes when the queue is empty unless DefaultAnswer says otherwise).
class TRecordingDialogService : public TDialogService {
public:
    struct TBox {
        QString Caption;
        QString Text;
        TDialogKind Kind;
    };
    QList<TBox> Boxes;
    QList<int> Answers;
    int DefaultAnswer = DialogResultOk;
    int Beeps = 0;
    int WarningBeeps = 0;

    int ShowBox(const QString &caption, const QString &text, TDialogKind kind) override;
    void Beep(bool warning) override;
    int Count(TDialogKind kind) const;
    QStringList Texts() const;
};

// Installs a recording service for the lifetime of the object.
class TScopedRecordingDialogs : public TRecordingDialogService {
public:
    TScopedRecordingDialogs();
    ~TScopedRecordingDialogs() override;

private:
    TDialogService *Previous;
};
