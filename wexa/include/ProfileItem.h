#pragma once
// PROFILEITEM_INFO lives with the other widget records.
#include "KeyboardRecords.h"
