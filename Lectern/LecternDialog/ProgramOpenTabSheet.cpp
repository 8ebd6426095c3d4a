#include "ProgramOpenTabSheet.h"

TProgramOpenTabSheet::TProgramOpenTabSheet(QWidget *parent) : QWidget(parent) { Form.setupUi(this); }
