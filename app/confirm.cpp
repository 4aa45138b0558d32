#include "app/confirm.h"

bool ConfirmOrFlyAgain() { return false; }
