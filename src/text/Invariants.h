#pragma once

#include <stdexcept>

// Builds with QUORVEL_LIVE_INVARIANTS (the sanitizer build) check a structure's invariants after every
// public mutation and the mutators' preconditions on entry; other builds leave both to the tests, at no
// cost.
#ifdef QUORVEL_LIVE_INVARIANTS
#define QV_INVARIANTS() CheckInvariants()
#define QV_EXPECTS(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) throw std::logic_error("precondition failed: " #condition);                        \
    } while (false)
#else
#define QV_INVARIANTS() static_cast<void>(0)
#define QV_EXPECTS(condition) static_cast<void>(0)
#endif
