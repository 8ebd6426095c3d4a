// The about window: the program's name and version, the author line and
// buttons that open the maker's web pages.
#pragma once

#include <QDialog>
#include <QUrl>

#include <memory>

class QLabel;
class QPushButton;

namespace Ui {
class TAboutForm;
}

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget *parent = nullptr);
    ~TAboutForm() override;

    // The web pages the buttons open.
    static QUrl SiteUrl();
    static QUrl ContactUrl();
    static QUrl LicenseUrl();

    // Opens a web page with the system's handler; a failure shows
    // "Failed to open site." Returns success.
    static bool OpenSite(const QUrl &url);

    QLabel *DescriptionLabel = nullptr;
    QLabel *VersionLabel = nullptr;
    QLabel *AuthorLabel = nullptr;
    QPushButton *SiteButton = nullptr;
    QPushButton *ContactButton = nullptr;
    QPushButton *LicenseButton = nullptr;
    QPushButton *OkayButton = nullptr;

private slots:
    void SiteButtonClick();
    void ContactButtonClick();
    void LicenseButtonClick();

private:
    std::unique_ptr<Ui::TAboutForm> Ui;
};

extern TAboutForm *AboutForm;

// Sets the name (description) and version labels of the about window; texts
// set before the window exists are applied when it is created.
void SetAboutTexts(const QString &description, const QString &version);
