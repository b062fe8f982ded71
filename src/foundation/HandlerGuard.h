#pragma once
// Every user-interface handler runs inside the guard: an error no handler caught is shown in an
// error box with its text and the program goes on. No exception crosses the Qt event loop.
#include "foundation/Prompts.h"

#include <exception>
#include <type_traits>
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

// Calls a handler with a signal's arguments, or with none: signals such as QTimer::timeout carry
// arguments a handler need not take. A function of its own, so every compiler sees a dependent test.
template <typename Handler, typename... Args> void invokeHandler(const Handler& handler, Args&&... args)
{
    if constexpr (std::is_invocable_v<const Handler&, Args...>)
        handler(std::forward<Args>(args)...);
    else
        handler();
}

// Wraps a handler for connecting to a signal: guarded(prompts, [this] { ... }).
template <typename Handler> auto guarded(Prompts& prompts, Handler handler)
{
    return [&prompts, handler = std::move(handler)](auto&&... args) {
        runGuarded(prompts, [&] { invokeHandler(handler, std::forward<decltype(args)>(args)...); });
    };
}
