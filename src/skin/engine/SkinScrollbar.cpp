#include "SkinScrollbar.h"
