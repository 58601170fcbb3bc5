// What a client of the azimuth socket sends, as the socket delivers it: in
// pieces of any size, lines of any length and bytes of any value.
//
// The first byte sets the size of the pieces the rest is cut into (as reads
// from the socket may cut it). Beyond not crashing:
//   - a line never grows past the limit unnoticed, and every line handed on
//     is within it and holds no line feed;
//   - every line gets exactly one answer, itself one line, starting with OK,
//     DATA or ERR;
//   - no answer, and no DATA line an advising client is sent after a poke,
//     holds a NUL, a CR or an LF: each stays one line for every reader;
//   - the conversation opens only on an accepted CONNECT and only while
//     closed; only a refused CONNECT or a DISCONNECT closes the connection;
//     nothing is served before the conversation opens;
//   - a poke is accepted only within a conversation.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/check.h"
#include "rotator/azimuth_protocol.h"

using namespace korvalen::rotator;

namespace {

bool StartsWith(const std::string& text, std::string_view start) { return text.rfind(start, 0) == 0; }

bool OneLine(const std::string& text) {
    return text.find_first_of(std::string_view("\0\r\n", 3)) == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = 1 + data[0] % 64;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

    LineSplitter splitter;
    Conversation conversation("korvalen");
    std::string value;
    std::size_t fed = 0;
    for (std::size_t at = 0; at < input.size(); at += piece) {
        std::vector<std::string> lines;
        const std::string_view part = input.substr(at, piece);
        const bool fits = splitter.Feed(part, lines);
        fed += part.size();
        for (const std::string& line : lines) {
            KORVALEN_FUZZ_CHECK(line.size() <= MaxLineLength, "a line within the limit");
            KORVALEN_FUZZ_CHECK(line.find('\n') == std::string::npos, "a line without its line feed");
            const bool wasConnected = conversation.Connected();
            const Conversation::Step step = conversation.Handle(line, value);
            KORVALEN_FUZZ_CHECK(!step.reply.empty(), "every line is answered");
            KORVALEN_FUZZ_CHECK(OneLine(step.reply), "an answer is one line");
            KORVALEN_FUZZ_CHECK(StartsWith(step.reply, "OK") || StartsWith(step.reply, "DATA azimuth") ||
                                    StartsWith(step.reply, "ERR "),
                                "an answer is OK, DATA or ERR");
            KORVALEN_FUZZ_CHECK(!step.opened || (!wasConnected && conversation.Connected()),
                                "the conversation opens only from closed");
            KORVALEN_FUZZ_CHECK(wasConnected || StartsWith(step.reply, "ERR ") || step.opened,
                                "nothing is served before CONNECT");
            KORVALEN_FUZZ_CHECK(!step.poke || wasConnected, "a poke only within a conversation");
            if (step.close) {
                KORVALEN_FUZZ_CHECK(!conversation.Connected(), "a closing connection holds no conversation");
                return 0;
            }
            if (step.poke) {
                value = *step.poke;
                KORVALEN_FUZZ_CHECK(OneLine(DataLine(value)), "a poke reaches the advising clients as one line");
            }
        }
        if (!fits) {
            // Refused only once more than a line's worth came without an LF.
            KORVALEN_FUZZ_CHECK(fed > MaxLineLength, "the limit is not hit early");
            return 0;
        }
    }
    return 0;
}
