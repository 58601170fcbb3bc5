// A console DDE azimuth server: the program's DDE backend without the
// program. It serves under its own file name (dde_test_server.exe serves
// "dde_test_server", topic Korvalen, item azimuth), publishes each line of
// its standard input as the azimuth, takes pokes as the program does, and
// ends at the end of its input. The line "?" is no azimuth: it asks how many
// conversations are open, as the program's close guard does. What happens is
// told on standard output, one line each:
//   ready <service>          the service is registered
//   published <text>         a line of input is the item now
//   poke <text>              a client poked the item (escaped as dde_text.h)
//   conversations <n>        a conversation opened or closed; n are open
//   open <n>                 the answer to "?"
// The tests drive it; by hand it lets a rotator program be tried on Windows.
#include <cstdio>
#include <memory>
#include <string>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "rotator/azimuth_protocol.h"
#include "rotator/dde_server.h"
#include "tests/dde/dde_text.h"

using korvalen::dde_test::Escaped;
using namespace korvalen::rotator;

namespace {

// Thread messages from the input reader to the main thread.
constexpr UINT kLineMessage = WM_APP + 10;  // lParam: a std::string* to take over
constexpr UINT kInputEnded = WM_APP + 11;

void Say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

DWORD WINAPI ReadInput(LPVOID mainThread) {
    const DWORD target = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(mainThread));
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    std::string pending;
    char buffer[512];
    DWORD got = 0;
    while (ReadFile(input, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        pending.append(buffer, got);
        for (std::size_t lf; (lf = pending.find('\n')) != std::string::npos; pending.erase(0, lf + 1)) {
            auto line = std::make_unique<std::string>(pending.substr(0, lf));
            if (!line->empty() && line->back() == '\r') line->pop_back();
            if (PostThreadMessageA(target, kLineMessage, 0, reinterpret_cast<LPARAM>(line.get()))) line.release();
        }
    }
    PostThreadMessageA(target, kInputEnded, 0, 0);
    return 0;
}

}  // namespace

int main() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string service = ServiceName(std::string(path, length));

    ConversationCount conversations;
    std::unique_ptr<DdeServer> server;
    DdeServer::Events events;
    events.opened = [&] {
        conversations.Opened();
        Say("conversations " + std::to_string(conversations.Count()));
    };
    events.closed = [&] {
        conversations.Closed();
        Say("conversations " + std::to_string(conversations.Count()));
    };
    events.poked = [&](const std::string& text) {
        Say("poke " + Escaped(text));
        server->SetItem(text);
    };
    server = std::make_unique<DdeServer>(service, events);
    if (const korvalen::Expected<void> started = server->Start(); !started) {
        std::fprintf(stderr, "dde_test_server: %s\n", started.error().text.c_str());
        return 1;
    }
    Say("ready " + service);

    // The main thread has its message queue (the server made a window), so
    // the reader's messages cannot be lost.
    const HANDLE reader = CreateThread(nullptr, 0, ReadInput,
                                       reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(GetCurrentThreadId())), 0, nullptr);
    if (!reader) {
        std::fprintf(stderr, "dde_test_server: the input cannot be read\n");
        return 1;
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!message.hwnd && message.message == kLineMessage) {
            const std::unique_ptr<std::string> line(reinterpret_cast<std::string*>(message.lParam));
            if (*line == "?") {
                Say("open " + std::to_string(server->Conversations()));
                continue;
            }
            server->SetItem(*line);
            Say("published " + Escaped(*line));
            continue;
        }
        if (!message.hwnd && message.message == kInputEnded) break;
        DispatchMessageA(&message);
    }
    server.reset();
    WaitForSingleObject(reader, INFINITE);
    CloseHandle(reader);
    return 0;
}
