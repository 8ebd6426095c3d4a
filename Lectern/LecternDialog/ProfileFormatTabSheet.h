// The profile's "Format" page: text and paragraph format.
#pragma once

#include <QWidget>

#include "ui_ProfileFormatTabSheet.h"

struct TBookFormatOptions;

class TProfileFormatTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TProfileFormatTabSheet(QWidget *parent = nullptr);
    Ui::ProfileFormatTabSheet Form;
    // Writes the page's format options into the record; members the page
    // does not hold are left as they are.
    void ReadFormatOptions(TBookFormatOptions &options) const;
};
