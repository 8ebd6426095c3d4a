// The program's entry point: chooses the role, lets one reader run at a
// time, creates the windows in their order and runs the event loop.
#include <memory>

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QFontMetrics>
#include <QSessionManager>
#include <QTimer>

#include "AboutForm.h"
#include "Dialogs.h"
#include "EnhancedRichEdit.h"
#include "ErrorForm.h"
#include "FunStatContext.h"
#include "InstallForm.h"
#include "InstanceChannel.h"
#include "LecternApplication.h"
#include "LecternForm.h"
#include "Program.h"
#include "QuitSignals.h"
#include "RichBox.h"
#include "StepTimes.h"
#include "WidgetDialogs.h"
#include "WidgetProbe.h"

namespace {

// With LECTERN_PROBE naming a file, what the windows show is written there
// for tests that drive the program: the labels and captions, and the
// reading box's top line, caret and text ends, which no label shows.
std::unique_ptr<TWidgetProbe> MakeProbe(TLecternForm *form)
{
    const QString file = qEnvironmentVariable("LECTERN_PROBE");
    if (file.isEmpty())
        return nullptr;
    auto probe = std::make_unique<TWidgetProbe>(file);
    TRichBox *box = form->RichEdit;
    probe->AddValue(QStringLiteral("book"), [form] { return form->CurrentBookPath; });
    probe->AddValue(QStringLiteral("piece"), [form] { return QString::number(form->CurrentPiece()); });
    probe->AddValue(QStringLiteral("loading"), [form] { return QString::number(form->IsLoading()); });
    probe->AddValue(QStringLiteral("topLine"), [box] { return QString::number(box->FirstVisibleLine() + 1); });
    probe->AddValue(QStringLiteral("topText"), [box] {
        const int top = box->FirstVisibleLine();
        const int next = box->LineIndex(top + 1);
        TRichDocument *doc = box->RichDocument();
        return doc->GetTextRange(box->LineIndex(top), next < 0 ? doc->GetTextLength() : next).trimmed();
    });
    probe->AddValue(QStringLiteral("caret"), [box] { return QString::number(box->RichDocument()->SelectionStart()); });
    probe->AddValue(QStringLiteral("selection"), [box] { return box->RichDocument()->SelectedText(); });
    probe->AddValue(QStringLiteral("length"), [box] { return QString::number(box->RichDocument()->GetTextLength()); });
    probe->AddValue(QStringLiteral("textEnd"), [box] {
        TRichDocument *doc = box->RichDocument();
        const int length = doc->GetTextLength();
        return doc->GetTextRange(std::max(0, length - 200), length);
    });
    probe->AddValue(QStringLiteral("readOnly"), [box] { return QString::number(box->isReadOnly()); });
    // What the reader put on the clipboard (another program's text is not
    // asked for: that would wait on the other program).
    probe->AddValue(QStringLiteral("clipboard"), [] {
        const QClipboard *clipboard = QGuiApplication::clipboard();
        return clipboard->ownsClipboard() ? clipboard->text() : QString();
    });
    probe->AddValue(QStringLiteral("hyphenation"), [form] { return form->ShownHyphenation(); });
    probe->AddValue(QStringLiteral("softHyphens"),
                    [box] { return QString::number(box->RichDocument()->SoftHyphens().Count()); });
    return probe;
}

// A logout, a shutdown or a signal closes the window the normal way. A box
// left open with nobody at the screen to answer it is closed first (put
// aside, as Esc would), and the window closes once the box's own loop has
// ended, never from inside it.
void CloseWhenNoBoxIsOpen(int tries)
{
    if (!LecternForm)
        return;
    if (QWidget *box = QApplication::activeModalWidget(); box && tries < 50) {
        box->close();
        QTimer::singleShot(50, [tries] { CloseWhenNoBoxIsOpen(tries + 1); });
        return;
    }
    LecternForm->close();
}

// Another reader runs: this start hands it the books it was given (as full
// paths, since the reader's working directory is not this one's) and the
// desktop's activation token, then leaves.
int HandOverToRunningReader(int argc, char **argv)
{
    QCoreApplication core(argc, argv);
    TInstanceRequest request;
    for (const QString &argument : GetParams())
        request.Books << QFileInfo(argument).absoluteFilePath();
    request.ActivationToken = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    if (request.ActivationToken.isEmpty())
        request.ActivationToken = qEnvironmentVariable("DESKTOP_STARTUP_ID");
    SendInstanceRequest(ProgramName, request);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    InstallTerminateHandler();
    InitProgramArguments(argc, argv);
    // LECTERN_STEP_TIMES=FILE: the times of the start's steps go there.
    TStepTimes steps = TStepTimes::FromEnvironment();

    // The application outlives the try block, so a failure can still be
    // shown after the event loop.
    std::unique_ptr<TLecternApplication> app;
    FUN_BEGIN("WinMain");
    try {
        const bool installer = IsInstallerMode();
        if (!installer && IsProgramInstanceRunning(ProgramName))
            return HandOverToRunningReader(argc, argv);

        app = std::make_unique<TLecternApplication>(argc, argv);
        TLecternApplication::setApplicationName(ProgramName);
        // No display name: X11 would append it to every window caption,
        // and the error dialog's caption must read just "Error".
        InstallWidgetDialogService();
        steps.Mark(QStringLiteral("qt start"));

        if (installer) {
            // The install window is the main window of this role: closing it
            // ends the program.
            TInstallContext context = TInstallContext::Current();
            context.ReadmeParagraphs = &RebuildParagraphs;
            auto installForm = std::make_unique<TInstallForm>(context);
            ErrorForm = new TErrorForm;
            AboutForm = new TAboutForm(installForm.get());
            installForm->SetupInstallForm(ProgramName, ProgramName, ProgramVersionText);
            installForm->exec();
            installForm.reset();
            AboutForm = nullptr;
        } else {
            if (steps.Enabled()) {
                // The font configuration is read on the first measure of a
                // text; measured here, it is a step of its own.
                QFontMetrics(app->font()).height();
                steps.Mark(QStringLiteral("fonts"));
            }
            LecternForm = new TLecternForm;
            LecternForm->SetStepTimes(&steps);
            // The error dialog outlives the main window, so a failure of the
            // run can still be shown in it after the event loop.
            ErrorForm = new TErrorForm;
            AboutForm = new TAboutForm(LecternForm);
            LecternForm->StartUp(GetSettingsDirectory());
            std::unique_ptr<TWidgetProbe> probe = MakeProbe(LecternForm);
            // Later starts hand their books over to this reader.
            TInstanceServer instances;
            instances.OnRequest = [](const TInstanceRequest &request) {
                if (LecternForm)
                    LecternForm->OpenFromAnotherStart(request.Books, request.ActivationToken);
            };
            instances.Listen(ProgramName);
            // A logout, a shutdown or Ctrl+C in a terminal closes the window
            // the normal way, so the day's reading is saved.
            const auto closeWindow = [] { CloseWhenNoBoxIsOpen(0); };
            TQuitSignals quitSignals([closeWindow](int) { closeWindow(); });
            QObject::connect(app.get(), &QGuiApplication::commitDataRequest, app.get(),
                             [closeWindow](QSessionManager &) { closeWindow(); });
            LecternForm->showMaximized();
            LecternForm->activateWindow();
            app->exec();
            probe.reset();
            delete LecternForm;
            AboutForm = nullptr;
        }
    }
    FUN_CATCH
    if (Fsc_.Failed()) {
        Fsc_.SetShow(__FILE__, QString(), __LINE__);
        Fsc_.Show(QString());
    }
    delete ErrorForm; // clears ErrorForm and unregisters the dialog
    Fsc_.Reset(Perfect);
    ReleaseProgramInstance();
    FunStatContext.Assign(Fsc_);
    return 0;
}
