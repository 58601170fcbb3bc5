#include "tests/dde/child_process.h"

#include <chrono>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace korvalen::dde_test {

namespace {

// One argument as the C runtime's parser reads it back: quoted when it has
// blanks or quotes, with backslashes doubled only before a quote.
std::string Quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, '\\');
    return out + "\"";
}

}  // namespace

std::string OwnFolder() {
    char path[MAX_PATH];
    const std::string program(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return program.substr(0, program.find_last_of("\\/") + 1);
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments) {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE childInput = nullptr, childOutput = nullptr, input = nullptr, output = nullptr;
    if (!CreatePipe(&childInput, &input, &inherited, 0)) return;
    if (!CreatePipe(&output, &childOutput, &inherited, 0)) {
        CloseHandle(childInput);
        CloseHandle(input);
        return;
    }
    // Our ends stay ours: a child holding them would keep the pipes open.
    SetHandleInformation(input, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);

    std::string commandLine = Quoted(program);
    for (const std::string& argument : arguments) commandLine += " " + Quoted(argument);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput;
    startup.hStdOutput = childOutput;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &info);
    CloseHandle(childInput);
    CloseHandle(childOutput);
    input_ = input;
    output_ = output;
    if (!started) return;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    reader_ = std::thread([this] { Read(); });
}

ChildProcess::~ChildProcess() {
    CloseInput();
    if (process_ && !WaitForExit()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, INFINITE);
    }
    if (reader_.joinable()) reader_.join();
    if (output_) CloseHandle(output_);
    if (process_) CloseHandle(process_);
}

void ChildProcess::WriteLine(const std::string& line) {
    if (!input_) return;
    const std::string bytes = line + "\n";
    DWORD written = 0;
    WriteFile(input_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void ChildProcess::CloseInput() {
    if (input_) CloseHandle(input_);
    input_ = nullptr;
}

void ChildProcess::Read() {
    std::string pending;
    char buffer[512];
    DWORD got = 0;
    while (ReadFile(output_, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        pending.append(buffer, got);
        std::lock_guard<std::mutex> lock(mutex_);
        for (std::size_t lf; (lf = pending.find('\n')) != std::string::npos; pending.erase(0, lf + 1)) {
            std::string line = pending.substr(0, lf);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines_.push_back(line);
        }
        changed_.notify_all();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (!pending.empty()) lines_.push_back(pending);
    ended_ = true;
    changed_.notify_all();
}

std::optional<std::string> ChildProcess::WaitForMatch(const std::function<bool(const std::string&)>& matches) {
    std::unique_lock<std::mutex> lock(mutex_);
    std::size_t next = searched_;
    const bool found = changed_.wait_for(lock, std::chrono::milliseconds(WaitMs), [&] {
        for (; next < lines_.size(); ++next)
            if (matches(lines_[next])) return true;
        return ended_;
    });
    if (!found || next == lines_.size()) return std::nullopt;
    searched_ = next + 1;
    return lines_[next];
}

bool ChildProcess::WaitForLine(const std::string& line) {
    return WaitForMatch([&](const std::string& said) { return said == line; }).has_value();
}

std::optional<std::string> ChildProcess::WaitForLineStarting(const std::string& prefix) {
    return WaitForMatch([&](const std::string& said) { return said.compare(0, prefix.size(), prefix) == 0; });
}

bool ChildProcess::Kill() {
    if (!process_ || !TerminateProcess(process_, 9)) return false;
    return WaitForExit();
}

bool ChildProcess::WaitForExit() {
    if (!process_ || WaitForSingleObject(process_, WaitMs) != WAIT_OBJECT_0) return false;
    // Its end closed the pipe: the reader has the last line or soon will.
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(WaitMs), [&] { return ended_; });
}

std::vector<std::string> ChildProcess::Lines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}

}  // namespace korvalen::dde_test
