#include "ProfileGeneralTabSheet.h"

TProfileGeneralTabSheet::TProfileGeneralTabSheet(QWidget *parent) : QWidget(parent) { Form.setupUi(this); }
