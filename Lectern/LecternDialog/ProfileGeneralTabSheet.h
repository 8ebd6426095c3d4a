// The profile's "General" page: enhancement, background images and profile
// work.
#pragma once

#include <QWidget>

#include "ui_ProfileGeneralTabSheet.h"

struct TBookFormatOptions;
struct TProfile;

class TProfileGeneralTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TProfileGeneralTabSheet(QWidget *parent = nullptr);
    Ui::ProfileGeneralTabSheet Form;
    // Writes the enhancement options (detection, poorly written, ignore
    // empty lines, hyphens, chapters) into the record.
    void ReadEnhanceOptions(TBookFormatOptions &options) const;
    bool EnhanceText() const;
    // The enhancement keys of a profile, shown and read back. An encoding
    // that is not a choice shows "Automatic".
    void ShowEnhanceProfile(const TProfile &profile);
    void ReadEnhanceProfile(TProfile &profile) const;
    // The encoding chosen for books ("Automatic" when none); the choice the
    // open book was read in is remembered, so a refused change can go back.
    QString Encoding() const;
    void RememberEncoding();
    void RestoreEncoding();

private:
    int EncodingIndex = 0;

    // "Text is poorly written" shows the detection's decision; the reader
    // sets it only while detection is off.
    void DetectTextLayoutCheckBoxClick();
};
