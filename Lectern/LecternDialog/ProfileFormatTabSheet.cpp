#include "ProfileFormatTabSheet.h"

TProfileFormatTabSheet::TProfileFormatTabSheet(QWidget *parent) : QWidget(parent) { Form.setupUi(this); }
