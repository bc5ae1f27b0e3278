// Every row of the command list against the declaration of its C++ function
// in commands.h: the runtime does not build while a command takes or returns
// other types than the list (and so the translator) says.
#include <string_view>

#include "commands.h"
#include "core/command_signature.h"

namespace {

#define KV_COMMAND(name, arguments, result, function)                                                              \
    struct function##_Row {                                                                                         \
        static constexpr std::string_view kArguments = arguments;                                                   \
        static constexpr char kResult = #result[0];                                                                 \
        template <class Signature>                                                                                  \
        static constexpr bool kDeclares = requires { static_cast<Signature*>(&::function); };                      \
        template <class... Arguments>                                                                               \
        static constexpr bool kAccepts = requires(Arguments... given) { ::function(given...); };                   \
    };                                                                                                              \
    static_assert(kvcommands::signature::NamedAfterKeyword(name, #function),                                      \
                  name ": its C++ function must be named after the keyword, with _Str for a trailing $");           \
    static_assert(kvcommands::signature::Declared<function##_Row>(),                                              \
                  name ": " #function " is not declared with the argument kinds \"" arguments "\" and result " #result \
                  " of runtime/core/command_list.def");
#include "core/command_list.def"
#undef KV_COMMAND

}  // namespace
