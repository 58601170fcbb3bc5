#pragma once
// The azimuth service's conversation, apart from any transport: the local
// socket serves it line by line, and the DDE server (dde_server.h) follows
// the same rules for names, item and conversations.
//
// A client opens a conversation on the service and topic, then reads the
// item `azimuth` (REQUEST), follows it (ADVISE), or sets it (POKE). Lines
// are UTF-8 text; see docs/azimuth-protocol.md.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvalen::rotator {

/// The conversation's topic and its one item.
inline constexpr char TopicName[] = "Korvalen";
inline constexpr char ItemName[] = "azimuth";

/// The longest line a client may send, without its line end.
inline constexpr std::size_t MaxLineLength = 1024;

/// The service of a program: its executable's file name (no folder) up to
/// the first dot ("korvalen", "korvalen.exe" and "korvalen.bin" all give
/// "korvalen").
std::string ServiceName(std::string_view executableFileName);

/// The line that carries the item's value: "DATA azimuth 47", or
/// "DATA azimuth" while the value is empty.
std::string DataLine(std::string_view value);

/// The answer to a client that opens a conversation.
enum class ConnectAnswer {
    Accepted,
    OtherService,  ///< the client names a service that is not ours
    NoTopic,       ///< a wild connect names no topic: refused
    OtherTopic,    ///< the topic is not TopicName
};
/// Whether a client that names @p service and @p topic may open a
/// conversation with @p ourService. An empty name is none named (a wild
/// connect); both names compare in any case.
ConnectAnswer AnswerConnect(std::string_view ourService, std::string_view service, std::string_view topic);

/// The item's lines held in @p text: a line ends at CR LF, CR or LF, and a
/// line break at the end starts no further line ("" has no lines, "47" and
/// "47\r\n" one).
std::vector<std::string> ItemLines(std::string_view text);

/// The item as DDE carries it in CF_TEXT: each line followed by CR LF, then
/// the terminating zero ("47" gives the five bytes 4 7 CR LF NUL, no value
/// the zero alone).
std::string ItemData(std::string_view text);

/// The open conversations, for the close guard. They are counted, so that
/// the first of two clients leaving does not let the program end.
class ConversationCount {
public:
    void Opened() { ++open_; }
    void Closed() {
        if (open_ > 0) --open_;
    }
    int Count() const { return open_; }
    bool Any() const { return open_ > 0; }

private:
    int open_ = 0;
};

/// Cuts a connection's bytes into lines at LF; a CR before the LF is
/// dropped. Holds at most one unfinished line.
class LineSplitter {
public:
    /// Appends @p bytes and moves every completed line to @p lines.
    /// @return false once a line grows past MaxLineLength: the connection
    ///         is to be closed (nothing later can be trusted to be a line).
    bool Feed(std::string_view bytes, std::vector<std::string>& lines);

private:
    std::string pending_;
};

/// One client's conversation.
class Conversation {
public:
    explicit Conversation(std::string service) : service_(std::move(service)) {}

    /// What one line asks for.
    struct Step {
        std::string reply;                ///< the line to send back (no line end)
        bool close = false;               ///< close the connection after the reply
        bool opened = false;              ///< this line opened the conversation
        std::optional<std::string> poke;  ///< the client set the item to this text (no control characters)
    };

    /// Handles one line (without its line end). @p value is the item's
    /// current value, for REQUEST.
    Step Handle(std::string_view line, std::string_view value);

    /// Whether CONNECT has been accepted and DISCONNECT not yet received.
    bool Connected() const { return connected_; }
    /// Whether the client asked to be told of every change of the item.
    bool Advising() const { return advising_; }

private:
    const std::string service_;
    bool connected_ = false;
    bool advising_ = false;
};

}  // namespace korvalen::rotator
