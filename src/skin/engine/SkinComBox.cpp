#include "SkinComBox.h"
