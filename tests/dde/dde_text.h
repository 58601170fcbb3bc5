#pragma once
// Bytes as the DDE test programs write them on one line and read them from
// their arguments: printable ASCII as it is, \r \n \0 \\ and \xHH for the
// rest, so that "47" served in CF_TEXT reads 47\r\n\0.
#include <cstdio>
#include <string>
#include <string_view>

namespace korvalen::dde_test {

inline std::string Escaped(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\0') {
            out += "\\0";
        } else if (u >= 0x20 && u < 0x7F) {
            out += c;
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        }
    }
    return out;
}

/// The reverse of Escaped(); a backslash before anything else stays.
inline std::string Unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        if (next == 'r') {
            out += '\r';
        } else if (next == 'n') {
            out += '\n';
        } else if (next == '0') {
            out += '\0';
        } else if (next == '\\') {
            out += '\\';
        } else if (next == 'x' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += '\\';
            out += next;
        }
    }
    return out;
}

}  // namespace korvalen::dde_test
