#pragma once

#include "lookup/server_mode.h"

class QComboBox;

// The server mode an editable server combo stands for: an item's text typed
// exactly stands for the item (whose data is its ServerMode); any other text
// is a host of the user's own.
ServerMode selectedServerMode(const QComboBox &combo);
