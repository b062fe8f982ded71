// A system library opened when a codec first needs it, and its functions looked up by name. Codecs
// whose libraries bring large decoders of their own load them this way, so that a start which never
// reads such a picture does not pay for loading them.
#pragma once

#include <QtCore/QString>

#include <type_traits>

class SharedLibrary
{
  public:
    explicit SharedLibrary(const char* soname);
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Sets `function` to the library's function `name`; a missing one is remembered in error().
    template <typename Function> void bind(Function& function, const char* name)
    {
        static_assert(std::is_pointer_v<Function>);
        function = reinterpret_cast<Function>(symbol(name));
    }

    // Empty when the library and every function bound so far were found.
    const QString& error() const { return error_; }

  private:
    void* symbol(const char* name);

    QString soname_;
    void* handle_ = nullptr;
    QString error_;
};
