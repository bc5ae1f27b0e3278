// Compile-time comparison of a row of the command list with the C++
// declaration of its function. A row promises every call the translator may
// write: each number of arguments from the required ones to all of them, and
// for an argument of either kind (v, V, x) each kind. Each such form must be
// declared with exactly the row's types, so that a number argument declared
// as a string (which KvStr's conversions would otherwise hide) or the
// reverse fails the build.
//
// The C++ types of a kind:
//   n  double           s  KvStr or const KvStr&      a  KvIntArray& or const KvIntArray&
//   N  double&          S  KvStr&                     A  KvStrArray& or const KvStrArray&
// and a result is double (n) or KvStr (s). A shorter form may also be met by
// default arguments of the full one: then calling the function with
// arguments that convert to nothing but the row's types must compile.
//
// A row is given as a type with kArguments, kResult, the variable
// template kDeclares<Signature> (a function of exactly that type exists) and
// kAccepts<Arguments...> (a call with such arguments compiles).
#pragma once

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <string_view>
#include <type_traits>
#include <utility>

#include "core/arrays.h"
#include "core/kvstr.h"

namespace kvcommands::signature {

constexpr int kMostArguments = 16;

// The argument kinds of a row as read from its text.
struct ArgumentKinds {
    char kind[kMostArguments] = {};
    int count = 0;
    int required = 0;
    bool wellFormed = true;  // known letters, '?' only on a run at the end
};

constexpr bool IsKindLetter(char letter)
{
    return std::string_view("nsvNSVaAx").find(letter) != std::string_view::npos;
}

constexpr ArgumentKinds ParseKinds(std::string_view text)
{
    ArgumentKinds kinds;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ') {
            ++at;
            continue;
        }
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string_view word = text.substr(at, end - at);
        const bool optional = word.size() == 2 && word[1] == '?';
        if ((word.size() != 1 && !optional) || !IsKindLetter(word[0]) || kinds.count == kMostArguments ||
            (!optional && kinds.required != kinds.count)) {
            kinds.wellFormed = false;
            return kinds;
        }
        kinds.kind[kinds.count++] = word[0];
        if (!optional) kinds.required = kinds.count;
        at = end;
    }
    return kinds;
}

constexpr bool IsEitherKind(char kind) { return kind == 'v' || kind == 'V' || kind == 'x'; }

// The first or the second kind an argument of either kind stands for.
constexpr char PlainKind(char kind, bool second)
{
    switch (kind) {
    case 'v': return second ? 'n' : 's';
    case 'V': return second ? 'N' : 'S';
    case 'x': return second ? 'A' : 'a';
    default: return kind;
    }
}

// One call the row allows: a number of arguments, each of one plain kind.
struct Form {
    char kind[kMostArguments] = {};
    int count = 0;
};

constexpr int EitherKindsAmongFirst(const ArgumentKinds& kinds, int count)
{
    int either = 0;
    for (int k = 0; k < count; ++k) either += IsEitherKind(kinds.kind[k]) ? 1 : 0;
    return either;
}

constexpr int FormCount(const ArgumentKinds& kinds)
{
    int forms = 0;
    for (int count = kinds.required; count <= kinds.count; ++count) forms += 1 << EitherKindsAmongFirst(kinds, count);
    return forms;
}

// The forms numbered from the fewest arguments up; within one number of
// arguments the bits of the index pick the kinds of the either-kind ones.
constexpr Form FormAt(const ArgumentKinds& kinds, int index)
{
    for (int count = kinds.required; count <= kinds.count; ++count) {
        const int choices = 1 << EitherKindsAmongFirst(kinds, count);
        if (index >= choices) {
            index -= choices;
            continue;
        }
        Form form;
        form.count = count;
        int bit = 0;
        for (int k = 0; k < count; ++k) {
            const bool second = IsEitherKind(kinds.kind[k]) && ((index >> bit++) & 1) != 0;
            form.kind[k] = PlainKind(kinds.kind[k], second);
        }
        return form;
    }
    return Form{};
}

// An argument that converts to the type T and to nothing else (no int, no
// KvStr made from a number, no number read from a KvStr).
template <class T>
struct Only {
    template <class U>
        requires std::same_as<U, T>
    operator U() const;
};
// The same for a variable of type T.
template <class T>
struct OnlyVariable {
    template <class U>
        requires std::same_as<U, T>
    operator U&() const;
};

template <class... T>
struct TypeList {};

// The parameter types that take a plain kind, and an argument of it.
template <char Kind>
struct Plain;
template <>
struct Plain<'n'> {
    using Parameters = TypeList<double>;
    using Argument = Only<double>;
};
template <>
struct Plain<'s'> {
    using Parameters = TypeList<KvStr, const KvStr&>;
    using Argument = Only<KvStr>;
};
template <>
struct Plain<'N'> {
    using Parameters = TypeList<double&>;
    using Argument = OnlyVariable<double>;
};
template <>
struct Plain<'S'> {
    using Parameters = TypeList<KvStr&>;
    using Argument = OnlyVariable<KvStr>;
};
template <>
struct Plain<'a'> {
    using Parameters = TypeList<KvIntArray&, const KvIntArray&>;
    using Argument = KvIntArray&;
};
template <>
struct Plain<'A'> {
    using Parameters = TypeList<KvStrArray&, const KvStrArray&>;
    using Argument = KvStrArray&;
};

template <char Kind>
struct ResultOf;
template <>
struct ResultOf<'n'> {
    using Type = double;
};
template <>
struct ResultOf<'s'> {
    using Type = KvStr;
};

// Whether the row's function is declared as Result(P...) for some choice of
// P among the parameter types of each argument.
template <class Row, class Result, class Chosen, class... Remaining>
struct AnyDeclared;
template <class Row, class Result, class... Chosen>
struct AnyDeclared<Row, Result, TypeList<Chosen...>>
    : std::bool_constant<Row::template kDeclares<Result(Chosen...)>> {};
template <class Row, class Result, class... Chosen, class... Options, class... Remaining>
struct AnyDeclared<Row, Result, TypeList<Chosen...>, TypeList<Options...>, Remaining...>
    : std::bool_constant<(AnyDeclared<Row, Result, TypeList<Chosen..., Options>, Remaining...>::value || ...)> {};

template <class List>
struct FirstOf;
template <class First, class... Rest>
struct FirstOf<TypeList<First, Rest...>> {
    using Type = First;
};

// Instantiated for a form nothing declares: the compiler names the signature
// it looked for ("with Expected = double(KvStr, double)") under the failing
// row's own message.
template <class Row, class Expected>
struct NotDeclared {
    static_assert(!std::is_same_v<Row, Row>,
                  "no declaration of the command's C++ function has the type Expected (named above)");
    static constexpr bool value = false;
};

template <class Row>
constexpr ArgumentKinds kKindsOf = ParseKinds(Row::kArguments);
template <class Row, int Index>
constexpr Form kFormOf = FormAt(kKindsOf<Row>, Index);

// Whether one form of the row is declared.
template <class Row, int Index, class Positions = std::make_index_sequence<kFormOf<Row, Index>.count>>
struct FormDeclared;
template <class Row, int Index, std::size_t... K>
struct FormDeclared<Row, Index, std::index_sequence<K...>> {
    using Result = typename ResultOf<Row::kResult>::Type;
    static constexpr bool kExactly =
        AnyDeclared<Row, Result, TypeList<>, typename Plain<kFormOf<Row, Index>.kind[K]>::Parameters...>::value;
    static constexpr bool kByDefaultArguments =
        kFormOf<Row, Index>.count < kKindsOf<Row>.count &&
        Row::template kAccepts<typename Plain<kFormOf<Row, Index>.kind[K]>::Argument...>;
    using Expected = Result(typename FirstOf<typename Plain<kFormOf<Row, Index>.kind[K]>::Parameters>::Type...);
    static constexpr bool value =
        std::conditional_t<kExactly || kByDefaultArguments, std::true_type, NotDeclared<Row, Expected>>::value;
};

template <class Row, class Forms = std::make_integer_sequence<int, FormCount(kKindsOf<Row>)>>
struct EveryFormDeclared;
template <class Row, int... F>
struct EveryFormDeclared<Row, std::integer_sequence<int, F...>>
    : std::bool_constant<(FormDeclared<Row, F>::value && ...)> {};

// Whether the row is well formed and every form of it declared.
template <class Row>
constexpr bool Declared()
{
    constexpr bool wellFormed = kKindsOf<Row>.wellFormed;
    static_assert(wellFormed, "the argument kinds are letters of nsvNSVaAx, a '?' only after the last ones");
    static_assert(Row::kResult == 'n' || Row::kResult == 's', "the result kind is n or s");
    if constexpr (!wellFormed || (Row::kResult != 'n' && Row::kResult != 's'))
        return false;
    else
        return EveryFormDeclared<Row>::value;
}

// Whether the function is named after the keyword: "MID$" is MID_Str.
constexpr bool NamedAfterKeyword(std::string_view keyword, std::string_view function)
{
    if (!keyword.empty() && keyword.back() == '$') {
        keyword.remove_suffix(1);
        return function.size() == keyword.size() + 4 && function.substr(0, keyword.size()) == keyword &&
               function.substr(keyword.size()) == "_Str";
    }
    return function == keyword;
}

}  // namespace kvcommands::signature
