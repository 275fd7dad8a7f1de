#include "platform/win/WebScheme.h"

namespace {

template <typename Char>
bool StartsWithInAnyCase(std::basic_string_view<Char> text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        Char unit = text[i];
        if (unit >= 'A' && unit <= 'Z')
            unit = static_cast<Char>(unit - 'A' + 'a');
        if (unit != static_cast<Char>(prefix[i]))
            return false;
    }
    return true;
}

template <typename Char>
WebScheme SchemeOf(std::basic_string_view<Char> address)
{
    if (StartsWithInAnyCase(address, "http://"))
        return WebScheme::Http;
    if (StartsWithInAnyCase(address, "https://"))
        return WebScheme::Https;
    return WebScheme::None;
}

}  // namespace

WebScheme WebSchemeOf(std::wstring_view address)
{
    return SchemeOf(address);
}

WebScheme WebSchemeOf(std::string_view address)
{
    return SchemeOf(address);
}
