// The layer's pieces that need neither a display nor a page.
#include <gtest/gtest.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/cef/CefApp.h"
#include "platform/cef/CefCommandLine.h"
#include "platform/cef/CefEngine.h"
#include "platform/cef/CefErrorCode.h"
#include "platform/cef/CefListValue.h"
#include "platform/cef/CefMessageProtocol.h"
#include "platform/cef/CefMessageQueue.h"
#include "platform/cef/CefNewWindowDisposition.h"
#include "platform/cef/CefRefCounted.h"
#include "platform/cef/CefRefPtr.h"
#include "platform/cef/CefString.h"

namespace {

TEST(CefString, KeepsNulAndConvertsUtf8BothWays)
{
    CefString text(std::string("a\0中", 5));
    EXPECT_EQ(text.ToWString(), std::wstring(L"a\0中", 3));
    EXPECT_EQ(text.ToString(), std::string("a\0中", 5));
    EXPECT_EQ(CefString("警告").ToWString(), L"警告");
    EXPECT_EQ(CefString(L"Zorv大战").ToString(), "Zorv大战");
    EXPECT_TRUE(CefString(static_cast<const char*>(nullptr)).empty());
}

TEST(CefCommandLine, SwitchesAreNamedWithoutDashesAndAppendedInOrder)
{
    CefRefPtr<CefCommandLine> line = new CefCommandLine({"prog", "--Type=renderer", "page", "-v", "--", "--late"});
    EXPECT_EQ(line->GetSwitchValue("type").ToString(), "renderer");
    EXPECT_TRUE(line->HasSwitch("--v"));
    EXPECT_FALSE(line->HasSwitch("late"));
    EXPECT_FALSE(line->HasSwitch("page"));

    line->AppendSwitch("disable-extensions");
    line->AppendSwitchWithValue("--force-device-scale-factor", "1");
    EXPECT_TRUE(line->HasSwitch("--disable-extensions"));
    EXPECT_EQ(line->GetSwitchValue("force-device-scale-factor").ToString(), "1");
    std::vector<std::string> expected = {"prog", "--Type=renderer", "page", "-v", "--", "--late",
                                         "--disable-extensions", "--force-device-scale-factor=1"};
    EXPECT_EQ(line->GetArgv(), expected);

    line->AppendSwitchWithValue("FORCE-device-scale-factor", "2");
    EXPECT_EQ(line->GetSwitchValue("force-device-scale-factor").ToString(), "2");
}

TEST(CefListValue, EntriesAreNullUntilSetAndTheListGrowsToAnIndex)
{
    CefRefPtr<CefListValue> list = new CefListValue;
    list->SetSize(2);
    list->SetString(3, "x");
    EXPECT_EQ(list->GetSize(), 4u);
    EXPECT_EQ(list->GetType(0), VTYPE_NULL);
    EXPECT_EQ(list->GetType(3), VTYPE_STRING);
    EXPECT_EQ(list->GetType(4), VTYPE_INVALID);
    EXPECT_EQ(list->GetString(3).ToString(), "x");
    EXPECT_TRUE(list->GetString(0).empty());
    EXPECT_TRUE(list->GetString(9).empty());
}

struct EncodeCase {
    const char* name;
    std::vector<std::optional<std::string>> arguments;
    bool sent;
};

TEST(CefMessageProtocol, EncodesNamedMessagesWithOneString)
{
    const EncodeCase cases[] = {
        {"Ping", {"param"}, true},
        {"Any name", {""}, true},
        {"Ping", {}, false},
        {"Ping", {"a", "b"}, false},
        {"Ping", {std::nullopt}, false},
        {"", {"x"}, false},
    };
    for (const EncodeCase& row : cases) {
        CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(row.name);
        message->GetArgumentList()->SetSize(row.arguments.size());
        for (std::size_t i = 0; i < row.arguments.size(); ++i) {
            if (row.arguments[i])
                message->GetArgumentList()->SetString(i, *row.arguments[i]);
        }
        GVariant* parameters = CefMessageProtocol::Encode(*message);
        EXPECT_EQ(parameters != nullptr, row.sent) << row.name << " with " << row.arguments.size();
        if (!parameters)
            continue;
        g_variant_ref_sink(parameters);
        CefRefPtr<CefProcessMessage> decoded = CefMessageProtocol::Decode(row.name, parameters);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->GetArgumentList()->GetSize(), 1u);
        EXPECT_EQ(decoded->GetArgumentList()->GetString(0).ToString(), *row.arguments[0]);
        g_variant_unref(parameters);
    }
}

TEST(CefMessageProtocol, DecodingDeclinesMalformedMessages)
{
    struct DecodeCase {
        const char* name;
        const char* parameters;  // GVariant text; null for no parameters
        bool accepted;
    };
    const DecodeCase cases[] = {
        {"Ping", "('中文',)", true},
        {"Other", "('',)", true},
        {"Ping", nullptr, false},
        {"Ping", "()", false},
        {"Ping", "('a', 'b')", false},
        {"Ping", "(1,)", false},
        {"Ping", "'bare'", false},
        {"Ping", "(['x'],)", false},
        {"", "('x',)", false},
    };
    for (const DecodeCase& row : cases) {
        GVariant* parameters = row.parameters ? g_variant_parse(nullptr, row.parameters, nullptr, nullptr, nullptr) : nullptr;
        CefRefPtr<CefProcessMessage> message = CefMessageProtocol::Decode(row.name, parameters);
        EXPECT_EQ(message != nullptr, row.accepted) << row.name << " " << (row.parameters ? row.parameters : "null");
        if (message) {
            EXPECT_EQ(message->GetName().ToString(), row.name);
        }
        if (parameters)
            g_variant_unref(parameters);
    }
}

// Deliveries asked for during a delivery (a message box's loop) wait and follow in order, as far
// as the bounds allow; each runs alone. Another one later runs at once.
TEST(CefMessageQueue, DeliveriesDuringADeliveryWaitInOrderWithinTheBounds)
{
    std::vector<std::string> delivered;
    int depth = 0, deepest = 0;
    auto delivery = [&](std::string name) {
        return [&, name] {
            deepest = std::max(deepest, ++depth);
            delivered.push_back(name);
            --depth;
        };
    };
    std::vector<bool> accepted;
    EXPECT_TRUE(CefMessageQueue::Deliver(10, [&] {
        delivery("first")();
        for (std::size_t i = 0; i < CefMessageQueue::kMaxWaiting + 2; ++i)
            accepted.push_back(CefMessageQueue::Deliver(1, delivery("count " + std::to_string(i))));
        EXPECT_EQ(delivered.size(), 1u);
    }));
    std::vector<bool> expected(CefMessageQueue::kMaxWaiting, true);
    expected.insert(expected.end(), {false, false});
    EXPECT_EQ(accepted, expected);
    ASSERT_EQ(delivered.size(), 1 + CefMessageQueue::kMaxWaiting);
    for (std::size_t i = 0; i < CefMessageQueue::kMaxWaiting; ++i)
        EXPECT_EQ(delivered[1 + i], "count " + std::to_string(i));

    delivered.clear();
    accepted.clear();
    const std::size_t quarter = CefMessageQueue::kMaxWaitingBytes / 4;
    EXPECT_TRUE(CefMessageQueue::Deliver(CefMessageQueue::kMaxWaitingBytes * 2, [&] {
        for (std::size_t bytes : {quarter, quarter * 3, std::size_t(1), quarter})
            accepted.push_back(CefMessageQueue::Deliver(bytes, delivery(std::to_string(bytes))));
    }));
    EXPECT_EQ(accepted, (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(delivered, (std::vector<std::string>{std::to_string(quarter), std::to_string(quarter * 3)}));

    // A waiting delivery that asks for another one: it waits behind the rest.
    delivered.clear();
    EXPECT_TRUE(CefMessageQueue::Deliver(1, [&] {
        CefMessageQueue::Deliver(1, [&] {
            delivery("second")();
            CefMessageQueue::Deliver(1, delivery("fourth"));
        });
        CefMessageQueue::Deliver(1, delivery("third"));
    }));
    EXPECT_EQ(delivered, (std::vector<std::string>{"second", "third", "fourth"}));
    EXPECT_EQ(deepest, 1);
}

TEST(CefErrorCode, WebKitFailuresMapToTheFrameworkCodes)
{
    struct MappingCase {
        GQuark domain;
        int code;
        cef_errorcode_t expected;
    };
    const MappingCase cases[] = {
        {G_RESOLVER_ERROR, G_RESOLVER_ERROR_NOT_FOUND, ERR_NAME_NOT_RESOLVED},
        {G_RESOLVER_ERROR, G_RESOLVER_ERROR_TEMPORARY_FAILURE, ERR_NAME_NOT_RESOLVED},
        {G_IO_ERROR, G_IO_ERROR_CONNECTION_REFUSED, ERR_CONNECTION_REFUSED},
        {G_IO_ERROR, G_IO_ERROR_CANCELLED, ERR_ABORTED},
        {G_IO_ERROR, G_IO_ERROR_TIMED_OUT, ERR_CONNECTION_TIMED_OUT},
        {G_IO_ERROR, G_IO_ERROR_NOT_FOUND, ERR_FILE_NOT_FOUND},
        {G_IO_ERROR, G_IO_ERROR_FAILED, ERR_FAILED},
        {WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED, ERR_ABORTED},
        {WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE, ERR_ABORTED},
        {WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_CANNOT_SHOW_URI, ERR_UNKNOWN_URL_SCHEME},
        {WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_CANNOT_USE_RESTRICTED_PORT, ERR_UNSAFE_PORT},
        {G_TLS_ERROR, G_TLS_ERROR_BAD_CERTIFICATE, ERR_CERT_INVALID},
        {G_TLS_ERROR, G_TLS_ERROR_HANDSHAKE, ERR_SSL_PROTOCOL_ERROR},
        {g_quark_from_static_string("other-domain"), 0, ERR_FAILED},
    };
    for (const MappingCase& row : cases) {
        GError* error = g_error_new_literal(row.domain, row.code, "failed");
        EXPECT_EQ(CefErrorCodeOfLoadFailure(error), row.expected) << g_quark_to_string(row.domain) << " " << row.code;
        g_error_free(error);
    }
    EXPECT_EQ(CefErrorCodeOfLoadFailure(nullptr), ERR_FAILED);
}

TEST(CefNewWindowDisposition, ScriptsAskForPopupsAndLinksForTabsOrWindows)
{
    struct DispositionCase {
        WebKitNavigationType type;
        guint button;
        guint modifiers;
        cef_window_open_disposition_t expected;
    };
    const DispositionCase cases[] = {
        {WEBKIT_NAVIGATION_TYPE_OTHER, 0, 0, WOD_NEW_POPUP},
        {WEBKIT_NAVIGATION_TYPE_LINK_CLICKED, 1, 0, WOD_NEW_FOREGROUND_TAB},
        {WEBKIT_NAVIGATION_TYPE_FORM_SUBMITTED, 0, 0, WOD_NEW_FOREGROUND_TAB},
        {WEBKIT_NAVIGATION_TYPE_LINK_CLICKED, 2, 0, WOD_NEW_BACKGROUND_TAB},
        {WEBKIT_NAVIGATION_TYPE_LINK_CLICKED, 1, GDK_CONTROL_MASK, WOD_NEW_BACKGROUND_TAB},
        {WEBKIT_NAVIGATION_TYPE_LINK_CLICKED, 1, GDK_CONTROL_MASK | GDK_SHIFT_MASK, WOD_NEW_FOREGROUND_TAB},
        {WEBKIT_NAVIGATION_TYPE_LINK_CLICKED, 1, GDK_SHIFT_MASK, WOD_NEW_WINDOW},
    };
    for (const DispositionCase& row : cases)
        EXPECT_EQ(CefNewWindowDisposition(row.type, row.button, row.modifiers), row.expected)
            << row.type << " " << row.button << " " << row.modifiers;
}

class Counted : public CefRefCounted<CefBase> {
public:
    explicit Counted(bool& deleted) : m_deleted(deleted) {}
    ~Counted() override { m_deleted = true; }

private:
    bool& m_deleted;
};

TEST(CefRefCounted, TheReleaseToZeroDeletesAndSaysSo)
{
    bool deleted = false;
    auto* object = new Counted(deleted);
    object->AddRef();
    object->AddRef();
    EXPECT_FALSE(object->HasOneRef());
    EXPECT_FALSE(object->Release());
    EXPECT_TRUE(object->HasOneRef());
    EXPECT_FALSE(deleted);
    {
        CefRefPtr<Counted> held = object;
        CefRefPtr<Counted> copy = held;
        EXPECT_FALSE(object->HasOneRef());
    }
    EXPECT_TRUE(object->HasOneRef());
    EXPECT_TRUE(object->Release());
    EXPECT_TRUE(deleted);
}

TEST(CefEngine, CacheAndExtensionFolders)
{
    const std::wstring launcher = L"/home/p\\AppData\\Local\\Temp\\Quelm\\Launcher";
    setenv("XDG_CACHE_HOME", "/var/tmp/cache", 1);
    EXPECT_EQ(CefEngine::CacheDirectory(launcher), "/var/tmp/cache/Quelm/Launcher");
    EXPECT_EQ(CefEngine::CacheDirectory(L"C:\\Users\\p\\appdata\\LOCAL\\temp\\A\\B"), "/var/tmp/cache/A/B");
    EXPECT_EQ(CefEngine::CacheDirectory(L"/home/p\\AppData\\Local\\Temperature\\A"), "");
    EXPECT_EQ(CefEngine::CacheDirectory(L"/home/p\\Cache"), "");
    EXPECT_EQ(CefEngine::CacheDirectory(L""), "");
    setenv("XDG_CACHE_HOME", "relative", 1);  // not absolute: ignored, as the XDG rules say
    EXPECT_EQ(CefEngine::CacheDirectory(launcher), std::string(g_get_home_dir()) + "/.cache/Quelm/Launcher");
    unsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(CefEngine::CacheDirectory(launcher), std::string(g_get_home_dir()) + "/.cache/Quelm/Launcher");

    setenv("ZORV_WEB_EXTENSION_DIR", "/opt/extension", 1);
    EXPECT_EQ(CefEngine::WebExtensionDirectory(), "/opt/extension");
    unsetenv("ZORV_WEB_EXTENSION_DIR");
    EXPECT_EQ(CefEngine::WebExtensionDirectory(),
              (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "web-extension").string());
}

}  // namespace
