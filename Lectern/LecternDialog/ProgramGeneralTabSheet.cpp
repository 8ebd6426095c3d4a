#include "ProgramGeneralTabSheet.h"

TProgramGeneralTabSheet::TProgramGeneralTabSheet(QWidget *parent) : QWidget(parent) { Form.setupUi(this); }
