#include "rotator/dde_server.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// ddeml.h after windows.h: it needs its types.
#include <ddeml.h>

#include <cstdio>
#include <set>
#include <utility>
#include <vector>

#include "rotator/azimuth_protocol.h"

namespace korvalen::rotator {

namespace {

// Sent to our own window: an advise asked for during a transaction.
constexpr UINT kAdviseMessage = WM_APP + 1;
constexpr char kWindowClass[] = "KorvalenDdeServer";

HDDEDATA Flag(UINT_PTR value) { return reinterpret_cast<HDDEDATA>(value); }

Error LibraryError(const char* what, UINT code) {
    char text[96];
    std::snprintf(text, sizeof text, "%s (DDE error 0x%04X)", what, code);
    return Error{text};
}

}  // namespace

struct DdeServer::Impl {
    Impl(std::string service, Events events) : service(std::move(service)), events(std::move(events)) {}

    Expected<void> Start();
    void Stop();
    void SetItem(std::string text);
    void PostAdvise();
    void CountOutDeparted();

    static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2, HDDEDATA data,
                                      ULONG_PTR data1, ULONG_PTR data2);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HDDEDATA Transaction(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2, HDDEDATA data);
    bool Accepts(HSZ service, HSZ topic) const;
    bool IsOurItem(HSZ item) const { return Text(item) == ItemName; }
    HDDEDATA ItemDataHandle(UINT format, HSZ item) const;
    std::string Text(HSZ hsz) const;

    // The library's callback has no argument of ours: it serves this one.
    static Impl* current;

    const std::string service;
    const Events events;
    std::string item;
    DWORD instance = 0;
    HSZ serviceHsz = nullptr;
    HSZ topicHsz = nullptr;
    HSZ itemHsz = nullptr;
    bool registered = false;
    bool stopping = false;
    // Receives kAdviseMessage; message-only, never shown.
    HWND window = nullptr;
    // How deep inside the library's callback this thread is.
    int inTransaction = 0;
    bool advisePending = false;
    std::set<HCONV> conversations;
};

DdeServer::Impl* DdeServer::Impl::current = nullptr;

Expected<void> DdeServer::Impl::Start() {
    if (current) return Error{"another DDE server runs in this process"};
    current = this;
    stopping = false;
    const HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        Stop();
        return Error{"the DDE server's window class could not be registered"};
    }
    window = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);
    if (!window) {
        Stop();
        return Error{"the DDE server's window could not be made"};
    }
    const UINT started = DdeInitializeA(&instance, Callback,
                                        APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS, 0);
    if (started != DMLERR_NO_ERROR) {
        instance = 0;
        Stop();
        return LibraryError("the DDE library could not be joined", started);
    }
    serviceHsz = DdeCreateStringHandleA(instance, service.c_str(), CP_WINANSI);
    topicHsz = DdeCreateStringHandleA(instance, TopicName, CP_WINANSI);
    itemHsz = DdeCreateStringHandleA(instance, ItemName, CP_WINANSI);
    if (!serviceHsz || !topicHsz || !itemHsz) {
        // Asked before Stop, which leaves the library.
        const Error failure = LibraryError("the DDE names could not be made", DdeGetLastError(instance));
        Stop();
        return failure;
    }
    if (!DdeNameService(instance, serviceHsz, nullptr, DNS_REGISTER)) {
        const Error failure = LibraryError("the DDE service could not be registered", DdeGetLastError(instance));
        Stop();
        return failure;
    }
    registered = true;
    return {};
}

void DdeServer::Impl::Stop() {
    if (current == this) {
        // The owner hears of every conversation that ends with the server;
        // the library's own disconnections below are not passed on.
        stopping = true;
        const std::size_t open = conversations.size();
        conversations.clear();
        for (std::size_t i = 0; i < open; ++i)
            if (events.closed) events.closed();
    }
    if (instance) {
        if (registered) DdeNameService(instance, serviceHsz, nullptr, DNS_UNREGISTER);
        for (HSZ hsz : {serviceHsz, topicHsz, itemHsz})
            if (hsz) DdeFreeStringHandle(instance, hsz);
        DdeUninitialize(instance);
    }
    instance = 0;
    serviceHsz = topicHsz = itemHsz = nullptr;
    registered = false;
    if (window) DestroyWindow(window);
    window = nullptr;
    if (current == this) current = nullptr;
}

void DdeServer::Impl::SetItem(std::string text) {
    item = std::move(text);
    if (!registered) return;
    if (inTransaction > 0) {
        if (advisePending) return;
        advisePending = PostMessageA(window, kAdviseMessage, 0, 0) != 0;
        if (advisePending) return;
    }
    PostAdvise();
}

void DdeServer::Impl::PostAdvise() {
    // The dead are counted out first: their advise links then get no data
    // (see XTYP_ADVREQ), and no post to a window that is gone.
    CountOutDeparted();
    DdePostAdvise(instance, topicHsz, itemHsz);
}

// A client killed outright never sends its terminate, and the library
// tells no disconnect; without this its conversation would hold the close
// guard until the program is killed too. Its window is gone with it: that
// is the one sign of its end. A conversation whose partner cannot be asked
// for stays counted: better a refused close than one under a live client.
void DdeServer::Impl::CountOutDeparted() {
    if (!registered || stopping) return;
    std::vector<HCONV> departed;
    for (const HCONV conv : conversations) {
        CONVINFO info{};
        info.cb = sizeof info;
        if (DdeQueryConvInfo(conv, QID_SYNC, &info) && !IsWindow(info.hwndPartner)) departed.push_back(conv);
    }
    if (departed.empty()) return;
    for (const HCONV conv : departed) {
        conversations.erase(conv);
        // Frees the library's side of it where the library can; a late
        // XTYP_DISCONNECT finds it forgotten and tells nothing twice.
        DdeDisconnect(conv);
    }
    for (std::size_t i = 0; i < departed.size(); ++i)
        if (events.closed) events.closed();
}

LRESULT CALLBACK DdeServer::Impl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kAdviseMessage) return DefWindowProcA(window, message, wParam, lParam);
    Impl* server = current;
    if (server && server->window == window && server->advisePending && server->registered) {
        server->advisePending = false;
        server->PostAdvise();
    }
    return 0;
}

HDDEDATA CALLBACK DdeServer::Impl::Callback(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2, HDDEDATA data,
                                            ULONG_PTR, ULONG_PTR) {
    Impl* server = current;
    if (!server || server->stopping) return nullptr;
    ++server->inTransaction;
    HDDEDATA answer = nullptr;
    // Nothing may be thrown through the library's C code: a failure of
    // ours fails the transaction.
    try {
        answer = server->Transaction(type, format, conv, hsz1, hsz2, data);
    } catch (...) {
        answer = type == XTYP_POKE || type == XTYP_EXECUTE ? Flag(DDE_FNOTPROCESSED) : nullptr;
    }
    --server->inTransaction;
    return answer;
}

HDDEDATA DdeServer::Impl::Transaction(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2, HDDEDATA data) {
    // For the connects hsz1 is the topic and hsz2 the service; for the item
    // transactions hsz1 is the topic and hsz2 the item.
    switch (type) {
        case XTYP_CONNECT:
            return Flag(Accepts(hsz2, hsz1));
        case XTYP_WILDCONNECT: {
            if (!Accepts(hsz2, hsz1)) return nullptr;
            // The one pair we serve, closed by a pair of null handles.
            HSZPAIR pairs[2] = {{serviceHsz, topicHsz}, {nullptr, nullptr}};
            return DdeCreateDataHandle(instance, reinterpret_cast<LPBYTE>(pairs), sizeof pairs, 0, nullptr, 0, 0);
        }
        case XTYP_CONNECT_CONFIRM:
            conversations.insert(conv);
            if (events.opened) events.opened();
            return nullptr;
        case XTYP_DISCONNECT:
            if (conversations.erase(conv) && events.closed) events.closed();
            return nullptr;
        case XTYP_ADVREQ:
            // Wine's library cannot end a conversation from the server's
            // side and keeps the advise link of one counted out; a failed
            // post to the dead window there ends the whole advise round,
            // the clients after it hearing nothing. No data: it is passed.
            if (!conversations.count(conv)) return nullptr;
            return ItemDataHandle(format, hsz2);
        case XTYP_REQUEST:
            return ItemDataHandle(format, hsz2);
        case XTYP_ADVSTART:
            return Flag(format == CF_TEXT && IsOurItem(hsz2));
        case XTYP_POKE: {
            if (format != CF_TEXT || !IsOurItem(hsz2)) return Flag(DDE_FNOTPROCESSED);
            DWORD size = 0;
            const LPBYTE bytes = DdeAccessData(data, &size);
            if (!bytes) return Flag(DDE_FNOTPROCESSED);
            std::string text(reinterpret_cast<const char*>(bytes), size);
            DdeUnaccessData(data);
            text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
            if (events.poked) events.poked(text);
            return Flag(DDE_FACK);
        }
        case XTYP_EXECUTE:
            return Flag(DDE_FACK);
        default:
            return nullptr;
    }
}

bool DdeServer::Impl::Accepts(HSZ service, HSZ topic) const {
    return AnswerConnect(this->service, Text(service), Text(topic)) == ConnectAnswer::Accepted;
}

HDDEDATA DdeServer::Impl::ItemDataHandle(UINT format, HSZ item) const {
    if (format != CF_TEXT || !IsOurItem(item)) return nullptr;
    std::string bytes = ItemData(this->item);
    return DdeCreateDataHandle(instance, reinterpret_cast<LPBYTE>(bytes.data()), static_cast<DWORD>(bytes.size()), 0,
                               item, CF_TEXT, 0);
}

std::string DdeServer::Impl::Text(HSZ hsz) const {
    if (!hsz) return {};
    const DWORD length = DdeQueryStringA(instance, hsz, nullptr, 0, CP_WINANSI);
    std::string text(length + 1, '\0');
    const DWORD got = DdeQueryStringA(instance, hsz, text.data(), length + 1, CP_WINANSI);
    text.resize(got < length ? got : length);
    return text;
}

DdeServer::DdeServer(std::string service, Events events)
    : impl_(std::make_unique<Impl>(std::move(service), std::move(events))) {}

DdeServer::~DdeServer() { impl_->Stop(); }

Expected<void> DdeServer::Start() {
    if (impl_->registered) return {};
    return impl_->Start();
}

void DdeServer::SetItem(std::string text) { impl_->SetItem(std::move(text)); }

std::string DdeServer::Item() const { return impl_->item; }

int DdeServer::Conversations() {
    impl_->CountOutDeparted();
    return static_cast<int>(impl_->conversations.size());
}

}  // namespace korvalen::rotator
