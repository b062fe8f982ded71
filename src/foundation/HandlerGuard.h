#pragma once
// An error no handler caught is shown in an error box with its text and the program goes on. The
// application's event dispatch guards every event this way; runGuarded() is for the work done
// before the event loop runs.
#include "foundation/Prompts.h"

#include <exception>
#include <utility>

// Reports an escaped error; returns false when one was reported.
bool reportEscapedError(Prompts& prompts, std::exception_ptr error);

template <typename Handler> bool runGuarded(Prompts& prompts, Handler&& handler)
{
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (...) {
        return reportEscapedError(prompts, std::current_exception());
    }
}
