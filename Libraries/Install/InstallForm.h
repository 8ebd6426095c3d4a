// The install window: started as "Install" it installs the program from its
// package directory; started with "/Uninstall" it uninstalls the program's
// own directory. Closing it ends the program.
#pragma once

#include "Installer.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace Ui {
class TInstallForm;
}

// What the window works with: the running program's directory, file name
// and arguments, the places of the desktop, and how the readme's
// hard-wrapped lines become paragraphs (the reader's own rules, given by the
// program; without it the file is shown line by line as it is).
struct TInstallContext {
    QString ProgramDirectory; // the package directory, with a trailing "/"
    QString ProgramFileName;
    QStringList Params; // the arguments after the program
    TInstallPlaces Places;
    std::function<QStringList(const QStringList &lines)> ReadmeParagraphs = {};

    static TInstallContext Current();
};

class TInstallForm : public QDialog {
    Q_OBJECT
public:
    explicit TInstallForm(const TInstallContext &context = TInstallContext::Current(), QWidget *parent = nullptr);
    ~TInstallForm() override;

    // Shows the description and version and chooses the mode: install when
    // the program's file name is "Install" or "Install.exe", uninstall when
    // the first argument is "/Uninstall" (any case; it wins when both hold).
    void SetupInstallForm(const QString &programName, const QString &description, const QString &version);
    bool IsUninstallMode() const;

    // The two operations behind the button; each shows its own failure.
    void Install();
    void Uninstall();

    QLabel *MainPanel = nullptr;
    QLabel *DescriptionLabel = nullptr;
    QLabel *VersionLabel = nullptr;
    QLabel *InstructionsLabel = nullptr;
    QPlainTextEdit *ReadmeMemo = nullptr;
    QLabel *InstallToLabel = nullptr;
    QLineEdit *InstallToEdit = nullptr;
    QPushButton *BrowseButton = nullptr;
    QPushButton *InstallButton = nullptr;
    QPushButton *CancelButton = nullptr;

private slots:
    void BrowseButtonClick();
    void InstallButtonClick();
    void CancelButtonClick();

private:
    void LoadReadme();

    std::unique_ptr<Ui::TInstallForm> Ui;
    TInstallContext Context;
    QString ProgramName;
};
