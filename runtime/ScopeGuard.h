// Runs a cleanup when the scope it guards ends, by return or by exception.
// Used where a step must be undone whatever happens (a flag set for the
// length of a call, windows disabled for a modal loop); a cleanup that can
// fail reports its failure itself, since a destructor may not raise.
#pragma once

#include <utility>

template <typename Cleanup>
class [[nodiscard]] ScopeExit {
public:
    explicit ScopeExit(Cleanup cleanup) : m_cleanup(std::move(cleanup)) {}
    ~ScopeExit() { m_cleanup(); }

    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Cleanup m_cleanup;
};
