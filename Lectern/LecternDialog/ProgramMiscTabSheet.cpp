#include "ProgramMiscTabSheet.h"

TProgramMiscTabSheet::TProgramMiscTabSheet(QWidget *parent) : QWidget(parent) { Form.setupUi(this); }
