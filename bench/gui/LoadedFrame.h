#pragma once

#include "shell/MDI_Main.h"

#include <QApplication>

#include <memory>

// The frame on the current library, loaded and shown as at start-up, its first paint done;
// null when the library cannot be loaded.
inline std::unique_ptr<MDI_Main> loadedFrame()
{
    auto frame = std::make_unique<MDI_Main>();
    if (!frame->MDIForm_Load())
        return nullptr;
    frame->show();
    QApplication::processEvents();
    return frame;
}
