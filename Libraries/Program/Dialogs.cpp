#include "Dialogs.h"

#include "FunStatContext.h"

#include <cstdio>

namespace {

class TConsoleDialogService : public TDialogService {
public:
    int ShowBox(const QString &caption, const QString &text, TDialogKind kind) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        return kind == TDialogKind::Query ? DialogResultNo : DialogResultOk;
    }
    void Beep(bool) override {}
};

TConsoleDialogService g_console;
TDialogService *g_service = &g_console;

void PlainBox(const QString &text) { ShowDialogBox(QStringLiteral("Error"), text, TDialogKind::Plain); }

struct TInstallPlainBox {
    TInstallPlainBox() { SetPlainErrorBox(&PlainBox); }
} g_installPlainBox;

} // namespace

TDialogService *SetDialogService(TDialogService *service)
{
    TDialogService *previous = g_service;
    g_service = service ? service : &g_console;
    SetPlainErrorBox(&PlainBox);
    return previous == &g_console ? nullptr : previous;
}

TDialogService *DialogService() { return g_service; }

int ShowDialogBox(const QString &caption, const QString &text, TDialogKind kind)
{
    int result = 0;
    try {
        result = g_service->ShowBox(caption, text, kind);
    } catch (...) {
        result = 0;
    }
    if (result == 0) {
        BeepWarning();
        return DialogResultOther;
    }
    if (result == DialogResultOk || result == DialogResultNo)
        return result;
    return DialogResultOther;
}

void MessageDialog(const QString &text) { ShowDialogBox(QStringLiteral("Message"), text, TDialogKind::Message); }
void WarningDialog(const QString &text) { ShowDialogBox(QStringLiteral("Warning"), text, TDialogKind::Warning); }
void ErrorDialog(const QString &text) { ShowDialogBox(QStringLiteral("Error"), text, TDialogKind::Error); }
bool QueryDialog(const QString &text)
{
    return ShowDialogBox(QStringLiteral("Query"), text, TDialogKind::Query) == DialogResultOk;
}
QString TDialogService::AskFileName(TFileDialogKind, const QString &, const QString &, const QString &)
{
    return QString();
}

static QString AskFileName(TFileDialogKind kind, const QString &fileName, const QString &filter, const QString &title)
{
    try {
        return g_service->AskFileName(kind, fileName, filter, title);
    } catch (...) {
        return QString(); // a dialog that failed chose nothing
    }
}

QString OpenFileDialog(const QString &fileName, const QString &filter, const QString &title)
{
    return AskFileName(TFileDialogKind::Open, fileName, filter, title);
}

QString SaveFileDialog(const QString &fileName, const QString &filter, const QString &title)
{
    return AskFileName(TFileDialogKind::Save, fileName, filter, title);
}

bool TDialogService::AskColor(TColorDialogKind, uint32_t &) { return false; }

bool ColorDialog(TColorDialogKind kind, uint32_t &color)
{
    uint32_t chosen = color;
    try {
        if (!g_service->AskColor(kind, chosen))
            return false;
    } catch (...) {
        return false; // a dialog that failed chose nothing
    }
    color = chosen;
    return true;
}

QString TDialogService::AskDirectory(const QString &, const QString &) { return QString(); }

QString DirectoryDialog(const QString &root, const QString &caption)
{
    try {
        return g_service->AskDirectory(root, caption);
    } catch (...) {
        return QString(); // a dialog that failed chose nothing
    }
}

void BeepDefault() { g_service->Beep(false); }
void BeepWarning() { g_service->Beep(true); }

int TRecordingDialogService::ShowBox(const QString &caption, const QString &text, TDialogKind kind)
{
    Boxes.append({caption, text, kind});
    if (kind != TDialogKind::Query)
        return DialogResultOk;
    return Answers.isEmpty() ? DefaultAnswer : Answers.takeFirst();
}

void TRecordingDialogService::Beep(bool warning)
{
    ++Beeps;
    if (warning)
        ++WarningBeeps;
}

QString TRecordingDialogService::AskFileName(TFileDialogKind kind, const QString &fileName, const QString &filter,
                                             const QString &title)
{
    FileDialogs.append({kind, fileName, filter, title});
    return FileNames.isEmpty() ? QString() : FileNames.takeFirst();
}

bool TRecordingDialogService::AskColor(TColorDialogKind kind, uint32_t &color)
{
    ColorDialogs.append({kind, color});
    if (ColorAnswers.isEmpty())
        return false;
    color = ColorAnswers.takeFirst();
    return true;
}

QString TRecordingDialogService::AskDirectory(const QString &root, const QString &)
{
    DirectoryDialogs.append(root);
    return DirectoryNames.isEmpty() ? QString() : DirectoryNames.takeFirst();
}

int TRecordingDialogService::Count(TDialogKind kind) const
{
    int n = 0;
    for (const auto &box : Boxes)
        n += box.Kind == kind ? 1 : 0;
    return n;
}

QStringList TRecordingDialogService::Texts() const
{
    QStringList texts;
    for (const auto &box : Boxes)
        texts << box.Text;
    return texts;
}

TScopedRecordingDialogs::TScopedRecordingDialogs() : Previous(SetDialogService(this)) {}
TScopedRecordingDialogs::~TScopedRecordingDialogs() { SetDialogService(Previous); }
