#include "SkinStatusBar.h"
