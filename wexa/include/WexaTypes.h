#pragma once
// Small value types shared by the window engine, dialogs and the controls that
// use the engine's furniture (background, overlay, balloon tip).

namespace WEXA {

// How the window background image is drawn: 0 once at its own size from the
// top-left corner, 1 as a nine-slice frame over the whole client area (the mode
// parameter is the corner size). Other values draw no background.
enum enumBackMode {
    BACK_MODE_NORMAL = 0,
    BACK_MODE_FRAME = 1,
};

// Level stored with an overlay message; every level looks the same.
enum MsgLevel {
    MSG_LEVEL_INFO = 0,
    MSG_LEVEL_WARNING = 1,
    MSG_LEVEL_ERROR = 2,
};

// Balloon tip kind, passed through to the balloon window. Kind 4 keeps the
// balloon up without its hide timer.
enum AIRBLADDER_TYPE {
    AIRBLADDER_TYPE_DEFAULT = 0,
    AIRBLADDER_TYPE_STICKY = 4,
    AIRBLADDER_TYPE_BUTTON = 5,
};

// Where a balloon is anchored relative to the control that shows it.
enum AIRBLADDER_MODE {
    AIRBLADDER_MODE_NONE = 0,
    AIRBLADDER_MODE_RIGHT = 1,
    AIRBLADDER_MODE_LEFT = 2,
    AIRBLADDER_MODE_DIALOG = 3,
};

}  // namespace WEXA
