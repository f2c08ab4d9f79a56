// How far a long piece of the engine's work has gone (the reading of an
// uninstall log, a removal), told item by item to whoever shows it; the
// engine itself shows nothing.
#pragma once

#include <cstddef>

class WorkProgress {
public:
    virtual ~WorkProgress() = default;

    // done of total items are through. Told for every item, so that the
    // listener decides how often to show it: it must cost next to nothing.
    virtual void Reached(size_t done, size_t total) = 0;
};
