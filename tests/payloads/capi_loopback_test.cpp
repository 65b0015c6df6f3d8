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
using PutMessageFn = DWORD(WINAPI*)(DWORD, void*);
using ApplicationFn = DWORD(WINAPI*)(DWORD);

const char* const kExports[] = {
    "CAPI_REGISTER",        "CAPI_RELEASE",          "CAPI_PUT_MESSAGE", "CAPI_GET_MESSAGE",
    "CAPI_WAIT_FOR_SIGNAL", "CAPI_GET_MANUFACTURER", "CAPI_GET_VERSION", "CAPI_GET_SERIAL_NUMBER",
    "CAPI_GET_PROFILE",     "CAPI_INSTALLED"};

// A listening socket on 127.0.0.1 with a port the system picks. It accepts nobody, so its
// backlog must hold every connection a test makes.
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
            listen(socket_, SOMAXCONN) != 0 ||
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

// Releases the application after a moment, from another thread; the result is the exit code.
DWORD WINAPI ReleaseLater(void* applId) {
    Sleep(200);
    auto release = reinterpret_cast<ApplicationFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("capi2032.dll"), "CAPI_RELEASE")));
    return release(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(applId)));
}

// CAPI_INSTALLED and CAPI_REGISTER tell one story: while the router's service answers, CAPI
// is installed and applications register (up to eight at a time) and are released; once it
// does not, neither holds, and an ApplID left from before is unknown.
TEST_F(CapiOverTcp, RegisteringSucceedsExactlyWhileCapiIsInstalled) {
    Listener listener;
    ASSERT_NE(listener.port(), 0u);
    Endpoint("127.0.0.1", listener.port());
    auto registerApp = Get<RegisterFn>("CAPI_REGISTER");
    auto release = Get<ApplicationFn>("CAPI_RELEASE");
    auto getMessage = Get<GetMessageFn>("CAPI_GET_MESSAGE");
    auto putMessage = Get<PutMessageFn>("CAPI_PUT_MESSAGE");
    ASSERT_EQ(Installed(), 0u);

    DWORD ids[9] = {};
    for (DWORD& id : ids) id = 0xDEAD;
    for (int i = 0; i < 8; ++i) {
        ASSERT_EQ(registerApp(2048, 1, 7, 2048, &ids[i]), 0u) << i;
        EXPECT_GE(ids[i], 1u);
        EXPECT_LE(ids[i], 8u);
        for (int j = 0; j < i; ++j) EXPECT_NE(ids[i], ids[j]) << "ApplIDs are distinct";
    }
    EXPECT_EQ(registerApp(2048, 1, 7, 2048, &ids[8]), 0x1001u) << "a ninth application";
    EXPECT_EQ(ids[8], 0u);

    unsigned char message[64] = {};
    void* received = message;
    EXPECT_EQ(getMessage(ids[0], &received), 0x1104u) << "nothing ever arrives";
    EXPECT_EQ(received, nullptr);
    EXPECT_EQ(putMessage(ids[0], message), 0x1102u);
    // A wait ends when the application is released from elsewhere.
    HANDLE releaser =
        CreateThread(nullptr, 0, ReleaseLater,
                     reinterpret_cast<void*>(static_cast<UINT_PTR>(ids[1])), 0, nullptr);
    ASSERT_NE(releaser, nullptr);
    EXPECT_EQ(Get<ApplicationFn>("CAPI_WAIT_FOR_SIGNAL")(ids[1]), 0x1101u);
    WaitForSingleObject(releaser, 5000);
    DWORD released = 0xDEAD;
    GetExitCodeThread(releaser, &released);
    CloseHandle(releaser);
    EXPECT_EQ(released, 0u);

    for (int i = 0; i < 8; ++i) {
        if (i != 1) {
            EXPECT_EQ(release(ids[i]), 0u) << i;
        }
    }
    EXPECT_EQ(release(ids[0]), 0x1101u) << "released twice";
    EXPECT_EQ(getMessage(ids[0], &received), 0x1101u);

    // The router goes away: not installed, nobody registers, old ApplIDs are unknown.
    listener.Close();
    EXPECT_EQ(Installed(), kNotInstalled);
    DWORD id = 0xDEAD;
    EXPECT_EQ(registerApp(2048, 1, 7, 2048, &id), kNotInstalled);
    EXPECT_EQ(id, 0u);
    EXPECT_EQ(getMessage(ids[2], &received), 0x1109u);
    EXPECT_EQ(release(ids[2]), 0x1109u);
}

// How a thread ended: its exit code, 0xDEAD when it has not ended within 5 s.
DWORD Ended(HANDLE thread) {
    DWORD result = 0xDEAD;
    if (WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0) GetExitCodeThread(thread, &result);
    CloseHandle(thread);
    return result;
}

struct Waiting {
    ApplicationFn wait, release;
    DWORD id = 0;
    HWND window = nullptr;
    HANDLE ready = nullptr;
};

DWORD WINAPI WaitOnAThread(void* data) {
    const auto* w = static_cast<const Waiting*>(data);
    return w->wait(w->id);
}

// An application releases itself and unloads the library at once while another of its threads
// still waits in it: the waiting thread must come back out, with the released ApplID's answer.
TEST_F(CapiOverTcp, AWaitOutlivesTheReleaseAndTheUnloadOfTheLibrary) {
    Listener listener;
    Endpoint("127.0.0.1", listener.port());
    Waiting w{Get<ApplicationFn>("CAPI_WAIT_FOR_SIGNAL"), Get<ApplicationFn>("CAPI_RELEASE")};
    ASSERT_EQ(Get<RegisterFn>("CAPI_REGISTER")(2048, 1, 7, 2048, &w.id), 0u);
    HANDLE waiter = CreateThread(nullptr, 0, WaitOnAThread, &w, 0, nullptr);
    ASSERT_NE(waiter, nullptr);
    Sleep(200);  // well inside the wait
    EXPECT_EQ(w.release(w.id), 0u);
    FreeLibrary(library_);
    library_ = nullptr;
    EXPECT_EQ(Ended(waiter), 0x1101u);
    EXPECT_NE(GetModuleHandleA("capi2032.dll"), nullptr) << "kept while a wait was in it";
}

// A window thread that waits still handles what is sent to its window, so the window can be
// asked to release the application, which ends the wait.
LRESULT CALLBACK ReleasingWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_APP) return DefWindowProcA(window, message, wParam, lParam);
    auto* w = reinterpret_cast<Waiting*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return static_cast<LRESULT>(w->release(static_cast<DWORD>(wParam)));
}

DWORD WINAPI WaitOnAWindowThread(void* data) {
    auto* w = static_cast<Waiting*>(data);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ReleasingWindow;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "OrvanoWaitingWindow";
    RegisterClassA(&windowClass);
    w->window = CreateWindowA("OrvanoWaitingWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              windowClass.hInstance, nullptr);
    if (w->window) SetWindowLongPtrA(w->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
    SetEvent(w->ready);
    const DWORD result = w->window ? w->wait(w->id) : 0xDEAD;
    DestroyWindow(w->window);
    return result;
}

TEST_F(CapiOverTcp, AWindowThatWaitsStillAnswersWhatIsSentToIt) {
    Listener listener;
    Endpoint("127.0.0.1", listener.port());
    Waiting w{Get<ApplicationFn>("CAPI_WAIT_FOR_SIGNAL"), Get<ApplicationFn>("CAPI_RELEASE")};
    ASSERT_EQ(Get<RegisterFn>("CAPI_REGISTER")(2048, 1, 7, 2048, &w.id), 0u);
    w.ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, WaitOnAWindowThread, &w, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(w.ready, 5000);
    CloseHandle(w.ready);
    ASSERT_NE(w.window, nullptr);
    Sleep(200);  // well inside the wait
    DWORD_PTR answer = 0xDEAD;
    const LRESULT sent = SendMessageTimeoutA(w.window, WM_APP, w.id, 0, SMTO_NORMAL, 3000, &answer);
    EXPECT_NE(sent, 0) << "the window did not answer while its thread waited";
    EXPECT_EQ(answer, 0u) << "released from the window";
    if (!sent) w.release(w.id);  // so that the thread ends all the same
    EXPECT_EQ(Ended(thread), 0x1101u);
}

}  // namespace
