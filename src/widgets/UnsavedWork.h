#pragma once

// A window that can hold work not yet saved (a spell being edited, a scroll being built). The
// program's Exit asks every such window before it closes any, so that Cancel leaves them all.
class UnsavedWork
{
public:
    virtual ~UnsavedWork() = default;

    virtual bool hasUnsavedWork() const = 0;
    // Asks the window's own question about that work (Save / Discard / Cancel); true when the
    // window may now close.
    virtual bool mayClose() = 0;
};
