// The operations that later features fill in.
#include "LecternForm.h"

// ---- Operations that later features fill in ------------------------------
// Each is wired to its key or button already and does nothing until then.

void TLecternForm::StopBackSound() {}
void TLecternForm::RestartBackSound() {}
void TLecternForm::BackSoundTick() {}
