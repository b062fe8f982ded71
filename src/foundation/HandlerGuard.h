#pragma once
// Every user-interface handler runs inside the guard: an error no handler caught is shown in an
// error box with its text and the program goes on. No exception crosses the Qt event loop.
#include "foundation/Prompts.h"

#include <exception>
#include <type_traits>
#include <utility>

// Reports an escaped error; returns false when one was reported.
bool reportEscapedError(Prompts& prompts, std::exception_ptr error);

template <typename Handler>
bool runGuarded(Prompts& prompts, Handler&& handler)
{
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (...) {
        return reportEscapedError(prompts, std::current_exception());
    }
}

// Wraps a handler for connecting to a signal: guarded(prompts, [this] { ... }).
template <typename Handler>
auto guarded(Prompts& prompts, Handler handler)
{
    return [&prompts, handler = std::move(handler)](auto&&... args) {
        runGuarded(prompts, [&] {
            // Signals such as QTimer::timeout carry arguments a handler need not take.
            if constexpr (std::is_invocable_v<const Handler&, decltype(args)...>)
                handler(std::forward<decltype(args)>(args)...);
            else
                handler();
        });
    };
}
