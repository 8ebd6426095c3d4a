#include "InstallForm.h"

#include "Dialogs.h"
#include "ErrorForm.h"
#include "FilePaths.h"
#include "FunStatContext.h"
#include "IniText.h"
#include "Program.h"
#include "Shell.h"
#include "ui_InstallForm.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

TInstallContext TInstallContext::Current()
{
    return {GetProgramDirectory(), GetProgramFileName(), GetParams(), TInstallPlaces::ForThisUser()};
}

TInstallForm::TInstallForm(const TInstallContext &context, QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      Ui(std::make_unique<::Ui::TInstallForm>()), Context(context), ProgramName(::ProgramName)
{
    Ui->setupUi(this);
    const QFont font = DialogFont(9);
    setFont(font);

    MainPanel = Ui->MainPanel;
    DescriptionLabel = Ui->DescriptionLabel;
    VersionLabel = Ui->VersionLabel;
    InstructionsLabel = Ui->InstructionsLabel;
    ReadmeMemo = Ui->ReadmeMemo;
    InstallToLabel = Ui->InstallToLabel;
    InstallToEdit = Ui->InstallToEdit;
    BrowseButton = Ui->BrowseButton;
    InstallButton = Ui->InstallButton;
    CancelButton = Ui->CancelButton;

    QFont greeting = font;
    greeting.setPixelSize(30);
    greeting.setBold(true);
    greeting.setItalic(true);
    MainPanel->setFont(greeting);
    QFont description = font;
    description.setBold(true);
    DescriptionLabel->setFont(description);

    setFixedSize(400, 450);
    InstallToEdit->setText(Context.Places.ProgramFilesDirectory);
    LoadReadme();
    ReadmeMemo->setFocus();

    connect(BrowseButton, &QPushButton::clicked, this, &TInstallForm::BrowseButtonClick);
    connect(InstallButton, &QPushButton::clicked, this, &TInstallForm::InstallButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TInstallForm::CancelButtonClick);
}

TInstallForm::~TInstallForm() = default;

void TInstallForm::LoadReadme()
{
    // A missing or unreadable readme leaves the memo empty.
    QFile file(Context.ProgramDirectory + QStringLiteral("Readme.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    QString text = TIniText::Decode(file.read(1 << 20));
    if (Context.ReadmeParagraphs) {
        // The memo wraps the paragraphs to its own width.
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        QStringList paragraphs = Context.ReadmeParagraphs(text.split(QLatin1Char('\n')));
        while (!paragraphs.isEmpty() && paragraphs.last().trimmed().isEmpty())
            paragraphs.removeLast();
        if (!paragraphs.isEmpty())
            text = paragraphs.join(QLatin1Char('\n'));
    }
    ReadmeMemo->setPlainText(text);
}

bool TInstallForm::IsUninstallMode() const
{
    return !Context.Params.isEmpty()
        && Context.Params.first().compare(QLatin1String("/Uninstall"), Qt::CaseInsensitive) == 0;
}

void TInstallForm::SetupInstallForm(const QString &programName, const QString &description, const QString &version)
{
    ProgramName = programName;
    DescriptionLabel->setText(description);
    VersionLabel->setText(version);
    if (IsInstallerMode(Context.ProgramFileName, {})) {
        setWindowTitle(QStringLiteral("Install ") + programName);
        MainPanel->setText(QStringLiteral("Welcome to ") + programName);
        InstallToLabel->setText(QStringLiteral("The program's installation directory will be put in directory:"));
        InstallButton->setText(QStringLiteral("&Install"));
    }
    if (IsUninstallMode()) {
        setWindowTitle(QStringLiteral("Uninstall ") + programName);
        MainPanel->setText(QStringLiteral("Bye from ") + programName);
        InstallToLabel->setText(QStringLiteral("The following directory will be deleted:"));
        InstallButton->setText(QStringLiteral("Un&install"));
        InstallToEdit->setText(Context.ProgramDirectory);
        BrowseButton->setEnabled(false);
    }
}

void TInstallForm::BrowseButtonClick()
{
    QString directory;
    if (BrowseForDirectory(directory, InstallToEdit->text(), QStringLiteral("Choose the directory to install into")))
        InstallToEdit->setText(WithDelimiter(directory));
}

void TInstallForm::InstallButtonClick()
{
    // Each run installs or uninstalls at most once.
    InstallButton->setEnabled(false);
    if (!InstallToEdit->text().isEmpty()) {
        if (IsUninstallMode())
            Uninstall();
        else
            Install();
    }
    accept();
}

void TInstallForm::CancelButtonClick() { reject(); }

void TInstallForm::Install()
{
    FUN_BEGIN("TInstallForm::Install");
    try {
        if (InstallToEdit->text().isEmpty()) {
            FUN_RAISE(QStringLiteral("Installation directory is empty."));
        } else {
            TInstaller installer(Context.Places, ProgramName);
            QString program;
            const TInstallResult result
                = installer.Install(Context.ProgramDirectory, InstallToEdit->text(), Context.ProgramFileName, program);
            if (result == TInstallResult::Failed)
                FUN_ADOPT();
            else if (result == TInstallResult::Done
                     && !RunFile(program, QString(), DirectoryPart(program), false, false))
                FUN_ADOPT();
        }
    }
    FUN_CATCH
    FUN_END_SHOW("Failed to install program. Check to see if you have rights to write in the installation directory.");
}

void TInstallForm::Uninstall()
{
    FUN_BEGIN("TInstallForm::Uninstall");
    try {
        TInstaller installer(Context.Places, ProgramName);
        const TInstallResult result = installer.Uninstall(InstallToEdit->text());
        if (result == TInstallResult::Failed)
            FUN_ADOPT();
        else if (result == TInstallResult::Done)
            MessageDialog(QStringLiteral("Uninstallation successful. Some files that were in use were not deleted."));
    }
    FUN_CATCH
    FUN_END_SHOW("Failed to uninstall program.");
}
