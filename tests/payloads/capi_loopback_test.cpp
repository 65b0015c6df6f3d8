// The CAPI-over-TCP placeholder library (its x64 twin; x86 programs cannot run here) loaded the
// way applications load capi2032.dll, pointed at a listener on the loopback address through the
// client's own registry values. Runs under wine64 with WINEDLLOVERRIDES=capi2032=n, so that
// Wine's built-in capi2032.dll does not stand in for ours.
// winsock2.h must come before windows.h.
#include <winsock2.h>

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr DWORD kNotInstalled = 0x1009;

using InstalledFn = DWORD(WINAPI*)();
using TextFn = DWORD(WINAPI*)(char*);
using ProfileFn = DWORD(WINAPI*)(void*, DWORD);
using RegisterFn = DWORD(WINAPI*)(DWORD, DWORD, DWORD, DWORD, DWORD*);
using GetMessageFn = DWORD(WINAPI*)(DWORD, void**);

const char* const kExports[] = {
    "CAPI_REGISTER",        "CAPI_RELEASE",          "CAPI_PUT_MESSAGE", "CAPI_GET_MESSAGE",
    "CAPI_WAIT_FOR_SIGNAL", "CAPI_GET_MANUFACTURER", "CAPI_GET_VERSION", "CAPI_GET_SERIAL_NUMBER",
    "CAPI_GET_PROFILE",     "CAPI_INSTALLED"};

// A listening socket on 127.0.0.1 with a port the system picks.
class Listener {
  public:
    Listener() {
        socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        if (socket_ == INVALID_SOCKET ||
            bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(socket_, 4) != 0 ||
            getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        port_ = ntohs(address.sin_port);
    }
    ~Listener() { Close(); }
    void Close() {
        if (socket_ != INVALID_SOCKET) closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
    DWORD port() const { return port_; }

  private:
    SOCKET socket_ = INVALID_SOCKET;
    DWORD port_ = 0;
};

class CapiOverTcp : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
    }
    static void TearDownTestSuite() { WSACleanup(); }
    void SetUp() override {
        library_ = LoadLibraryA("capi2032.dll");
        ASSERT_NE(library_, nullptr);
        char manufacturer[64] = {};
        auto get = Get<TextFn>("CAPI_GET_MANUFACTURER");
        ASSERT_NE(get, nullptr);
        get(manufacturer);
        ASSERT_NE(std::strstr(manufacturer, "Orvano"), nullptr)
            << "another capi2032.dll was loaded: " << manufacturer;
    }
    void TearDown() override {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\AVM\\CAPIoTCP");
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\AVM\\AVMIGDCTRL");
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\AVM");
        if (library_) FreeLibrary(library_);
    }
    FARPROC Function(const char* name) { return GetProcAddress(library_, name); }
    template <class Fn>
    Fn Get(const char* name) {
        return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(Function(name)));
    }
    DWORD Installed() { return Get<InstalledFn>("CAPI_INSTALLED")(); }
    static void Put(const char* key, const char* name, DWORD type, const void* data, DWORD size) {
        HKEY handle;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                  &handle, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(handle);
    }
    static void Endpoint(const std::string& addresses, DWORD port) {
        Put("Software\\AVM\\AVMIGDCTRL", "FoundFritzBoxes", REG_SZ, addresses.c_str(),
            static_cast<DWORD>(addresses.size() + 1));
        Put("Software\\AVM\\CAPIoTCP", "Port", REG_DWORD, &port, sizeof port);
    }
    HMODULE library_ = nullptr;
};

TEST_F(CapiOverTcp, InstalledWhileTheRoutersServiceAnswers) {
    Listener listener;
    ASSERT_NE(listener.port(), 0u);
    const struct {
        const char* addresses;
        DWORD expected;
    } cases[] = {
        {"127.0.0.1", 0},
        {" 127.0.0.1, 127.0.0.2", 0},  // the first entry counts
        {"localhost", 0},
        {"", kNotInstalled},
    };
    for (const auto& c : cases) {
        Endpoint(c.addresses, listener.port());
        EXPECT_EQ(Installed(), c.expected) << c.addresses;
    }
    listener.Close();
    Endpoint("127.0.0.1", listener.port());
    EXPECT_EQ(Installed(), kNotInstalled) << "nothing listens any more";
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\AVM\\AVMIGDCTRL");
    EXPECT_EQ(Installed(), kNotInstalled) << "no router address";
}

// Standard names and ordinals lead to the same functions; buffers are filled within their
// sizes; there is no controller to register with.
TEST_F(CapiOverTcp, AnswersLikeACapiWithoutControllers) {
    for (int ordinal = 1; ordinal <= 10; ++ordinal) {
        FARPROC byName = Function(kExports[ordinal - 1]);
        EXPECT_NE(byName, nullptr) << kExports[ordinal - 1];
        EXPECT_EQ(byName, GetProcAddress(library_, MAKEINTRESOURCEA(ordinal))) << ordinal;
    }
    unsigned char buffer[64 + 8];
    std::memset(buffer, 0xA5, sizeof buffer);
    EXPECT_EQ(Get<TextFn>("CAPI_GET_MANUFACTURER")(reinterpret_cast<char*>(buffer)), 0u);
    EXPECT_NE(std::memchr(buffer, 0, 64), nullptr);
    for (int i = 64; i < 72; ++i) EXPECT_EQ(buffer[i], 0xA5) << "past the manufacturer text";

    std::memset(buffer, 0xA5, sizeof buffer);
    EXPECT_EQ(Get<TextFn>("CAPI_GET_SERIAL_NUMBER")(reinterpret_cast<char*>(buffer)), 0u);
    EXPECT_EQ(buffer[0], 0);
    for (int i = 8; i < 16; ++i) EXPECT_EQ(buffer[i], 0xA5) << "past the serial number";

    auto profile = Get<ProfileFn>("CAPI_GET_PROFILE");
    std::memset(buffer, 0xA5, sizeof buffer);
    EXPECT_EQ(profile(buffer, 0), 0u);
    EXPECT_EQ(buffer[0] | (buffer[1] << 8), 0) << "no controllers";
    for (int i = 64; i < 72; ++i) EXPECT_EQ(buffer[i], 0xA5) << "past the profile";
    EXPECT_EQ(profile(buffer, 1), 0x2002u);
    EXPECT_EQ(profile(nullptr, 0), 0x1108u);
    EXPECT_EQ(Get<TextFn>("CAPI_GET_MANUFACTURER")(nullptr), 0x1108u);

    DWORD application = 77;
    EXPECT_EQ(Get<RegisterFn>("CAPI_REGISTER")(2048, 1, 7, 2048, &application), kNotInstalled);
    void* message = buffer;
    EXPECT_EQ(Get<GetMessageFn>("CAPI_GET_MESSAGE")(1, &message), 0x1109u);
    EXPECT_EQ(message, nullptr);
}

}  // namespace
