#include "SkinTab.h"
