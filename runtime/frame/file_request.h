// FILEREQUEST$: the system's file dialog.
#pragma once

#include "core/kvstr.h"

// mode 0: a save dialog, otherwise an open dialog. filter holds pairs of
// description and patterns separated by '|' ("Texts|*.txt;*.md|All|*.*").
// Returns the chosen path, or "NO_FILE" when cancelled or when the system
// has no dialog program. The game window hides meanwhile and comes back in
// its mode.
KvStr FILEREQUEST_Str(double mode, KvStr filter);
