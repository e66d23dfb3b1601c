#pragma once

#include <string>

// The message of the `TError` that `action` raises, or "(nothing raised)". Any other exception goes on
// to the test, which fails with it.
template <typename TError, typename TAction> std::string ErrorOf(TAction&& action) {
    try {
        action();
    } catch (const TError& e) {
        return e.what();
    }
    return "(nothing raised)";
}
