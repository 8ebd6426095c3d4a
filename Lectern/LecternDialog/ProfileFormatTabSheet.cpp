#include "ProfileFormatTabSheet.h"

#include "ConvertOptions.h"

TProfileFormatTabSheet::TProfileFormatTabSheet(QWidget *parent) : QWidget(parent) { Form.setupUi(this); }

void TProfileFormatTabSheet::ReadFormatOptions(TBookFormatOptions &options) const { Q_UNUSED(options); }
