#include "ProfileMiscTabSheet.h"

TProfileMiscTabSheet::TProfileMiscTabSheet(QWidget *parent) : QWidget(parent) { Form.setupUi(this); }
