#include "AboutForm.h"

#include "Dialogs.h"
#include "FunStatContext.h"
#include "Program.h"
#include "ui_AboutForm.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLayout>
#include <QPushButton>

TAboutForm *AboutForm = nullptr;

namespace {
QString g_description;
QString g_version;
} // namespace

TAboutForm::TAboutForm(QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      Ui(std::make_unique<::Ui::TAboutForm>())
{
    Ui->setupUi(this);
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(9);
    setFont(font);

    DescriptionLabel = Ui->DescriptionLabel;
    VersionLabel = Ui->VersionLabel;
    AuthorLabel = Ui->AuthorLabel;
    SiteButton = Ui->SiteButton;
    ContactButton = Ui->ContactButton;
    LicenseButton = Ui->LicenseButton;
    OkayButton = Ui->OkayButton;

    QFont title = font;
    title.setPointSize(16);
    title.setBold(true);
    DescriptionLabel->setFont(title);
    setWindowTitle(QStringLiteral("About ") + ProgramName);
    DescriptionLabel->setText(g_description.isEmpty() ? ProgramName : g_description);
    VersionLabel->setText(g_version.isEmpty() ? ProgramVersionText : g_version);

    connect(SiteButton, &QPushButton::clicked, this, &TAboutForm::SiteButtonClick);
    connect(ContactButton, &QPushButton::clicked, this, &TAboutForm::ContactButtonClick);
    connect(LicenseButton, &QPushButton::clicked, this, &TAboutForm::LicenseButtonClick);
    connect(OkayButton, &QPushButton::clicked, this, &QDialog::accept);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
    if (!AboutForm)
        AboutForm = this;
}

TAboutForm::~TAboutForm()
{
    if (AboutForm == this)
        AboutForm = nullptr;
}

QUrl TAboutForm::SiteUrl() { return QUrl(QStringLiteral("https://www.example.com/lectern/")); }

QUrl TAboutForm::ContactUrl() { return QUrl(QStringLiteral("https://www.example.com/lectern/contact.html")); }

QUrl TAboutForm::LicenseUrl() { return QUrl(QStringLiteral("https://www.example.com/lectern/license.html")); }

bool TAboutForm::OpenSite(const QUrl &url)
{
    FUN_BEGIN("TAboutForm::OpenSite");
    try {
        if (!QDesktopServices::openUrl(url))
            FUN_RAISE(QStringLiteral("Failed to open site."), url.toString());
    }
    FUN_CATCH
    const bool ok = !FUN_FAILED();
    FUN_END_SHOW("Failed to open site.");
    return ok;
}

void TAboutForm::SiteButtonClick() { OpenSite(SiteUrl()); }

void TAboutForm::ContactButtonClick() { OpenSite(ContactUrl()); }

void TAboutForm::LicenseButtonClick() { OpenSite(LicenseUrl()); }

void SetAboutTexts(const QString &description, const QString &version)
{
    g_description = description;
    g_version = version;
    if (AboutForm) {
        AboutForm->DescriptionLabel->setText(description);
        AboutForm->VersionLabel->setText(version);
    }
}
