#include "SkinEdit.h"
