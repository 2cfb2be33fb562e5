#pragma once
#include <windows.h>
#include "views/button_faces.h"

// The owner-drawn tool and effect button, class "QzButtonCtrlClass32". The
// shell makes its windows by class name; each makes its own button object.
ATOM RegisterToolButtonClass();
