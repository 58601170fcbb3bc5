#include "rotator/azimuth_protocol.h"

#include <utility>

namespace korvalen::rotator {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool Blank(char c) { return c == ' ' || c == '\t'; }

// The next blank-separated word of @p rest, which then starts right after
// the word.
std::string_view NextWord(std::string_view& rest) {
    std::size_t start = 0;
    while (start < rest.size() && Blank(rest[start])) ++start;
    std::size_t end = start;
    while (end < rest.size() && !Blank(rest[end])) ++end;
    const std::string_view word = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return word;
}

bool OnlyBlanks(std::string_view text) {
    for (char c : text)
        if (!Blank(c)) return false;
    return true;
}

// A client's text as it may be shown back in a reply: printable ASCII, at
// most a few dozen characters.
std::string Shown(std::string_view text) {
    constexpr std::size_t kShown = 40;
    std::string out;
    for (std::size_t i = 0; i < text.size() && out.size() < kShown; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        out += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    if (text.size() > kShown) out += "...";
    return out;
}

Conversation::Step Error(std::string reason, bool close = false) {
    Conversation::Step step;
    step.reply = "ERR " + std::move(reason);
    step.close = close;
    return step;
}

Conversation::Step Ok(std::string reply = "OK") {
    Conversation::Step step;
    step.reply = std::move(reply);
    return step;
}

}  // namespace

std::string ServiceName(std::string_view executableFileName) {
    const std::size_t slash = executableFileName.find_last_of("/\\");
    if (slash != std::string_view::npos) executableFileName.remove_prefix(slash + 1);
    return std::string(executableFileName.substr(0, executableFileName.find('.')));
}

std::string DataLine(std::string_view value) {
    std::string line = std::string("DATA ") + ItemName;
    if (!value.empty()) {
        line += ' ';
        line += value;
    }
    return line;
}

ConnectAnswer AnswerConnect(std::string_view ourService, std::string_view service, std::string_view topic) {
    if (!service.empty() && !SameIgnoringCase(service, ourService)) return ConnectAnswer::OtherService;
    if (topic.empty()) return ConnectAnswer::NoTopic;
    if (!SameIgnoringCase(topic, TopicName)) return ConnectAnswer::OtherTopic;
    return ConnectAnswer::Accepted;
}

std::vector<std::string> ItemLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        lines.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        const bool crLf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crLf ? 2 : 1));
    }
    return lines;
}

std::string ItemData(std::string_view text) {
    std::string data;
    for (const std::string& line : ItemLines(text)) {
        data += line;
        data += "\r\n";
    }
    data += '\0';
    return data;
}

bool LineSplitter::Feed(std::string_view bytes, std::vector<std::string>& lines) {
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        const std::string_view part = bytes.substr(0, lf);
        // A CR that ends the line is not counted against its length.
        if (pending_.size() + part.size() > MaxLineLength + 1) return false;
        pending_ += part;
        if (lf == std::string_view::npos) break;
        if (!pending_.empty() && pending_.back() == '\r') pending_.pop_back();
        if (pending_.size() > MaxLineLength) return false;
        lines.push_back(std::move(pending_));
        pending_.clear();
        bytes.remove_prefix(lf + 1);
    }
    return true;
}

Conversation::Step Conversation::Handle(std::string_view line, std::string_view value) {
    std::string_view rest = line;
    const std::string_view command = NextWord(rest);
    if (command.empty()) return Error("empty line");

    if (SameIgnoringCase(command, "CONNECT")) {
        if (connected_) return Error("already connected");
        const std::string_view service = NextWord(rest);
        const std::string_view topic = NextWord(rest);
        if (service.empty() || topic.empty() || !OnlyBlanks(rest))
            return Error("CONNECT takes a service and a topic", true);
        switch (AnswerConnect(service_, service == "*" ? "" : service, topic == "*" ? "" : topic)) {
            case ConnectAnswer::Accepted:
                break;
            case ConnectAnswer::OtherService:
                return Error("no service " + Shown(service) + " here, this is " + service_, true);
            case ConnectAnswer::NoTopic:
                return Error("a topic is needed: " + std::string(TopicName), true);
            case ConnectAnswer::OtherTopic:
                return Error("no topic " + Shown(topic), true);
        }
        connected_ = true;
        Step step = Ok("OK " + service_ + " " + TopicName);
        step.opened = true;
        return step;
    }
    if (!connected_) return Error("not connected: CONNECT " + service_ + " " + TopicName + " first");

    if (SameIgnoringCase(command, "EXECUTE")) return Ok();
    if (SameIgnoringCase(command, "DISCONNECT")) {
        if (!OnlyBlanks(rest)) return Error("DISCONNECT takes nothing more");
        connected_ = false;
        advising_ = false;
        Step step = Ok();
        step.close = true;
        return step;
    }

    const bool request = SameIgnoringCase(command, "REQUEST");
    const bool advise = SameIgnoringCase(command, "ADVISE");
    const bool unadvise = SameIgnoringCase(command, "UNADVISE");
    const bool poke = SameIgnoringCase(command, "POKE");
    if (!request && !advise && !unadvise && !poke) return Error("unknown command " + Shown(command));

    const std::string_view item = NextWord(rest);
    if (item != ItemName) return Error("no item " + Shown(item) + ", the item is " + ItemName);
    if (poke) {
        // The text is what follows the item and the one blank after it.
        std::string_view text = line.substr(line.size() - rest.size());
        if (!text.empty()) text.remove_prefix(1);
        // The text goes out again inside the DATA line of every advising
        // client: a NUL or a CR there ends or splits the line for many a
        // reader. Refused whole rather than cut, so the client knows the
        // item did not take its text.
        for (const char c : text)
            if (static_cast<unsigned char>(c) < 0x20) return Error("the text holds a control character");
        Step step = Ok();
        step.poke = std::string(text);
        return step;
    }
    if (!OnlyBlanks(rest)) return Error(std::string(command) + " takes the item alone");
    if (request) return Ok(DataLine(value));
    advising_ = advise;
    return Ok();
}

}  // namespace korvalen::rotator
