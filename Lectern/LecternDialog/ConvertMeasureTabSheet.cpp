#include "ConvertMeasureTabSheet.h"

TConvertMeasureTabSheet::TConvertMeasureTabSheet(QWidget *parent) : QWidget(parent) { Form.setupUi(this); }
