// CefCommandLine: the layer's command line of a process. Switch names are kept without their
// leading dashes and in lower case, as the framework does, so "--force-device-scale-factor" and
// "force-device-scale-factor" name the same switch; a switch given again takes the new value.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/cef/CefBase.h"
#include "platform/cef/CefRefCounted.h"
#include "platform/cef/CefString.h"

class CefCommandLine : public CefRefCounted<CefBase> {
public:
    // argv[0] is the program; "--name" and "--name=value" elements are switches.
    explicit CefCommandLine(std::vector<std::string> argv);

    void AppendSwitch(const CefString& name);
    void AppendSwitchWithValue(const CefString& name, const CefString& value);
    bool HasSwitch(const CefString& name) const;
    // Empty for a switch without a value or one that is not there.
    CefString GetSwitchValue(const CefString& name) const;
    // The program followed by every argument and appended switch, in order.
    const std::vector<std::string>& GetArgv() const { return m_argv; }

private:
    void Append(const std::string& name, const std::string& value, bool hasValue);

    std::vector<std::string> m_argv;
    std::map<std::string, std::string> m_switches;
};
