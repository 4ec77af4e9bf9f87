#include "SkinGroupBox.h"
