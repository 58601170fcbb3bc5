// A DDE client as a rotator program is one, for the tests: one conversation,
// the steps given on the command line, one line of output for each.
//
//   dde_test_client SERVICE TOPIC STEP...      ("-" for no service or topic)
//
// Steps, in order, on the item azimuth unless `item` names another:
//   request text|unicode    data <bytes> | no data
//   advise text|unicode     advising | advise refused
//   poke text|unicode TEXT  poked | poke refused      (TEXT unescaped)
//   execute TEXT            executed | execute refused
//   item NAME               the item of the steps that follow
//   wait N                  until N advised data have come: advised <bytes> each
//   hold                    until the standard input ends: held
// It starts with "connected <service> <topic>" (the names as this client's
// DDE library has them: the service a wild connect found, else the names
// given) or "refused", and ends with "disconnected". Bytes are escaped as in
// dde_text.h. A wait that does not end within a minute says "timeout" and
// exits with status 2.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <ddeml.h>

#include "tests/dde/dde_text.h"

using korvalen::dde_test::Escaped;
using korvalen::dde_test::Unescaped;

namespace {

constexpr DWORD kTransactionMs = 30000;
constexpr DWORD kWaitMs = 60000;

DWORD instance = 0;
int advised = 0;

void Say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

[[noreturn]] void Fail(const std::string& why) {
    Say(why);
    std::exit(2);
}

std::string Text(HSZ hsz) {
    if (!hsz) return "-";
    char text[256] = {};
    DdeQueryStringA(instance, hsz, text, sizeof text, CP_WINANSI);
    return text;
}

std::string Bytes(HDDEDATA data) {
    const DWORD size = DdeGetData(data, nullptr, 0, 0);
    std::string bytes(size, '\0');
    if (size > 0) DdeGetData(data, reinterpret_cast<LPBYTE>(&bytes[0]), size, 0);
    return bytes;
}

HDDEDATA CALLBACK Callback(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR) {
    if (type != XTYP_ADVDATA) return nullptr;
    Say("advised " + Escaped(Bytes(data)));
    ++advised;
    return reinterpret_cast<HDDEDATA>(static_cast<UINT_PTR>(DDE_FACK));
}

// Wine's library reports a poke or an execute that the server did not
// acknowledge as done, with the server's answer in the result alone.
bool Acknowledged(bool done, DWORD result) { return done && (result & DDE_FACK); }

UINT Format(const std::string& name) {
    if (name == "text") return CF_TEXT;
    if (name == "unicode") return CF_UNICODETEXT;
    Fail("unknown format " + name);
}

HSZ Name(const std::string& name) {
    return name == "-" ? nullptr : DdeCreateStringHandleA(instance, name.c_str(), CP_WINANSI);
}

// Runs the message loop until @p done, or until @p event is set when given.
template <typename Done>
bool PumpUntil(Done done, HANDLE event = nullptr) {
    const DWORD start = GetTickCount();
    while (!done()) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= kWaitMs) return false;
        const DWORD woke = MsgWaitForMultipleObjects(event ? 1 : 0, event ? &event : nullptr, FALSE, kWaitMs - spent,
                                                     QS_ALLINPUT);
        if (event && woke == WAIT_OBJECT_0) return true;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    return true;
}

DWORD WINAPI ReadToTheEnd(LPVOID ended) {
    char buffer[256];
    DWORD got = 0;
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    while (ReadFile(input, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    }
    SetEvent(static_cast<HANDLE>(ended));
    return 0;
}

// Wine's DdePostAdvise takes one reference to the item's global atom for
// all the advise links it serves, and every client's library gives one
// back: with two advisers the atom can be gone before the second reads its
// data, which is then dropped. References held here keep the atom alive for
// the test's few publications; on Windows they change nothing.
void KeepItemAtom(const std::string& itemName) {
    for (int i = 0; i < 64; ++i) GlobalAddAtomA(itemName.c_str());
}

std::string Next(const std::vector<std::string>& args, std::size_t& i) {
    if (i >= args.size()) Fail("a step lacks its argument");
    return args[i++];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) Fail("usage: dde_test_client SERVICE TOPIC STEP...");
    const std::vector<std::string> args(argv + 3, argv + argc);
    if (DdeInitializeA(&instance, Callback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) Fail("no DDE library");

    const HCONV conv = DdeConnect(instance, Name(argv[1]), Name(argv[2]), nullptr);
    if (!conv) {
        Say("refused");
        DdeUninitialize(instance);
        return 0;
    }
    CONVINFO info{};
    info.cb = sizeof info;
    DdeQueryConvInfo(conv, QID_SYNC, &info);
    Say("connected " + Text(info.hszSvcPartner) + " " + Text(info.hszTopic));

    std::string itemName = "azimuth";
    HSZ item = Name(itemName);
    for (std::size_t i = 0; i < args.size();) {
        const std::string step = Next(args, i);
        DWORD result = 0;
        if (step == "request") {
            const HDDEDATA data =
                DdeClientTransaction(nullptr, 0, conv, item, Format(Next(args, i)), XTYP_REQUEST, kTransactionMs, &result);
            Say(data ? "data " + Escaped(Bytes(data)) : "no data");
            if (data) DdeFreeDataHandle(data);
        } else if (step == "advise") {
            KeepItemAtom(itemName);
            const bool ok =
                DdeClientTransaction(nullptr, 0, conv, item, Format(Next(args, i)), XTYP_ADVSTART, kTransactionMs, &result);
            Say(ok ? "advising" : "advise refused");
        } else if (step == "poke") {
            const UINT format = Format(Next(args, i));
            std::string text = Unescaped(Next(args, i));
            std::string bytes;
            if (format == CF_UNICODETEXT) {
                for (const char c : text) bytes += {c, '\0'};
                bytes += std::string(2, '\0');
            } else {
                bytes = text + '\0';
            }
            const bool ok = DdeClientTransaction(reinterpret_cast<LPBYTE>(&bytes[0]), static_cast<DWORD>(bytes.size()),
                                                 conv, item, format, XTYP_POKE, kTransactionMs, &result);
            Say(Acknowledged(ok, result) ? "poked" : "poke refused");
        } else if (step == "execute") {
            std::string command = Unescaped(Next(args, i)) + '\0';
            const bool ok = DdeClientTransaction(reinterpret_cast<LPBYTE>(&command[0]),
                                                 static_cast<DWORD>(command.size()), conv, nullptr, 0, XTYP_EXECUTE,
                                                 kTransactionMs, &result);
            Say(Acknowledged(ok, result) ? "executed" : "execute refused");
        } else if (step == "item") {
            itemName = Next(args, i);
            item = Name(itemName);
        } else if (step == "wait") {
            const int wanted = std::atoi(Next(args, i).c_str());
            if (!PumpUntil([&] { return advised >= wanted; })) Fail("timeout");
        } else if (step == "hold") {
            const HANDLE ended = CreateEventA(nullptr, TRUE, FALSE, nullptr);
            const HANDLE reader = CreateThread(nullptr, 0, ReadToTheEnd, ended, 0, nullptr);
            if (!reader || !PumpUntil([] { return false; }, ended)) Fail("timeout");
            Say("held");
        } else {
            Fail("unknown step " + step);
        }
    }
    DdeDisconnect(conv);
    Say("disconnected");
    DdeUninitialize(instance);
    return 0;
}
