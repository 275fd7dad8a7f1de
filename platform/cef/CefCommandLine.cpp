#include "platform/cef/CefCommandLine.h"

#include <algorithm>
#include <cctype>

namespace {

std::string SwitchKey(std::string name)
{
    name.erase(0, std::min(name.find_first_not_of('-'), name.size()));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

}  // namespace

CefCommandLine::CefCommandLine(std::vector<std::string> argv) : m_argv(std::move(argv))
{
    for (std::size_t i = 1; i < m_argv.size(); ++i) {
        const std::string& argument = m_argv[i];
        if (argument == "--")
            break;
        if (argument.size() < 2 || argument[0] != '-')
            continue;
        std::size_t equals = argument.find('=');
        std::string key = SwitchKey(argument.substr(0, equals));
        if (!key.empty())
            m_switches[key] = equals == std::string::npos ? std::string() : argument.substr(equals + 1);
    }
}

void CefCommandLine::AppendSwitch(const CefString& name)
{
    Append(name.ToString(), std::string(), false);
}

void CefCommandLine::AppendSwitchWithValue(const CefString& name, const CefString& value)
{
    Append(name.ToString(), value.ToString(), true);
}

bool CefCommandLine::HasSwitch(const CefString& name) const
{
    return m_switches.count(SwitchKey(name.ToString())) != 0;
}

CefString CefCommandLine::GetSwitchValue(const CefString& name) const
{
    auto found = m_switches.find(SwitchKey(name.ToString()));
    return found == m_switches.end() ? CefString() : CefString(found->second);
}

void CefCommandLine::Append(const std::string& name, const std::string& value, bool hasValue)
{
    std::string key = SwitchKey(name);
    if (key.empty())
        return;
    m_switches[key] = value;
    // The name keeps the dashes it was given with; a bare name gets two.
    std::string element = name.starts_with('-') ? name : "--" + name;
    m_argv.push_back(hasValue ? element + "=" + value : element);
}
