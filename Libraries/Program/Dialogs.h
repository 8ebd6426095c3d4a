// The four message boxes, the open and save dialogs and the beeps. Every box
// goes through one replaceable service, so tests can answer them and the
// command-line tools can print them instead.
#pragma once

#include <QPair>
#include <QString>
#include <QStringList>

#include <cstdint>

enum class TDialogKind { Plain, Message, Warning, Error, Query };
enum class TFileDialogKind { Open, Save };
// The program's stock-colour dialog, or the system's colour dialog.
enum class TColorDialogKind { Stock, System };

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
    // The open or save dialog, proposing `fileName`. `filter` pairs a
    // description and its patterns: "Text files (*.txt; *.rtf)|*.txt; *.rtf".
    // Returns the chosen file's name, empty when the dialog was cancelled
    // (which is all a service without dialogs can do). The save dialog does
    // not ask about existing files: its caller does. An empty title leaves
    // the dialog's own.
    virtual QString AskFileName(TFileDialogKind kind, const QString &fileName, const QString &filter,
                                const QString &title);
    // A colour dialog starting at `color` (0x00BBGGRR). True with the chosen
    // colour in `color`; false, `color` unchanged, when cancelled (which is
    // all a service without dialogs can do).
    virtual bool AskColor(TColorDialogKind kind, uint32_t &color);
    // A folder chooser starting at `root`. Returns the chosen directory,
    // empty when cancelled (which is all a service without dialogs can do).
    virtual QString AskDirectory(const QString &root, const QString &caption);
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
QString OpenFileDialog(const QString &fileName, const QString &filter, const QString &title = QString());
QString SaveFileDialog(const QString &fileName, const QString &filter, const QString &title = QString());
bool ColorDialog(TColorDialogKind kind, uint32_t &color);
// The chosen directory, empty when the reader cancelled.
QString DirectoryDialog(const QString &root, const QString &caption);
void BeepDefault();
void BeepWarning();

// A service for tests: records every box and answers queries from a queue
// (Yes when the queue is empty unless DefaultAnswer says otherwise); file
// dialogs are answered from FileNames (cancelled when it is empty).
class TRecordingDialogService : public TDialogService {
public:
    struct TBox {
        QString Caption;
        QString Text;
        TDialogKind Kind;
    };
    struct TFileDialog {
        TFileDialogKind Kind;
        QString FileName;
        QString Filter;
        QString Title;
    };
    QList<TBox> Boxes;
    QList<int> Answers;
    int DefaultAnswer = DialogResultOk;
    int Beeps = 0;
    int WarningBeeps = 0;
    QList<TFileDialog> FileDialogs;
    QStringList FileNames;
    // Colour dialogs: the colour each started at, answered from ColorAnswers
    // (cancelled when it is empty).
    QList<QPair<TColorDialogKind, uint32_t>> ColorDialogs;
    QList<uint32_t> ColorAnswers;
    // Folder choosers: the directory each started at, answered from
    // DirectoryNames (cancelled when it is empty).
    QStringList DirectoryDialogs;
    QStringList DirectoryNames;

    int ShowBox(const QString &caption, const QString &text, TDialogKind kind) override;
    void Beep(bool warning) override;
    QString AskFileName(TFileDialogKind kind, const QString &fileName, const QString &filter,
                        const QString &title) override;
    bool AskColor(TColorDialogKind kind, uint32_t &color) override;
    QString AskDirectory(const QString &root, const QString &caption) override;
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
