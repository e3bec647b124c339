#pragma once

// A window with a main print command, which the frame's Print entry (Ctrl+P) runs on the
// active window.
class PrintableWindow
{
public:
    virtual ~PrintableWindow() = default;
    virtual void printMain() = 0;
};
