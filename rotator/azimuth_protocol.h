#pragma once
// The azimuth service's conversation, apart from any transport: the local
// socket serves it line by line, and a DDE server can drive the same rules.
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
        std::optional<std::string> poke;  ///< the client set the item to this text
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
