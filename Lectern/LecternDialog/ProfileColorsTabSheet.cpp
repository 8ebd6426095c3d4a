#include "ProfileColorsTabSheet.h"

TProfileColorsTabSheet::TProfileColorsTabSheet(QWidget *parent) : QWidget(parent) { Form.setupUi(this); }
