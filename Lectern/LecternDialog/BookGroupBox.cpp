#include "BookGroupBox.h"

TBookGroupBox::TBookGroupBox(QWidget *parent) : QGroupBox(parent) { Form.setupUi(this); }
