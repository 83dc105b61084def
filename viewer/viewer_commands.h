#pragma once

// The viewer's commands, sent by its tool buttons as WM_COMMAND with notification code 0.
enum ViewerCommand : unsigned {
    kCommandClose = 2000,
    kCommandZoomIn = 2001,
    kCommandZoomOut = 2002,
    kCommandActualSize = 2003,
    kCommandBestFit = 2004,
    kCommandAnnotations = 2005,
    kCommandNextPhase = 2006,
    kCommandPreviousPhase = 2007,
};

constexpr bool IsViewerCommand(unsigned id) {
    return id >= kCommandClose && id <= kCommandPreviousPhase;
}

// Sent by older wheel drivers instead of WM_MOUSEWHEEL, with the delta as the first parameter.
constexpr char kWheelMessageName[] = "MSWHEEL_ROLLMSG";
