// The profile's "General" page: enhancement, background images and profile
// work.
#pragma once

#include <QWidget>

#include "ui_ProfileGeneralTabSheet.h"

struct TBookFormatOptions;

class TProfileGeneralTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TProfileGeneralTabSheet(QWidget *parent = nullptr);
    Ui::ProfileGeneralTabSheet Form;
    // Writes the enhancement options (poorly written, ignore empty lines)
    // into the record.
    void ReadEnhanceOptions(TBookFormatOptions &options) const;
    bool EnhanceText() const;
};
